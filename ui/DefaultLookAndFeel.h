#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace x47390_ui
{
// The application's one dark grey look: a colour table for the standard widgets, fonts from the
// font library by widget kind, a 20 pixel menu bar with fixed title widths and fixed-width tabs.
// Each user keeps an instance of its own.
class DefaultLookAndFeel : public juce::LookAndFeel_V3
{
public:
    DefaultLookAndFeel();
    ~DefaultLookAndFeel() override;

    // Faces missing here are drawn with the installed face that stands for them.
    juce::Typeface::Ptr getTypefaceForFont(const juce::Font&) override;

    juce::Font getTextButtonFont(juce::TextButton&, int buttonHeight) override;
    // Draws the focus ring on the focused button and on a dialog's default button.
    void drawButtonBackground(juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                              bool isHighlighted, bool isDown) override;
    static constexpr juce::uint32 focusRingColour = 0xff5aa9ff;
    juce::Font getAlertWindowTitleFont() override;
    juce::Font getAlertWindowMessageFont() override;
    juce::Font getAlertWindowFont() override;

    void drawTreeviewPlusMinusBox(juce::Graphics&, const juce::Rectangle<float>& area, juce::Colour backgroundColour,
                                  bool isOpen, bool isMouseOver) override;
    bool areLinesDrawnForTreeView(juce::TreeView&) override;

    void drawPopupMenuBackground(juce::Graphics&, int width, int height) override;
    juce::Font getPopupMenuFont() override;

    void drawMenuBarBackground(juce::Graphics&, int width, int height, bool isMouseOverBar,
                               juce::MenuBarComponent&) override;
    int getMenuBarItemWidth(juce::MenuBarComponent&, int itemIndex, const juce::String& itemText) override;
    juce::Font getMenuBarFont(juce::MenuBarComponent&, int itemIndex, const juce::String& itemText) override;
    int getDefaultMenuBarHeight() override;
    void drawMenuBarItem(juce::Graphics&, int width, int height, int itemIndex, const juce::String& itemText,
                         bool isMouseOverItem, bool isMenuOpen, bool isMouseOverBar, juce::MenuBarComponent&) override;

    juce::Font getLabelFont(juce::Label&) override;
    int getTabButtonBestWidth(juce::TabBarButton&, int tabDepth) override;
    juce::Font getTabButtonFont(juce::TabBarButton&, float height) override;
    void drawTabButton(juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;

    // The text of a tab as the toolkit lays it out, but always on one line within the given length.
    static void createSingleLineTabTextLayout(const juce::TabBarButton&, float length, float depth, juce::Colour,
                                              juce::TextLayout&);
};
} // namespace x47390_ui
