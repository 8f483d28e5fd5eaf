#pragma once

#include "data/Singleton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace x47390_ui
{
// Owns the application's one tooltip window.
class TooltipWindowManager : public Singleton<TooltipWindowManager>, public juce::DeletedAtShutdown
{
public:
    ~TooltipWindowManager() override = default;

    juce::TooltipWindow* getTooltipWindow() const noexcept { return tooltipWindow.get(); }
    // Creates the tooltip window (no parent, the given delay) unless one exists.
    void createTooltipWindow(int delayMs);
    void deleteTooltipWindow() { tooltipWindow.reset(); }

private:
    friend class Singleton<TooltipWindowManager>;
    TooltipWindowManager() = default;

    std::unique_ptr<juce::TooltipWindow> tooltipWindow;
};
} // namespace x47390_ui
