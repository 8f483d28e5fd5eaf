#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

#include <vector>

namespace ui
{
// Common shape of the selection statuses: an application-wide value with observers that hear
// of changes asynchronously on the message thread, one call per burst of changes.
template <class Derived, class Observer, void (Observer::*notification)()>
class SelectionStatus : public ListenerHolder<Observer>,
                        public Singleton<Derived>,
                        public juce::AsyncUpdater,
                        public juce::DeletedAtShutdown
{
public:
    ~SelectionStatus() override { cancelPendingUpdate(); }

    void handleAsyncUpdate() override
    {
        this->callListeners([](Observer& observer) { (observer.*notification)(); });
    }
};

// A status that keeps selected rows, in ascending order, each once; initially row 0 alone.
template <class Derived, class Observer, void (Observer::*notification)()>
class RowSelectionStatus : public SelectionStatus<Derived, Observer, notification>
{
public:
    std::vector<int> selection{0};

    // Replaces the selection and notifies, also when the rows are the ones already held.
    void setSelection(const std::vector<int>& rows)
    {
        if (&rows != &selection)
            selection = rows;
        this->triggerAsyncUpdate();
    }
};
} // namespace ui
