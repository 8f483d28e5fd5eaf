#include "ui/TooltipWindowManager.h"

namespace x47390_ui
{
void TooltipWindowManager::createTooltipWindow(int delayMs)
{
    if (tooltipWindow == nullptr)
        tooltipWindow = std::make_unique<juce::TooltipWindow>(nullptr, delayMs);
}
} // namespace x47390_ui
