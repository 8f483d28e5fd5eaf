#include "ui/WholeText.h"

namespace ui
{
namespace
{
// Rounding must not push the last glyph past the edge.
constexpr float safety = 0.98f;
} // namespace

juce::Font fitFontToWidth(const juce::String& text, juce::Font font, float width, float minimumHorizontalScale)
{
    const float natural = font.getStringWidthFloat(text);
    if (natural <= width || natural <= 0.0f || width <= 0.0f)
        return font;

    const float scale = width * safety / natural;
    if (scale >= minimumHorizontalScale)
    {
        font.setHorizontalScale(font.getHorizontalScale() * scale);
        return font;
    }
    font.setHorizontalScale(font.getHorizontalScale() * minimumHorizontalScale);
    return font.withHeight(font.getHeight() * scale / minimumHorizontalScale);
}

void drawTextWhole(juce::Graphics& g, const juce::String& text, const juce::Font& font, juce::Rectangle<int> area,
                   juce::Justification justification)
{
    g.setFont(fitFontToWidth(text, font, (float) area.getWidth()));
    g.drawText(text, area, justification, false);
}
} // namespace ui
