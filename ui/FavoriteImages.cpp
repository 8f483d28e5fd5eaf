// The frames of the live-set slots.
#include "ui/ImagePainters.h"

namespace ui::painters
{
namespace
{
juce::Rectangle<float> slotArea(int width, int height)
{
    return juce::Rectangle<float>(0.0f, 0.0f, (float) width, (float) height).reduced(3.0f);
}
} // namespace

void paintFavoriteNormal(juce::Graphics& g, int width, int height)
{
    const auto area = slotArea(width, height);
    const float corner = (float) height * 0.12f;
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xff242424), 0.0f, area.getY(), juce::Colour(0xff0c0c0c), 0.0f,
                                           area.getBottom(), false));
    g.fillRoundedRectangle(area, corner);
    g.setColour(juce::Colour(0xff444444));
    g.drawRoundedRectangle(area, corner, 2.0f);
}

void paintFavoriteHighlight(juce::Graphics& g, int width, int height)
{
    const auto area = slotArea(width, height);
    const float corner = (float) height * 0.12f;
    // A red glow spreading outward from the rim.
    for (int i = 3; i >= 1; --i)
    {
        g.setColour(juce::Colour(0xffe0312b).withAlpha(0.18f));
        g.drawRoundedRectangle(area.expanded((float) i * 0.9f - 1.5f), corner + (float) i, (float) i * 1.8f);
    }
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xff3a1514), 0.0f, area.getY(), juce::Colour(0xff140606), 0.0f,
                                           area.getBottom(), false));
    g.fillRoundedRectangle(area.reduced(1.0f), corner);
    g.setColour(juce::Colour(0xffe0312b));
    g.drawRoundedRectangle(area, corner, 2.5f);
}
} // namespace ui::painters
