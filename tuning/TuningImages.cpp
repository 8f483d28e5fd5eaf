// The tuning page's pictures: the large keyboard with its captions, the key tiles and the
// red guides that light single keys. All share the key layout, drawn at twice their size on the page.
#include "tuning/TuningKeyLayout.h"
#include "ui/FontLibrary.h"
#include "ui/ImagePainters.h"

namespace ui::painters
{
namespace
{
using TuningEditor::keyLayout::isBlackKey;
using TuningEditor::keyLayout::keyBounds;
using TuningEditor::keyLayout::keyFace;

const juce::Colour litKeyColour(0xffe0281e);

// One octave of keys filling the area; keys above lastPitchClass are left out.
void paintOctave(juce::Graphics& g, juce::Rectangle<float> octave, int lastPitchClass, float line)
{
    for (int pc = 0; pc <= lastPitchClass; ++pc)
    {
        if (isBlackKey(pc))
            continue;
        const auto key = keyBounds(pc, octave).reduced(line * 0.5f, 0.0f);
        g.setColour(juce::Colour(0xfff4f4f0));
        g.fillRect(key);
        g.setColour(juce::Colour(0xff5a5a5a));
        g.drawRect(key, line);
    }
    for (int pc = 0; pc <= lastPitchClass; ++pc)
    {
        if (!isBlackKey(pc))
            continue;
        const auto key = keyBounds(pc, octave);
        g.setGradientFill(juce::ColourGradient(juce::Colour(0xff3a3a3a), 0.0f, key.getY(), juce::Colour(0xff080808),
                                               0.0f, key.getBottom(), false));
        g.fillRect(key);
    }
}

void paintLitKey(juce::Graphics& g, juce::Rectangle<float> octave, int pitchClass, int lastPitchClass, float inset)
{
    auto face = keyFace(pitchClass, octave, lastPitchClass);
    g.setColour(litKeyColour);
    g.saveState();
    g.reduceClipRegion(face);
    g.fillRect(keyBounds(pitchClass, octave).reduced(inset));
    g.restoreState();
}

juce::Rectangle<float> wholeArea(int width, int height)
{
    return {0.0f, 0.0f, (float) width, (float) height};
}
} // namespace

void tuningKeyboard(juce::Graphics& g, int width, int height)
{
    // Captions over the two rows of slot buttons, then one octave of keys in the lower part, whose octave
    // lies where the page puts its octave guides.
    const float scale = (float) width / 545.0f;
    g.setColour(juce::Colours::white);
    g.setFont(ui::FontLibrary::getInstance()->makeFont("Arial Unicode MS", 13.0f * scale, juce::Font::bold));
    g.drawText("USER SCALE", juce::Rectangle<float>(0.0f, 20.0f, 200.0f, 16.0f) * scale,
               juce::Justification::centredLeft, false);
    g.drawText("USER OCTAVE", juce::Rectangle<float>(0.0f, 84.0f, 200.0f, 16.0f) * scale,
               juce::Justification::centredLeft, false);
    g.drawText("KEY", juce::Rectangle<float>(0.0f, 146.0f, 200.0f, 14.0f) * scale, juce::Justification::centredLeft,
               false);
    const auto octave = juce::Rectangle<float>(0.0f, 163.0f, 450.0f, 186.0f) * scale;
    paintOctave(g, octave.withBottom(juce::jmin(octave.getBottom(), (float) height)), 11, scale);
}

void tuningKeyTile(juce::Graphics& g, int width, int height)
{
    paintOctave(g, wholeArea(width, height), 11, 1.0f);
}

void tuningLastKeyTile(juce::Graphics& g, int width, int height)
{
    // Page 10 ends at G 9 (note 127).
    paintOctave(g, wholeArea(width, height), 7, 1.0f);
}

template <int PitchClass>
void tuningKeyGuide(juce::Graphics& g, int width, int height)
{
    paintLitKey(g, wholeArea(width, height), PitchClass, 11, 1.0f);
}

void tuningLastKeyGuide(juce::Graphics& g, int width, int height)
{
    paintLitKey(g, wholeArea(width, height), 7, 7, 1.0f);
}

template <int PitchClass>
void tuningOctaveGuide(juce::Graphics& g, int width, int height)
{
    paintLitKey(g, wholeArea(width, height), PitchClass, 11, 3.0f);
}

#define SONAVIRE_TUNING_GUIDES(pc)                                                                                     \
    template void tuningKeyGuide<pc>(juce::Graphics&, int, int);                                                       \
    template void tuningOctaveGuide<pc>(juce::Graphics&, int, int);
SONAVIRE_TUNING_GUIDES(0)
SONAVIRE_TUNING_GUIDES(1)
SONAVIRE_TUNING_GUIDES(2)
SONAVIRE_TUNING_GUIDES(3)
SONAVIRE_TUNING_GUIDES(4)
SONAVIRE_TUNING_GUIDES(5)
SONAVIRE_TUNING_GUIDES(6)
SONAVIRE_TUNING_GUIDES(7)
SONAVIRE_TUNING_GUIDES(8)
SONAVIRE_TUNING_GUIDES(9)
SONAVIRE_TUNING_GUIDES(10)
SONAVIRE_TUNING_GUIDES(11)
#undef SONAVIRE_TUNING_GUIDES
} // namespace ui::painters
