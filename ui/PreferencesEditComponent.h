#pragma once

#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// The body of the preferences dialog: MIDI ports (automatic search or two named ports), the automatic
// receive at start, the warning before writing and the row height of the program lists. OK stores the
// settings and ends the dialog with 1; Cancel puts back the row height read at opening and ends it with 0;
// closing the window or Escape ends it with 0 and stores nothing. Writing the file and applying the
// settings are the caller's.
class PreferencesEditComponent : public juce::Component,
                                 public juce::ComboBox::Listener,
                                 public juce::Button::Listener,
                                 public juce::Slider::Listener
{
public:
    static constexpr std::array<int, 5> programListHeightSteps{{20, 25, 30, 35, 40}};

    PreferencesEditComponent();
    ~PreferencesEditComponent() override;

    void paint(juce::Graphics&) override;
    void comboBoxChanged(juce::ComboBox*) override {}
    void buttonClicked(juce::Button*) override;
    void sliderValueChanged(juce::Slider*) override;

    // The step (0 to 4) a stored row height opens at: the first step at least as high, else the last.
    static int stepForHeight(int height);

    juce::ToggleButton& getManualPortToggle() noexcept { return manualPortToggle; }
    juce::ToggleButton& getAutoReceiveToggle() noexcept { return autoReceiveToggle; }
    juce::ToggleButton& getWarningToggle() noexcept { return warningToggle; }
    juce::ComboBox& getMidiInBox() noexcept { return midiInBox; }
    juce::ComboBox& getMidiOutBox() noexcept { return midiOutBox; }
    juce::Slider& getFontSizeSlider() noexcept { return fontSizeSlider; }
    juce::Label& getFontSizeValueLabel() noexcept { return fontSizeValueLabel; }
    juce::TextButton& getOkButton() noexcept { return okButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }

private:
    void updatePortBoxes();

    x47390_ui::DefaultLookAndFeel lookAndFeel;
    juce::StringArray inputPortNames;
    juce::StringArray outputPortNames;
    int listHeightAtOpening = 0;

    juce::GroupComponent otherGroup;
    juce::GroupComponent midiPortGroup;
    juce::ComboBox midiInBox;
    juce::ComboBox midiOutBox;
    juce::ToggleButton manualPortToggle;
    juce::ToggleButton autoReceiveToggle;
    juce::ToggleButton warningToggle;
    juce::Label midiInLabel;
    juce::Label midiOutLabel;
    juce::TextButton cancelButton;
    juce::TextButton okButton;
    juce::Label fontSizeLabel;
    juce::Slider fontSizeSlider;
    juce::Label fontSizeValueLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PreferencesEditComponent)
};
