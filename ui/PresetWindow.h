#pragma once

#include "ui/WindowPlacement.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace x47390_ui
{
// The window of the preset list. It remembers its bounds as last moved or resized and stores them
// in the preferences when it is deleted; its close button hands the deletion to the manager.
class PresetWindow : public juce::DocumentWindow
{
public:
    PresetWindow();
    ~PresetWindow() override;

    void resized() override;
    void moved() override;
    void closeButtonPressed() override;

    juce::Rectangle<int> lastBounds;
    // Brings the window back where it was placed once the window manager has framed it.
    ui::WindowPositionKeeper positionKeeper;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PresetWindow)
};
} // namespace x47390_ui
