#include "data/CurrentTuneScaleData.h"

#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/FactoryScaleTemplates.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "midi/MidiCommunicationManager.h"

#include <cstdio>

namespace x47390_data
{
TuneScaleNotes CurrentTuneScaleData::editBuffer{};
TuneScaleData CurrentTuneScaleData::currentTuneScale;

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

// The scale slot the tuning editor has selected (user scale slots are 6 to 11).
int selectedScaleSlot()
{
    return currentTuningSlot >= 6 ? currentTuningSlot - 6 : 0;
}

void copyMasked(TuneScaleNotes& target, const TuneScaleNotes& source)
{
    for (size_t i = 0; i < target.size(); ++i)
        target[i] = (juce::uint8)(source[i] & 0x7F);
}
} // namespace

CurrentTuneScaleData* CurrentTuneScaleData::getInstance()
{
    application::ApplicationUndoManager::getInstance();
    return Singleton<CurrentTuneScaleData>::getInstance();
}

CurrentTuneScaleData::CurrentTuneScaleData()
{
    application::ApplicationUndoManager::getInstance()->addChangeListener(this);
}

CurrentTuneScaleData::~CurrentTuneScaleData()
{
    cancelPendingUpdate();
    if (auto* undoManager = application::ApplicationUndoManager::getInstanceWithoutCreating())
        undoManager->removeChangeListener(this);
}

void CurrentTuneScaleData::setTuneScale(int i)
{
    const int slot = resolveSlot(i, "TuneScale Change invalid:%03d\n");
    if (slot < 0)
        return;
    currentTuneScale.copyNotesFrom(library().getTuneScaleData(slot));
    copyMasked(editBuffer, currentTuneScale.notes);
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
    auto& target = library().getTuneScaleData(slot);
    copyMasked(currentTuneScale.notes, editBuffer);
    target.notes = currentTuneScale.notes;
    target.updateHash();
    currentTuneScale.md5 = target.md5; // the current record mirrors the slot, digest included
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
