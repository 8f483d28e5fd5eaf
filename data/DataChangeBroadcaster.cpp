#include "data/DataChangeBroadcaster.h"

#include "data/ApplicationUndoManager.h"

namespace data
{
DataChangeBroadcaster* DataChangeBroadcaster::getInstance()
{
    application::ApplicationUndoManager::getInstance();
    return Singleton<DataChangeBroadcaster>::getInstance();
}

DataChangeBroadcaster::DataChangeBroadcaster()
{
    application::ApplicationUndoManager::getInstance()->addChangeListener(this);
}

DataChangeBroadcaster::~DataChangeBroadcaster()
{
    cancelPendingUpdate();
    // Never bring the undo manager back at shutdown; if it is gone there is nothing to leave.
    if (auto* undoManager = application::ApplicationUndoManager::getInstanceWithoutCreating())
        undoManager->removeChangeListener(this);
}

void DataChangeBroadcaster::notifyDataChanged()
{
    triggerAsyncUpdate();
}

void DataChangeBroadcaster::changeListenerCallback(juce::ChangeBroadcaster*)
{
    triggerAsyncUpdate();
}

void DataChangeBroadcaster::handleAsyncUpdate()
{
    callListeners([](DataChangeObserver& observer) { observer.dataChanged(); });
}
} // namespace data
