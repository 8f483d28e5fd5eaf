#include "data/CurrentTuneOctData.h"

#include "data/ApplicationUndoManager.h"
#include "data/CurrentTuneRecord.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "midi/MidiCommunicationManager.h"

namespace x47390_data
{
TuneOctNotes CurrentTuneOctData::editBuffer{};
TuneOctData CurrentTuneOctData::currentTuneOct;

namespace
{
using currentTune::library;
using currentTune::resolveSlot;

// The octave slot the tuning editor has selected (user octave slots are 0 to 5).
int selectedOctSlot()
{
    return currentTuningSlot <= 5 ? currentTuningSlot : 0;
}
} // namespace

CurrentTuneOctData* CurrentTuneOctData::getInstance()
{
    application::ApplicationUndoManager::getInstance();
    return Singleton<CurrentTuneOctData>::getInstance();
}

CurrentTuneOctData::CurrentTuneOctData()
{
    currentTune::listenToUndoManager(this);
}

CurrentTuneOctData::~CurrentTuneOctData()
{
    cancelPendingUpdate();
    currentTune::stopListeningToUndoManager(this);
}

void CurrentTuneOctData::setTuneOct(int i)
{
    const int slot = resolveSlot(i, "TuneOct Change invalid:%03d\n");
    if (slot < 0)
        return;
    currentTune::load(currentTuneOct, editBuffer, library().getTuneOctData(slot));
    tuneOctChanged();
}

void CurrentTuneOctData::tuneOctChanged()
{
    if (tuningLiveTransmission)
        x47390_midi::MidiCommunicationManager::getInstance()->transmitCurrentTuneOct(
            library().getTuneOctData(selectedOctSlot()));
    triggerAsyncUpdate();
}

void CurrentTuneOctData::setTuneOctToTuningList(int i)
{
    const int slot = resolveSlot(i, "setTuneOctToTuningList:%03d\n");
    if (slot < 0)
        return;
    currentTune::store(currentTuneOct, editBuffer, library().getTuneOctData(slot));
    if (tuningLiveTransmission)
        x47390_midi::MidiCommunicationManager::getInstance()->transmitCurrentTuneOct(currentTuneOct);
}

void CurrentTuneOctData::pasteTuneOct()
{
    editBuffer = identityTuneOct;

    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteTuneOct");
    undoManager->perform(new x47390_action::SetTuneOctEditAction(selectedOctSlot()));

    tuneOctChanged();
}

void CurrentTuneOctData::changeListenerCallback(juce::ChangeBroadcaster*)
{
    triggerAsyncUpdate();
}

void CurrentTuneOctData::handleAsyncUpdate()
{
    callListeners([](CurrentTuneOctDataObserver& o) { o.currentTuneOctChanged(); });
}
} // namespace x47390_data
