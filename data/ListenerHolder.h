#pragma once

#include <algorithm>
#include <vector>

// An ordered list of observers that it does not own.
template <class Obs>
class ListenerHolder
{
public:
    virtual ~ListenerHolder() = default;

    // No duplicate test: an observer added twice is called twice.
    void addListener(Obs* listener) { listeners.push_back(listener); }

    // Erases the first occurrence only.
    void removeListener(Obs* listener)
    {
        auto it = std::find(listeners.begin(), listeners.end(), listener);
        if (it != listeners.end())
            listeners.erase(it);
    }

    int getNumListeners() const noexcept { return (int) listeners.size(); }

protected:
    // Calls fn on the observers present when the delivery starts; one removed meanwhile is skipped.
    template <class Fn>
    void callListeners(Fn&& fn)
    {
        const auto snapshot = listeners;
        for (auto* listener : snapshot)
            if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end())
                fn(*listener);
    }

    std::vector<Obs*> listeners;
};
