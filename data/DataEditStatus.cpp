#include "data/DataEditStatus.h"

namespace application
{
DataEditStatus::~DataEditStatus()
{
    cancelPendingUpdate();
}

void DataEditStatus::setEdited(bool newEdited)
{
    // The state of no history position: nothing undone or redone returns to a save point given up.
    savedState = newEdited ? makeNewState() : state;
    if (newEdited == edited)
        return;
    edited = newEdited;
    triggerAsyncUpdate();
}

void DataEditStatus::enterState(juce::uint64 newState)
{
    state = newState;
    const bool differs = state != savedState;
    if (differs == edited)
        return;
    edited = differs;
    triggerAsyncUpdate();
}

void DataEditStatus::handleAsyncUpdate()
{
    // Listeners see the flag as it is at delivery time.
    callListeners([this](DataEditStatusListener& listener) { listener.dataEditStatusChanged(edited); });
}
} // namespace application
