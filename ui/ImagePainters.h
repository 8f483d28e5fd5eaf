#pragma once

#include <juce_graphics/juce_graphics.h>

// The painters of the program's images. Each draws the whole image into a width x height area, at the
// pixel size the image library makes it (twice the size at which the image is drawn in the windows).
namespace ui::painters
{
// Application shell
void paintApplicationIcon(juce::Graphics&, int width, int height);
void paintAboutPicture(juce::Graphics&, int width, int height);
// Shared widgets: the rounded command button, dark (normal) and lit (pressed or current).
void paintButtonDark(juce::Graphics&, int width, int height);
void paintButtonLit(juce::Graphics&, int width, int height);

// Header: logo, program display frame, captions of the button columns.
void paintHeaderLogo(juce::Graphics&, int width, int height);
void paintHeaderDisplayFrame(juce::Graphics&, int width, int height);
void paintHeaderUserUnitCaption(juce::Graphics&, int width, int height);
void paintHeaderProgramCaption(juce::Graphics&, int width, int height);

// Live-set slots: normal frame and drop highlight.
void paintFavoriteNormal(juce::Graphics&, int width, int height);
void paintFavoriteHighlight(juce::Graphics&, int width, int height);

// Tuning page (tuning/TuningImages.cpp).
void tuningKeyboard(juce::Graphics&, int width, int height);
void tuningKeyTile(juce::Graphics&, int width, int height);
void tuningLastKeyTile(juce::Graphics&, int width, int height);
template <int PitchClass>
void tuningKeyGuide(juce::Graphics&, int width, int height);
void tuningLastKeyGuide(juce::Graphics&, int width, int height);
template <int PitchClass>
void tuningOctaveGuide(juce::Graphics&, int width, int height);
} // namespace ui::painters
