#include "tuning/ScalaKeyboardMapText.h"

#include <cmath>

namespace TuningEditor
{
namespace
{
// "%0.6f" without the process locale.
juce::String sixDecimals(float value)
{
    const auto micro = (long long) std::llround((double) value * 1000000.0);
    const auto fraction = juce::String(micro % 1000000).paddedLeft('0', 6);
    return juce::String(micro / 1000000) + "." + fraction;
}
} // namespace

// Frequencies printed with six decimals stay exact in a 64-bit count of millionths far below this.
constexpr float highestReferenceFrequency = 1.0e9f;

bool KeyboardMapReference::isValid() const
{
    return note >= 0 && note <= 127 && std::isfinite(frequency) && frequency > 0.0f &&
           frequency < highestReferenceFrequency;
}

KeyboardMapReference keyboardMapReference(int offsetCents)
{
    const int wholeSemitones = offsetCents / 100; // toward zero
    const float rest = (float) offsetCents / 100.0f - (float) wholeSemitones;
    const int note = 69 - wholeSemitones;
    if (note >= 0 && note <= 127)
        return {note, 440.0f * std::pow(2.0f, rest / 12.0f)};

    // A reader takes the offset as 69 - note + 12 x log2(frequency / 440); the nearest key gets the
    // frequency that keeps it.
    const int inside = note < 0 ? 0 : 127;
    const double semitonesFromA = (double) offsetCents / 100.0 - 69.0 + (double) inside;
    return {inside, (float) (440.0 * std::pow(2.0, semitonesFromA / 12.0))};
}

bool composeKeyboardMapText(int noteCount, int offsetCents, juce::MemoryBlock& text)
{
    const auto reference = keyboardMapReference(offsetCents);
    if (!reference.isValid())
        return false;

    juce::MemoryOutputStream out;
    const auto line = [&out](const juce::String& s) { out << s << "\r\n"; };
    line("! Export quintaval Librarian File");
    line("! Size of map:");
    line(juce::String(noteCount));
    line("! First MIDI note number to retune:");
    line("0");
    line("! Last MIDI note number to retune:");
    line("127");
    line("! Middle note where scale degree 0 is mapped to:");
    line("60");
    line("! Reference note for which frequency is given:");
    line(" " + juce::String(reference.note));
    line("! Frequency to tune the above note to (floating point e,g 440.0):");
    line(" " + sixDecimals(reference.frequency));
    line("! Scale degree to consider as formal octave:");
    line(juce::String(noteCount));
    line("! Mapping.");
    for (int degree = 0; degree < noteCount; ++degree)
        line(" " + juce::String(degree));
    text = out.getMemoryBlock();
    return true;
}
} // namespace TuningEditor
