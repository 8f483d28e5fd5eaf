#pragma once

#include <juce_core/juce_core.h>

namespace TuningEditor
{
// The keyboard map written beside an exported Scala scale, from its second line on (the file writer
// puts the line naming the file in front); CR LF line ends. noteCount degrees map keys 0..127 around
// middle C, and the reference note and frequency carry the pitch of the tuning's first note, given in
// cents. False when that pitch would put the reference note below key 0: no valid map exists then.
bool composeKeyboardMapText(int noteCount, int offsetCents, juce::MemoryBlock& text);

// The reference note and frequency for an offset in cents.
struct KeyboardMapReference
{
    int note = 69;
    float frequency = 440.0f;
};
KeyboardMapReference keyboardMapReference(int offsetCents);
} // namespace TuningEditor
