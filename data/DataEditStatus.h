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

// Whether the library differs from its state when it was last opened or saved. Every state the undo history
// reaches has a number of its own; the save point is the number of the saved state, so undoing or redoing away
// from it marks the library edited and coming back to it clears the mark. Listeners hear of a change once per
// burst.
class DataEditStatus : public Singleton<DataEditStatus>,
                       public ListenerHolder<DataEditStatusListener>,
                       private juce::AsyncUpdater,
                       public juce::DeletedAtShutdown
{
public:
    ~DataEditStatus() override;

    bool isEdited() const noexcept { return edited; }
    // False: the present state becomes the save point. True: the saved state is no longer in the history.
    void setEdited(bool newEdited);

    // For the edit actions: a number for a state never reached before, and the state the history is in now.
    juce::uint64 makeNewState() noexcept { return ++lastState; }
    juce::uint64 getState() const noexcept { return state; }
    void enterState(juce::uint64 newState);

private:
    friend class Singleton<DataEditStatus>;
    DataEditStatus() = default;

    void handleAsyncUpdate() override;

    bool edited = false;
    juce::uint64 state = 0, savedState = 0, lastState = 0;

    JUCE_DECLARE_NON_COPYABLE(DataEditStatus)
};
} // namespace application
