#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

namespace x47390_file
{
// The parts the octave and the scale export share.
namespace ScalaExportText
{
// The note's pitch in whole cents; the 14-bit fraction is rounded to the nearest cent. With a signed
// semitone byte the 7-bit value is read as two's complement (64 to 127 are -64 to -1).
int noteCents(const std::uint8_t* entry, bool signedSemitone);

// The whole text: header, count, the degrees 2 to noteCount relative to the first, the closing degree
// and the first note's pitch as a comment.
juce::MemoryBlock compose(const std::uint8_t* notes, int noteCount, bool signedSemitone, int closingCents);
} // namespace ScalaExportText
} // namespace x47390_file
