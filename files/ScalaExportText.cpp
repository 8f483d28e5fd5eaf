#include "files/ScalaExportText.h"

namespace x47390_file
{
namespace ScalaExportText
{
namespace
{
// Whole cents printed with six decimals, independent of the process locale.
juce::String centsText(int cents)
{
    return juce::String(cents) + ".000000";
}
} // namespace

int noteCents(const std::uint8_t* entry, bool signedSemitone)
{
    int semitone = entry[0] & 0x7F;
    if (signedSemitone && semitone >= 64)
        semitone -= 128;
    const int fraction = ((entry[1] & 0x7F) << 7) | (entry[2] & 0x7F);
    return semitone * 100 + ((fraction * 100 + 8192) >> 14);
}

juce::MemoryBlock compose(const std::uint8_t* notes, int noteCount, bool signedSemitone, int closingCents)
{
    juce::MemoryOutputStream text;
    text << "!\r\n Export quintaval Librarian File\r\n";
    text << juce::String(noteCount) << "\r\n!\r\n";
    const int base = noteCents(notes, signedSemitone);
    for (int n = 1; n < noteCount; ++n)
        text << " " << centsText(noteCents(notes + n * 3, signedSemitone) - base) << "\r\n";
    text << " " << centsText(closingCents) << "\r\n";
    text << "! Offset:" << centsText(base) << "\r\n";
    return text.getMemoryBlock();
}
} // namespace ScalaExportText
} // namespace x47390_file
