#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace data
{
class PresetDataChangeBroadcasterObserver
{
public:
    virtual ~PresetDataChangeBroadcasterObserver() = default;
    virtual void presetDataChanged() = 0;
};

// Tells the preset list that the preset libraries changed, once per burst.
class PresetDataChangeBroadcaster : public Singleton<PresetDataChangeBroadcaster>,
                                    public ListenerHolder<PresetDataChangeBroadcasterObserver>,
                                    public juce::AsyncUpdater,
                                    public juce::DeletedAtShutdown
{
public:
    ~PresetDataChangeBroadcaster() override;

    void notifyPresetDataChanged();
    void handleAsyncUpdate() override;

private:
    friend class Singleton<PresetDataChangeBroadcaster>;
    PresetDataChangeBroadcaster() = default;

    JUCE_DECLARE_NON_COPYABLE(PresetDataChangeBroadcaster)
};
} // namespace data
