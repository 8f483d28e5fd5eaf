#include "data/CurrentTuneScaleData.h"

#include "data/ApplicationUndoManager.h"
#include "data/CurrentTuneRecord.h"
#include "data/FactoryScaleTemplates.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "midi/MidiCommunicationManager.h"

namespace x47390_data
{
TuneScaleNotes CurrentTuneScaleData::editBuffer{};
TuneScaleData CurrentTuneScaleData::currentTuneScale;

namespace
{
using currentTune::library;
using currentTune::resolveSlot;

// The scale slot the tuning editor has selected (user scale slots are 6 to 11).
int selectedScaleSlot()
{
    return currentTuningSlot >= 6 ? currentTuningSlot - 6 : 0;
}
} // namespace

CurrentTuneScaleData* CurrentTuneScaleData::getInstance()
{
    application::ApplicationUndoManager::getInstance();
    return Singleton<CurrentTuneScaleData>::getInstance();
}

CurrentTuneScaleData::CurrentTuneScaleData()
{
    currentTune::listenToUndoManager(this);
}

CurrentTuneScaleData::~CurrentTuneScaleData()
{
    cancelPendingUpdate();
    currentTune::stopListeningToUndoManager(this);
}

void CurrentTuneScaleData::setTuneScale(int i)
{
    const int slot = resolveSlot(i, "TuneScale Change invalid:%03d\n");
    if (slot < 0)
        return;
    currentTune::load(currentTuneScale, editBuffer, library().getTuneScaleData(slot));
    tuneScaleChanged();
}

void CurrentTuneScaleData::tuneScaleChanged()
{
    if (tuningLiveTransmission)
        x47390_midi::MidiCommunicationManager::getInstance()->transmitCurrentTuneScale(
            library().getTuneScaleData(selectedScaleSlot()));
    triggerAsyncUpdate();
}

void CurrentTuneScaleData::setTuneScaleToTuningList(int i)
{
    const int slot = resolveSlot(i, "setTuneScaleToTuningList:%03d\n");
    if (slot < 0)
        return;
    currentTune::store(currentTuneScale, editBuffer, library().getTuneScaleData(slot));
    if (tuningLiveTransmission)
        x47390_midi::MidiCommunicationManager::getInstance()->transmitCurrentTuneScale(currentTuneScale);
}

void CurrentTuneScaleData::pasteTuneScale(unsigned int templateNumber)
{
    const unsigned int low = templateNumber & 0xFF;
    const auto& source = factoryScaleTemplates[low <= 22 ? low : 0];
    std::copy(source.begin(), source.end(), editBuffer.begin());

    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteTuneScale");
    undoManager->perform(new x47390_action::SetTuneScaleEditAction(selectedScaleSlot()));
}

void CurrentTuneScaleData::changeListenerCallback(juce::ChangeBroadcaster*)
{
    triggerAsyncUpdate();
}

void CurrentTuneScaleData::handleAsyncUpdate()
{
    callListeners([](CurrentTuneScaleDataObserver& o) { o.currentTuneScaleChanged(); });
}
} // namespace x47390_data
