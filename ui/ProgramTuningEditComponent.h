#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The Program Tuning dialog body: one combo box of the 35 tunings a program can use (identifiers 1-23
// the factory tunings, 24-29 user scales 1-6, 30-35 user octaves 1-6) with OK and Cancel. OK keeps the
// choice and ends the dialog with 1; Cancel ends it with 0.
class ProgramTuningEditComponent : public juce::Component,
                                   public juce::ComboBox::Listener,
                                   public juce::Button::Listener
{
public:
    static constexpr int numTunings = 35;

    ProgramTuningEditComponent();
    ~ProgramTuningEditComponent() override;

    void paint(juce::Graphics&) override;
    void comboBoxChanged(juce::ComboBox*) override {}
    void buttonClicked(juce::Button*) override;

    // The name of an item (1 to 35).
    static juce::String getTuningName(int itemId);

    juce::ComboBox& getTuningBox() noexcept { return tuningBox; }
    juce::TextButton& getOkButton() noexcept { return okButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }

    // The chosen item's identifier - 1 (0 to 34), set by OK.
    int selectedTuning = 0;

private:
    juce::ComboBox tuningBox{"TuningBox"};
    juce::TextButton okButton{"OK"};
    juce::TextButton cancelButton{"Cancel"};

    JUCE_DECLARE_NON_COPYABLE(ProgramTuningEditComponent)
};

// A program's tuning byte (offset 51: 0-22 factory tunings, 128-133 user scales, 134-139 user
// octaves) as a dialog item; values that name no tuning give the first item.
int programTuningItemForByte(int tuningByte);
// The tuning byte of a dialog item (1 to 35).
int programTuningByteForItem(int itemId);
