#pragma once

#include "data/PresetData.h"
#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The body of the dialog that describes the library before it is saved as a preset library file. OK copies
// the fields into the information and ends the dialog with 0, Cancel ends it with 1; closing the window or
// Escape ends it with 0 without copying, so callers ask wasConfirmed before they save.
class PresetInformationEditComponent : public juce::Component, public juce::Slider::Listener, public juce::Button::Listener
{
public:
    PresetInformationEditComponent();
    ~PresetInformationEditComponent() override;

    void paint(juce::Graphics&) override;
    void sliderValueChanged(juce::Slider*) override {}
    void buttonClicked(juce::Button*) override;

    // Every text empty and both numbers 0 until OK is pressed; "Prefix" is never edited.
    const x47390_data::PresetInformation& getInformation() const noexcept { return information; }
    // Whether OK ended the dialog.
    bool wasConfirmed() const noexcept { return confirmed; }

    juce::TextEditor& getDataIdEditor() noexcept { return dataIdEditor; }
    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }
    juce::TextEditor& getAuthorEditor() noexcept { return authorEditor; }
    juce::TextEditor& getDateEditor() noexcept { return dateEditor; }
    juce::TextEditor& getCopyrightEditor() noexcept { return copyrightEditor; }
    juce::Slider& getVersionSlider() noexcept { return versionSlider; }
    juce::Slider& getProgramCountSlider() noexcept { return programCountSlider; }
    juce::TextButton& getOkButton() noexcept { return okButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }

private:

    x47390_ui::DefaultLookAndFeel lookAndFeel;
    x47390_data::PresetInformation information;
    bool confirmed = false;

    juce::TextEditor nameEditor;
    juce::TextEditor authorEditor;
    juce::TextEditor dateEditor;
    juce::TextEditor copyrightEditor;
    juce::Slider versionSlider;
    juce::Label nameLabel;
    juce::Label authorLabel;
    juce::Label dateLabel;
    juce::Label copyrightLabel;
    juce::Label versionLabel;
    juce::TextButton cancelButton;
    juce::TextButton okButton;
    juce::TextEditor dataIdEditor;
    juce::Label dataIdLabel;
    juce::Label programCountLabel;
    juce::Slider programCountSlider;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PresetInformationEditComponent)
};
