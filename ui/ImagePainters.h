#pragma once

#include <juce_graphics/juce_graphics.h>

// The painters of the program's images. Each draws the whole image into a width x height area, at the
// pixel size the image library makes it (twice the size at which the image is drawn in the windows).
namespace ui::painters
{
// Application shell
void paintApplicationIcon(juce::Graphics&, int width, int height);
void paintAboutPicture(juce::Graphics&, int width, int height);
} // namespace ui::painters
