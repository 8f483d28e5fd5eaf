#include "tuning/TuningKeyLayout.h"

namespace TuningEditor::keyLayout
{
namespace
{
// White key index of each pitch class, and the centre of each black key in white-key widths.
constexpr int whiteIndex[12] = {0, -1, 1, -1, 2, 3, -1, 4, -1, 5, -1, 6};
constexpr float blackCentre[12] = {0, 0.9f, 0, 2.1f, 0, 0, 3.9f, 0, 5.0f, 0, 6.1f, 0};
constexpr float blackWidth = 0.6f;   // in white-key widths
constexpr float blackHeight = 0.58f; // of the octave's height
} // namespace

bool isBlackKey(int pitchClass)
{
    return whiteIndex[((pitchClass % 12) + 12) % 12] < 0;
}

juce::Rectangle<float> keyBounds(int pitchClass, juce::Rectangle<float> octave)
{
    pitchClass = ((pitchClass % 12) + 12) % 12;
    const float white = octave.getWidth() / 7.0f;
    if (isBlackKey(pitchClass))
    {
        const float centre = octave.getX() + blackCentre[pitchClass] * white;
        return {centre - white * blackWidth * 0.5f, octave.getY(), white * blackWidth,
                octave.getHeight() * blackHeight};
    }
    return {octave.getX() + (float) whiteIndex[pitchClass] * white, octave.getY(), white, octave.getHeight()};
}

juce::Path keyFace(int pitchClass, juce::Rectangle<float> octave, int lastPitchClass)
{
    juce::Path face;
    const auto bounds = keyBounds(pitchClass, octave);
    face.addRectangle(bounds);
    if (isBlackKey(pitchClass))
        return face;

    face.setUsingNonZeroWinding(false);
    for (int neighbour : {pitchClass - 1, pitchClass + 1})
    {
        if (neighbour < 0 || neighbour > 11 || neighbour > lastPitchClass || !isBlackKey(neighbour))
            continue;
        const auto overlap = keyBounds(neighbour, octave).getIntersection(bounds);
        if (!overlap.isEmpty())
            face.addRectangle(overlap);
    }
    return face;
}
} // namespace TuningEditor::keyLayout
