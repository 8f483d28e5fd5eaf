#include "data/PresetDataChangeBroadcaster.h"

namespace data
{
PresetDataChangeBroadcaster::~PresetDataChangeBroadcaster()
{
    cancelPendingUpdate();
}

void PresetDataChangeBroadcaster::notifyPresetDataChanged()
{
    triggerAsyncUpdate();
}

void PresetDataChangeBroadcaster::handleAsyncUpdate()
{
    callListeners([](PresetDataChangeBroadcasterObserver& observer) { observer.presetDataChanged(); });
}
} // namespace data
