#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace data
{
class DataChangeObserver
{
public:
    virtual void dataChanged() = 0;
    virtual ~DataChangeObserver() = default;
};

// Tells the views that library data changed: after every undo-manager change and on request,
// one call per observer per burst.
class DataChangeBroadcaster : public Singleton<DataChangeBroadcaster>,
                              public ListenerHolder<DataChangeObserver>,
                              private juce::AsyncUpdater,
                              public juce::DeletedAtShutdown,
                              public juce::ChangeListener
{
public:
    // Makes the undo manager first, so that it is deleted after this broadcaster at shutdown.
    static DataChangeBroadcaster* getInstance();

    ~DataChangeBroadcaster() override;

    void notifyDataChanged();
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;

private:
    friend class Singleton<DataChangeBroadcaster>;
    DataChangeBroadcaster();

    void handleAsyncUpdate() override;

    JUCE_DECLARE_NON_COPYABLE(DataChangeBroadcaster)
};
} // namespace data
