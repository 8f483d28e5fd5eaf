#pragma once

#include "data/CurrentProgramData.h"
#include "data/DataChangeBroadcaster.h"
#include "ui/ImageTextButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

// The two-line display of the current program, in the instrument's display style.
class ProgramNameDisplayComponent : public juce::Component
{
public:
    ProgramNameDisplayComponent();

    // Each line is stored with leading blanks that shift short lines toward the middle, as the
    // instrument's display does.
    void setText(const juce::String& line1, const juce::String& line2);
    void paint(juce::Graphics&) override;

    const juce::String& getLine1() const noexcept { return line1; }
    const juce::String& getLine2() const noexcept { return line2; }

private:
    juce::String line1;
    juce::String line2;
};

// The strip at the top of the main window: logo, the current program display and six buttons that
// run the transfer commands (enabled exactly when their commands are).
class HeaderComponent : public juce::Component,
                        public x47390_data::CurrentProgramDataObserver,
                        public data::DataChangeObserver
{
public:
    static constexpr int numButtons = 6;

    HeaderComponent();
    ~HeaderComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    void currentProgramChanged() override;
    void dataChanged() override;

    // Shows the current program's number and name.
    void refreshProgramName();

    ProgramNameDisplayComponent& getNameDisplay() noexcept { return *nameDisplay; }
    ui::ImageTextButton& getButton(int index) noexcept { return *buttons[(size_t) index]; }

private:
    std::unique_ptr<ProgramNameDisplayComponent> nameDisplay;
    std::array<std::unique_ptr<ui::ImageTextButton>, numButtons> buttons;
    juce::Image logoImage;
    juce::Image displayFrameImage;
    juce::Image userUnitCaptionImage;
    juce::Image programCaptionImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(HeaderComponent)
};
