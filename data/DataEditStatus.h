#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace application
{
class DataEditStatusListener
{
public:
    virtual void dataEditStatusChanged(const bool& edited) = 0;
    virtual ~DataEditStatusListener() = default;
};

// Whether the library changed since it was last opened or saved. Listeners hear of a change once per burst.
class DataEditStatus : public Singleton<DataEditStatus>,
                       public ListenerHolder<DataEditStatusListener>,
                       private juce::AsyncUpdater,
                       public juce::DeletedAtShutdown
{
public:
    ~DataEditStatus() override;

    bool isEdited() const noexcept { return edited; }
    void setEdited(bool newEdited);

private:
    friend class Singleton<DataEditStatus>;
    DataEditStatus() = default;

    void handleAsyncUpdate() override;

    bool edited = false;

    JUCE_DECLARE_NON_COPYABLE(DataEditStatus)
};
} // namespace application
