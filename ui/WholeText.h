#pragma once

#include <juce_graphics/juce_graphics.h>

namespace ui
{
// The font that shows a one-line text whole in a width: the font itself when the text fits, else the font
// squeezed sideways, and where squeezing alone would make it unreadable (narrower than the minimum scale),
// smaller as well.
juce::Font fitFontToWidth(const juce::String& text, juce::Font font, float width, float minimumHorizontalScale = 0.75f);

// Draws a one-line text whole in the area with the fitted font: the toolkit's own drawing would leave out
// the glyphs that pass the area's edge ("100" shown as "10").
void drawTextWhole(juce::Graphics& g, const juce::String& text, const juce::Font& font, juce::Rectangle<int> area,
                   juce::Justification justification);
} // namespace ui
