#include "ui/ProgramListLookAndFeel.h"

namespace x47390_ui
{
namespace
{
const juce::Colour background(0xff111111);
} // namespace

void ProgramListLookAndFeel::drawScrollbarButton(juce::Graphics& g, juce::ScrollBar&, int width, int height,
                                                 int buttonDirection, bool, bool, bool isButtonDown)
{
    const float w = (float) width;
    const float h = (float) height;
    juce::Path p;
    switch (buttonDirection)
    {
        case 0: p.addTriangle(0.5f * w, 0.2f * h, 0.1f * w, 0.7f * h, 0.9f * w, 0.7f * h); break;
        case 1: p.addTriangle(0.8f * w, 0.5f * h, 0.3f * w, 0.1f * h, 0.3f * w, 0.9f * h); break;
        case 2: p.addTriangle(0.5f * w, 0.8f * h, 0.1f * w, 0.3f * h, 0.9f * w, 0.3f * h); break;
        default: p.addTriangle(0.2f * w, 0.5f * h, 0.7f * w, 0.1f * h, 0.7f * w, 0.9f * h); break;
    }

    const juce::Colour fill(0xff333333);
    g.setColour(isButtonDown ? fill.contrasting(0.2f) : fill);
    g.fillPath(p);
    g.setColour(juce::Colour(0x80888888));
    g.strokePath(p, juce::PathStrokeType(0.5f));
}

void ProgramListLookAndFeel::drawScrollbar(juce::Graphics& g, juce::ScrollBar& scrollbar, int x, int y, int width,
                                           int height, bool isScrollbarVertical, int thumbStartPosition,
                                           int thumbSize, bool, bool)
{
    g.setColour(background);
    g.fillRect(x, y, width, height);

    const float s = juce::jmin(width, height) > 15 ? 1.0f : 0.0f;
    const float t = s + 1.0f;
    const float fx = (float) x, fy = (float) y, fw = (float) width, fh = (float) height;

    juce::Path slot, thumb;
    juce::Point<float> shadeFrom, shadeTo;
    juce::Rectangle<int> farHalf;
    if (isScrollbarVertical)
    {
        slot.addRoundedRectangle(fx + s, fy + s, fw - 2 * s, fh - 2 * s, (fw - 2 * s) / 2);
        if (thumbSize > 0)
            thumb.addRoundedRectangle(fx + t, (float) thumbStartPosition + t, fw - 2 * t, (float) thumbSize - 2 * t,
                                      (fw - 2 * t) / 2);
        shadeFrom = {fx + 0.6f * fw, 0.0f};
        shadeTo = {fx + fw, 0.0f};
        farHalf = {x + width / 2, y, width - width / 2, height};
    }
    else
    {
        slot.addRoundedRectangle(fx + s, fy + s, fw - 2 * s, fh - 2 * s, (fh - 2 * s) / 2);
        if (thumbSize > 0)
            thumb.addRoundedRectangle((float) thumbStartPosition + t, fy + t, (float) thumbSize - 2 * t, fh - 2 * t,
                                      (fh - 2 * t) / 2);
        shadeFrom = {0.0f, fy + 0.6f * fh};
        shadeTo = {0.0f, fy + fh};
        farHalf = {x, y + height / 2, width, height - height / 2};
    }

    const bool hasTrackColour = scrollbar.isColourSpecified(juce::ScrollBar::trackColourId) ||
                                isColourSpecified(juce::ScrollBar::trackColourId);
    g.setColour(hasTrackColour ? scrollbar.findColour(juce::ScrollBar::trackColourId)
                               : background.overlaidWith(juce::Colour(0x22ffffff)));
    g.fillPath(slot);

    g.setGradientFill(juce::ColourGradient(juce::Colour(0x00000000), shadeFrom, juce::Colour(0x19000000), shadeTo,
                                           false));
    g.fillPath(slot);

    if (thumbSize <= 0)
        return;
    g.setColour(background);
    g.fillPath(thumb);
    {
        juce::Graphics::ScopedSaveState state(g);
        g.reduceClipRegion(farHalf);
        g.setGradientFill(juce::ColourGradient(juce::Colour(0x10000000), shadeFrom, juce::Colour(0x00000000),
                                               shadeTo, false));
        g.fillPath(thumb);
    }
    g.setColour(juce::Colour(0x4c000000));
    g.strokePath(thumb, juce::PathStrokeType(0.4f));
}

void ProgramListLookAndFeel::drawTableHeaderBackground(juce::Graphics& g, juce::TableHeaderComponent&)
{
    g.fillAll(background);
}
} // namespace x47390_ui
