#pragma once

#include <juce_graphics/juce_graphics.h>

namespace ui
{
// The program's own images (icon, logo, display frame, buttons, captions, keyboard and guide pictures,
// about picture), drawn by our code at twice their drawn size and handed out by name. Each image is
// drawn once and kept while in use, and for a few seconds after. An unknown name gives an invalid image.
juce::Image getImage(const juce::String& name);

// Draws the named image's shapes straight into the area, scaled as the image would be drawn there, and
// keeps no pixels: for large pictures that only one page shows, and only now and then.
void drawImageShapes(juce::Graphics&, const juce::String& name, juce::Rectangle<float> area);

// The names every image is known by.
juce::StringArray getImageNames();
} // namespace ui
