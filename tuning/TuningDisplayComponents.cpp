#include "tuning/TuningDisplayComponents.h"

#include "data/TuningSelection.h"
#include "midi/MidiNoteReceiveTask.h"
#include "ui/ImageLibrary.h"

namespace
{
bool userScaleSelected()
{
    return currentTuningSlot >= 6;
}
} // namespace

//==============================================================================
KbdDisplayComponent::KbdDisplayComponent(int index)
    : tileIndex(index)
{
    setName("Kbd :" + juce::String(index));
    setSize(42, 16);
    data::DataChangeBroadcaster::getInstance()->addListener(this);
}

KbdDisplayComponent::~KbdDisplayComponent()
{
    cancelPendingUpdate();
    if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
}

void KbdDisplayComponent::paint(juce::Graphics& g)
{
    const bool current = userScaleSelected() && tileIndex == currentTuningPage;
    g.setOpacity(current ? 1.0f : (float) 0x60 / 255.0f);
    // Taken when first drawn: the page may never be shown.
    if (tileImage.isNull())
        tileImage = ui::getImage(tileIndex == 10 ? "TuningLastKeyTile" : "TuningKeyTile");
    g.drawImage(tileImage, getLocalBounds().toFloat());
}

void KbdDisplayComponent::mouseDown(const juce::MouseEvent&)
{
    if (userScaleSelected())
        currentTuningPage = (std::uint8_t) tileIndex;
    triggerAsyncUpdate();
}

void KbdDisplayComponent::handleAsyncUpdate()
{
    const int index = tileIndex;
    callListeners([index](KbdDisplayComponentListener& l) { l.kbdDisplayComponentClicked(index); });
}

void KbdDisplayComponent::dataChanged()
{
    repaint();
}

//==============================================================================
KbdGuidDisplayComponent::KbdGuidDisplayComponent(int note)
    : noteNumber(note)
{
    setName("OctGuid :" + juce::String(note));
    setSize(42, 16);
    setInterceptsMouseClicks(false, false);
}

void KbdGuidDisplayComponent::paint(juce::Graphics& g)
{
    if (kbdGuidNoteStates[(size_t) noteNumber] == 0)
        return;
    if (onImage.isNull())
        onImage = ui::getImage(noteNumber == 127 ? juce::String("TuningLastKeyGuide")
                                                 : "TuningKeyGuide" + juce::String(noteNumber % 12));
    g.setOpacity(1.0f);
    g.drawImage(onImage, juce::Rectangle<float>(0.0f, 0.0f, 42.0f, 16.0f));
}

//==============================================================================
OctGuidDisplayComponent::OctGuidDisplayComponent(int pc)
    : pitchClass(pc), imageName("TuningOctaveGuide" + juce::String(pc))
{
    setName("KbdGuid :" + juce::String(pc));
    setSize(450, 186);
    setInterceptsMouseClicks(false, false);
}

void OctGuidDisplayComponent::paint(juce::Graphics& g)
{
    if (octGuidNoteStates[(size_t) pitchClass] == 0)
        return;
    // Twelve pictures of the whole octave would hold 16 MB for a page that lights one key at a time.
    ui::drawImageShapes(g, imageName, juce::Rectangle<float>(0.0f, 0.0f, 450.0f, 186.0f));
}
