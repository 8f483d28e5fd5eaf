// The images of the application shell: the window icon and the about picture.
#include "ui/FontLibrary.h"
#include "ui/ImagePainters.h"

namespace ui::painters
{
namespace
{
const juce::Colour accent(0xffe0a040);
const juce::Colour accentLight(0xfff3d27a);
const juce::Colour panelTop(0xff3a3f46);
const juce::Colour panelBottom(0xff15171a);

// The wave the pictures show: a sine that gains harmonics from left to right until it is a saw.
juce::Path makeWave(juce::Rectangle<float> area, int periods, int harmonics)
{
    juce::Path wave;
    const int steps = 600;
    for (int i = 0; i <= steps; ++i)
    {
        const float t = (float) i / (float) steps;
        const float phase = t * (float) periods * juce::MathConstants<float>::twoPi;
        float value = 0.0f;
        for (int k = 1; k <= harmonics; ++k)
        {
            const float weight = juce::jlimit(0.0f, 1.0f, t * (float) harmonics * 1.2f - (float) (k - 1));
            value += weight * std::sin((float) k * phase) / (float) k;
        }
        value *= 0.62f;
        const juce::Point<float> point(area.getX() + t * area.getWidth(),
                                       area.getCentreY() - value * area.getHeight() * 0.5f);
        if (i == 0)
            wave.startNewSubPath(point);
        else
            wave.lineTo(point);
    }
    return wave;
}

// A row of piano keys, white keys with the black keys of each octave over them.
void drawKeys(juce::Graphics& g, juce::Rectangle<float> area, int whiteKeys, juce::Colour white, juce::Colour black)
{
    const float keyWidth = area.getWidth() / (float) whiteKeys;
    for (int i = 0; i < whiteKeys; ++i)
    {
        auto key = juce::Rectangle<float>(area.getX() + (float) i * keyWidth, area.getY(), keyWidth, area.getHeight())
                       .reduced(keyWidth * 0.06f, 0.0f);
        g.setColour(white);
        g.fillRoundedRectangle(key, keyWidth * 0.12f);
    }
    for (int i = 0; i < whiteKeys - 1; ++i)
    {
        const int inOctave = i % 7;
        if (inOctave == 2 || inOctave == 6)
            continue; // no black key between E and F, B and C
        const float centre = area.getX() + (float) (i + 1) * keyWidth;
        g.setColour(black);
        g.fillRoundedRectangle(centre - keyWidth * 0.3f, area.getY(), keyWidth * 0.6f, area.getHeight() * 0.6f,
                               keyWidth * 0.1f);
    }
}

juce::Font shellFont(float height, int style = juce::Font::plain)
{
    auto* fonts = FontLibrary::getInstance();
    return fonts->makeFont(fonts->defaultTypefaceName, height, style);
}
} // namespace

void paintApplicationIcon(juce::Graphics& g, int width, int height)
{
    const auto bounds = juce::Rectangle<float>(0.0f, 0.0f, (float) width, (float) height);
    const float unit = bounds.getWidth() / 64.0f;
    const auto tile = bounds.reduced(unit * 2.0f);
    const float corner = unit * 12.0f;

    g.setGradientFill(juce::ColourGradient(panelTop, tile.getX(), tile.getY(), panelBottom, tile.getX(),
                                           tile.getBottom(), false));
    g.fillRoundedRectangle(tile, corner);
    g.setColour(juce::Colours::white.withAlpha(0.12f));
    g.drawRoundedRectangle(tile.reduced(unit * 0.5f), corner, unit);

    // The wave over the upper part, with a glow under it.
    const auto waveArea = juce::Rectangle<float>(tile.getX() + unit * 8.0f, tile.getY() + unit * 10.0f,
                                                 tile.getWidth() - unit * 16.0f, unit * 20.0f);
    const auto wave = makeWave(waveArea, 2, 3);
    g.setColour(accent.withAlpha(0.25f));
    g.strokePath(wave, juce::PathStrokeType(unit * 5.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setGradientFill(juce::ColourGradient(accentLight, waveArea.getX(), waveArea.getY(), accent, waveArea.getRight(),
                                           waveArea.getBottom(), false));
    g.strokePath(wave, juce::PathStrokeType(unit * 2.4f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    // The keys along the bottom.
    drawKeys(g, {tile.getX() + unit * 8.0f, tile.getBottom() - unit * 24.0f, tile.getWidth() - unit * 16.0f, unit * 16.0f},
             7, juce::Colour(0xffe8e8e8), juce::Colour(0xff1c1c1c));
}

void paintAboutPicture(juce::Graphics& g, int width, int height)
{
    const auto bounds = juce::Rectangle<float>(0.0f, 0.0f, (float) width, (float) height);
    const float unit = bounds.getWidth() / 600.0f; // the picture is laid out in the 600 x 400 of the about box

    g.setGradientFill(juce::ColourGradient(juce::Colour(0xff23272d), 0.0f, 0.0f, juce::Colour(0xff050506), 0.0f,
                                           bounds.getBottom(), false));
    g.fillAll();

    // Faint grid lines, as on a scope.
    g.setColour(juce::Colours::white.withAlpha(0.04f));
    for (int x = 0; x <= 600; x += 30)
        g.fillRect((float) x * unit, 0.0f, unit, bounds.getHeight());
    for (int y = 0; y <= 400; y += 30)
        g.fillRect(0.0f, (float) y * unit, bounds.getWidth(), unit);

    const auto waveArea = juce::Rectangle<float>(40.0f * unit, 150.0f * unit, 520.0f * unit, 90.0f * unit);
    const auto wave = makeWave(waveArea, 4, 8);
    g.setColour(accent.withAlpha(0.18f));
    g.strokePath(wave, juce::PathStrokeType(12.0f * unit, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));
    g.setGradientFill(juce::ColourGradient(accentLight, waveArea.getX(), 0.0f, accent, waveArea.getRight(), 0.0f, false));
    g.strokePath(wave, juce::PathStrokeType(3.0f * unit, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

    g.setColour(juce::Colours::white);
    g.setFont(shellFont(64.0f * unit, juce::Font::bold));
    g.drawText("sonavire", juce::Rectangle<float>(40.0f, 36.0f, 520.0f, 72.0f) * unit,
               juce::Justification::centredLeft, false);
    g.setColour(juce::Colour(0xffd3d3d3));
    g.setFont(shellFont(28.0f * unit));
    g.drawText("Sound Librarian", juce::Rectangle<float>(44.0f, 100.0f, 520.0f, 36.0f) * unit,
               juce::Justification::centredLeft, false);

    // The keys along the bottom, beside the version line the about box writes at the right.
    drawKeys(g, juce::Rectangle<float>(40.0f, 270.0f, 520.0f, 70.0f) * unit, 21, juce::Colour(0xffcfd2d6),
             juce::Colour(0xff141414));

    g.setColour(accent);
    g.setFont(shellFont(18.0f * unit, juce::Font::bold));
    g.drawText("VEXO", juce::Rectangle<float>(40.0f, 362.0f, 200.0f, 30.0f) * unit, juce::Justification::centredLeft,
               false);
}
} // namespace ui::painters
