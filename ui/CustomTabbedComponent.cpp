#include "ui/CustomTabbedComponent.h"

#include "ui/SelectedTabStatus.h"

namespace ui
{
void CustomTabbedComponent::currentTabChanged(int newCurrentTabIndex, const juce::String& newCurrentTabName)
{
    SelectedTabStatus::getInstance()->setTab(newCurrentTabIndex, newCurrentTabName);
}
} // namespace ui
