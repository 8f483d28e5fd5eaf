#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace x47390_ui
{
// The look of the program table and the user-unit tables: dark scrollbars and a plain dark table
// header. Everything else is the library's default.
class ProgramListLookAndFeel : public juce::LookAndFeel_V3
{
public:
    ProgramListLookAndFeel() = default;
    ~ProgramListLookAndFeel() override = default;

    void drawScrollbarButton(juce::Graphics&, juce::ScrollBar&, int width, int height, int buttonDirection,
                             bool isScrollbarVertical, bool isMouseOverButton, bool isButtonDown) override;
    void drawScrollbar(juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height,
                       bool isScrollbarVertical, int thumbStartPosition, int thumbSize, bool isMouseOver,
                       bool isMouseDown) override;
    void drawTableHeaderBackground(juce::Graphics&, juce::TableHeaderComponent&) override;
};
} // namespace x47390_ui
