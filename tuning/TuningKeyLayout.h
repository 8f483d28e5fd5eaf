#pragma once

#include <juce_graphics/juce_graphics.h>

// Where the twelve keys of one octave lie on the tuning page's keyboard pictures: the large keyboard,
// its octave guides and the small key tiles all use this layout, so a lit guide covers its key exactly.
namespace TuningEditor::keyLayout
{
bool isBlackKey(int pitchClass);

// The key's rectangle on an octave of seven white keys filling the area; black keys cover the upper
// part of their white neighbours.
juce::Rectangle<float> keyBounds(int pitchClass, juce::Rectangle<float> octave);

// The visible face of a key: a black key's rectangle, or a white key's rectangle without the black keys
// lying over it. Keys above lastPitchClass count as absent (the short keyboard of the last tile).
juce::Path keyFace(int pitchClass, juce::Rectangle<float> octave, int lastPitchClass = 11);
} // namespace TuningEditor::keyLayout
