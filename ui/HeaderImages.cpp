// The images of the header: logo, program display frame and the captions over the button columns.
#include "ui/ImagePainters.h"

namespace ui::painters
{
namespace
{
juce::Font headerFont(float height, int style = juce::Font::plain)
{
    return juce::Font(juce::Font::getDefaultSansSerifFontName(), height, style);
}

// White capitals filling the image's height, centred.
void paintCaption(juce::Graphics& g, int width, int height, const juce::String& text)
{
    auto font = headerFont((float) height * 0.9f, juce::Font::bold);
    font.setExtraKerningFactor(0.08f);
    g.setColour(juce::Colours::white);
    g.setFont(font);
    g.drawFittedText(text, 0, 0, width, height, juce::Justification::centred, 1, 0.7f);
}
} // namespace

void paintHeaderLogo(juce::Graphics& g, int width, int height)
{
    const float w = (float) width, h = (float) height;

    // A sine stroke that fades out to the right, ending in the word mark.
    juce::Path wave;
    const float waveLeft = 6.0f, waveWidth = h * 0.9f, mid = h * 0.42f, amplitude = h * 0.26f;
    wave.startNewSubPath(waveLeft, mid);
    for (int i = 1; i <= 48; ++i)
    {
        const float t = (float) i / 48.0f;
        wave.lineTo(waveLeft + t * waveWidth, mid - amplitude * std::sin(t * juce::MathConstants<float>::twoPi));
    }
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xffe0312b), waveLeft, 0.0f, juce::Colour(0xffff8a65),
                                           waveLeft + waveWidth, 0.0f, false));
    g.strokePath(wave, juce::PathStrokeType(h * 0.07f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    const float textLeft = waveLeft + waveWidth + h * 0.12f;
    auto mark = headerFont(h * 0.62f, juce::Font::bold);
    mark.setExtraKerningFactor(-0.02f);
    // The word mark fills the width left of the wave, whatever the installed face's proportions.
    const float room = w - textLeft - 4.0f;
    if (const float wide = mark.getStringWidthFloat("sonavire"); wide > room)
        mark.setHeight(mark.getHeight() * room / wide);
    g.setFont(mark);
    g.setGradientFill(juce::ColourGradient(juce::Colours::white, 0.0f, h * 0.1f, juce::Colour(0xffb8b8b8), 0.0f,
                                           h * 0.7f, false));
    g.drawText("sonavire", juce::Rectangle<float>(textLeft, 0.0f, w - textLeft, h * 0.74f),
               juce::Justification::centredLeft, false);

    auto sub = headerFont(h * 0.2f);
    sub.setExtraKerningFactor(0.22f);
    g.setFont(sub);
    g.setColour(juce::Colour(0xff9a9a9a));
    g.drawText("SOUND LIBRARIAN", juce::Rectangle<float>(textLeft + h * 0.03f, h * 0.72f, w - textLeft, h * 0.26f),
               juce::Justification::centredLeft, false);
}

void paintHeaderDisplayFrame(juce::Graphics& g, int width, int height)
{
    const auto outer = juce::Rectangle<float>(0.0f, 0.0f, (float) width, (float) height).reduced(2.0f);
    const float corner = (float) height * 0.16f;

    // Bezel: brushed dark metal, lighter at the top edge.
    g.setGradientFill(juce::ColourGradient(juce::Colour(0xff4a4a4a), 0.0f, outer.getY(), juce::Colour(0xff161616), 0.0f,
                                           outer.getBottom(), false));
    g.fillRoundedRectangle(outer, corner);
    g.setColour(juce::Colour(0xff5c5c5c));
    g.drawRoundedRectangle(outer, corner, 2.0f);

    // The window the black display shows through, with a faint glass shine.
    const auto window = outer.reduced((float) width * 0.075f, (float) height * 0.1f);
    g.setColour(juce::Colour(0xff000000));
    g.fillRoundedRectangle(window, corner * 0.5f);
    g.setGradientFill(juce::ColourGradient(juce::Colours::white.withAlpha(0.10f), 0.0f, window.getY(),
                                           juce::Colours::white.withAlpha(0.0f), 0.0f, window.getCentreY(), false));
    g.fillRoundedRectangle(window.withHeight(window.getHeight() * 0.5f), corner * 0.5f);
    g.setColour(juce::Colour(0xff0a0a0a));
    g.drawRoundedRectangle(window, corner * 0.5f, 2.0f);
}

void paintHeaderUserUnitCaption(juce::Graphics& g, int width, int height)
{
    paintCaption(g, width, height, "USER OSC/FX");
}

void paintHeaderProgramCaption(juce::Graphics& g, int width, int height)
{
    paintCaption(g, width, height, "PROGRAMS");
}
} // namespace ui::painters
