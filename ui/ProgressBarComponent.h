#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ui
{
// A slider that only code moves: it shows the progress of a transfer and ignores the mouse.
class ProgressBarComponent : public juce::Slider
{
public:
    explicit ProgressBarComponent(const juce::String& componentName = "ProgressBar");

    void mouseDown(const juce::MouseEvent&) override {}
    void mouseDrag(const juce::MouseEvent&) override {}
    void mouseUp(const juce::MouseEvent&) override {}
    void mouseDoubleClick(const juce::MouseEvent&) override {}
    void mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails&) override {}
};
} // namespace ui
