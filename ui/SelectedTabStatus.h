#pragma once

#include "ui/SelectionStatus.h"

#include <juce_core/juce_core.h>

namespace ui
{
class SelectedTabStatusObserver
{
public:
    virtual ~SelectedTabStatusObserver() = default;
    virtual void selectedTabStatusChanged() = 0;
};

// The selected tab of the main window: 0 PROGRAM, 1 USER OSCILLATORS, 2 USER MODULATION FX,
// 3 USER DELAY FX, 4 USER REVERB FX, 5 MICROTUNING.
class SelectedTabStatus : public SelectionStatus<SelectedTabStatus, SelectedTabStatusObserver,
                                                 &SelectedTabStatusObserver::selectedTabStatusChanged>
{
public:
    int tabIndex = 0;
    juce::String tabName;

    void setTab(int index, const juce::String& name)
    {
        tabIndex = index;
        tabName = name;
        triggerAsyncUpdate();
    }

private:
    friend class Singleton<SelectedTabStatus>;
    SelectedTabStatus() = default;
};
} // namespace ui
