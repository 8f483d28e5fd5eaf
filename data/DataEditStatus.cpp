#include "data/DataEditStatus.h"

namespace application
{
DataEditStatus::~DataEditStatus()
{
    cancelPendingUpdate();
}

void DataEditStatus::setEdited(bool newEdited)
{
    if (newEdited == edited)
        return;
    edited = newEdited;
    triggerAsyncUpdate();
}

void DataEditStatus::handleAsyncUpdate()
{
    // Listeners see the flag as it is at delivery time.
    callListeners([this](DataEditStatusListener& listener) { listener.dataEditStatusChanged(edited); });
}
} // namespace application
