#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace application
{
class PreferencesDataChangeBroadcasterObserver
{
public:
    virtual ~PreferencesDataChangeBroadcasterObserver() = default;
    virtual void preferencesDataChanged() = 0;
};

// Tells the list views that settings changed: any number of triggers before the message loop
// runs again give one call per observer.
class PreferencesDataChangeBroadcaster : public Singleton<PreferencesDataChangeBroadcaster>,
                                         public ListenerHolder<PreferencesDataChangeBroadcasterObserver>,
                                         private juce::AsyncUpdater,
                                         public juce::DeletedAtShutdown,
                                         public juce::ChangeListener
{
public:
    ~PreferencesDataChangeBroadcaster() override;

    using juce::AsyncUpdater::triggerAsyncUpdate;

    void changeListenerCallback(juce::ChangeBroadcaster*) override { triggerAsyncUpdate(); }

private:
    friend class Singleton<PreferencesDataChangeBroadcaster>;
    PreferencesDataChangeBroadcaster() = default;

    void handleAsyncUpdate() override;
};
} // namespace application
