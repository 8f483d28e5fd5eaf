#pragma once

#include <juce_core/juce_core.h>

namespace TuningEditor
{
// The keyboard map written beside an exported Scala scale, from its second line on (the file writer
// puts the line naming the file in front); CR LF line ends. noteCount degrees map keys 0..127 around
// middle C, and the reference note and frequency carry the pitch of the tuning's first note, given in
// cents. False when no reference key 0..127 can carry that pitch (its frequency would be out of all
// bounds): no valid map exists then.
bool composeKeyboardMapText(int noteCount, int offsetCents, juce::MemoryBlock& text);

// The reference note and frequency for an offset in cents: the key 69 - whole semitones with the rest
// of the offset on 440 Hz. Where that key lies outside 0..127, the nearest key inside carries the same
// pitch at its own frequency, which gives the same offset and so the same mapping.
struct KeyboardMapReference
{
    int note = 69;
    float frequency = 440.0f;

    bool isValid() const;
};
KeyboardMapReference keyboardMapReference(int offsetCents);
} // namespace TuningEditor
