#include "data/CurrentTuneOctData.h"

#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "midi/MidiCommunicationManager.h"

#include <cstdio>

namespace x47390_data
{
TuneOctNotes CurrentTuneOctData::editBuffer{};
TuneOctData CurrentTuneOctData::currentTuneOct;

namespace
{
LibraryData& library()
{
    return DataCenter::getInstance()->getLibraryData();
}

// 0 to 5 name the slots; 6 falls back to slot 0; 7 and above are refused (-1) with the caller's message.
int resolveSlot(int i, const char* message)
{
    if (i >= 7)
    {
        std::printf(message, i);
        std::fflush(stdout);
        return -1;
    }
    const int low = i & 0xFF;
    return low <= 5 ? low : 0;
}

// The octave slot the tuning editor has selected (user octave slots are 0 to 5).
int selectedOctSlot()
{
    return currentTuningSlot <= 5 ? currentTuningSlot : 0;
}

void copyMasked(TuneOctNotes& target, const TuneOctNotes& source)
{
    for (size_t i = 0; i < target.size(); ++i)
        target[i] = (juce::uint8)(source[i] & 0x7F);
}
} // namespace

CurrentTuneOctData* CurrentTuneOctData::getInstance()
{
    application::ApplicationUndoManager::getInstance();
    return Singleton<CurrentTuneOctData>::getInstance();
}

CurrentTuneOctData::CurrentTuneOctData()
{
    application::ApplicationUndoManager::getInstance()->addChangeListener(this);
}

CurrentTuneOctData::~CurrentTuneOctData()
{
    cancelPendingUpdate();
    if (auto* undoManager = application::ApplicationUndoManager::getInstanceWithoutCreating())
        undoManager->removeChangeListener(this);
}

void CurrentTuneOctData::setTuneOct(int i)
{
    const int slot = resolveSlot(i, "TuneOct Change invalid:%03d\n");
    if (slot < 0)
        return;
    currentTuneOct.copyNotesFrom(library().getTuneOctData(slot));
    copyMasked(editBuffer, currentTuneOct.notes);
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
    auto& target = library().getTuneOctData(slot);
    copyMasked(currentTuneOct.notes, editBuffer);
    target.notes = currentTuneOct.notes;
    target.updateHash();
    currentTuneOct.md5 = target.md5; // the current record mirrors the slot, digest included
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
