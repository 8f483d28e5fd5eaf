#include "app/PreferencesDataChangeBroadcaster.h"

namespace application
{
PreferencesDataChangeBroadcaster::~PreferencesDataChangeBroadcaster()
{
    cancelPendingUpdate();
}

void PreferencesDataChangeBroadcaster::handleAsyncUpdate()
{
    callListeners([](PreferencesDataChangeBroadcasterObserver& observer) { observer.preferencesDataChanged(); });
}
} // namespace application
