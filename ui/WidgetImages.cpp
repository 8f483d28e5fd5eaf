// The images of the shared widgets.
#include "ui/ImagePainters.h"

namespace ui::painters
{
namespace
{
// A rounded bar filling the image, lit from above, with a thin rim.
void paintBar(juce::Graphics& g, int width, int height, juce::Colour top, juce::Colour bottom, juce::Colour rim)
{
    const auto area = juce::Rectangle<float>(0.0f, 0.0f, (float) width, (float) height).reduced(1.5f);
    const float corner = (float) height * 0.18f;

    g.setGradientFill(juce::ColourGradient(top, 0.0f, area.getY(), bottom, 0.0f, area.getBottom(), false));
    g.fillRoundedRectangle(area, corner);

    // A faint gloss on the upper half.
    auto gloss = area.reduced(3.0f).withHeight(area.getHeight() * 0.42f);
    g.setGradientFill(juce::ColourGradient(juce::Colours::white.withAlpha(0.10f), 0.0f, gloss.getY(),
                                           juce::Colours::white.withAlpha(0.0f), 0.0f, gloss.getBottom(), false));
    g.fillRoundedRectangle(gloss, corner * 0.7f);

    g.setColour(rim);
    g.drawRoundedRectangle(area, corner, 2.0f);
}
} // namespace

void paintButtonDark(juce::Graphics& g, int width, int height)
{
    paintBar(g, width, height, juce::Colour(0xff2e2e2e), juce::Colour(0xff121212), juce::Colour(0xff4a4a4a));
}

void paintButtonLit(juce::Graphics& g, int width, int height)
{
    paintBar(g, width, height, juce::Colour(0xff7a7a7a), juce::Colour(0xff4c4c4c), juce::Colour(0xff9a9a9a));
}
} // namespace ui::painters
