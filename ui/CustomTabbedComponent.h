#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ui
{
// The main window's tabs; every change of the current tab is published to the selected-tab status.
class CustomTabbedComponent : public juce::TabbedComponent
{
public:
    CustomTabbedComponent() : juce::TabbedComponent(juce::TabbedButtonBar::TabsAtTop) {}

    void currentTabChanged(int newCurrentTabIndex, const juce::String& newCurrentTabName) override;
};
} // namespace ui
