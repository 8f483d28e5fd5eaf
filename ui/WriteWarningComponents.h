#pragma once

#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The two confirmations shown before data on the instrument is overwritten. Each carries a toggle that
// turns the confirmation off: OK stores "WarnBeforeWriting" as the inverse of the toggle and ends the
// dialog with 1; Cancel ends it with 0 and stores nothing.
class WriteConfirmationPanel : public juce::Component, public juce::Button::Listener
{
public:
    ~WriteConfirmationPanel() override;

    void paint(juce::Graphics&) override;
    void resized() override {}
    void buttonClicked(juce::Button*) override;

    juce::TextButton& getOkButton() noexcept { return okButton; }
    juce::TextButton& getCancelButton() noexcept { return cancelButton; }
    juce::ToggleButton& getDontWarnToggle() noexcept { return dontWarnToggle; }

protected:
    WriteConfirmationPanel();

    // Builds a message label with its first text; the panel's finish() localises it.
    void addMessageLabel(juce::Label& label, juce::Rectangle<int> bounds, juce::Justification justification);
    // Lays out the buttons, replaces the first texts by the localised ones and sizes the panel.
    void finish(const char* okKey, juce::Rectangle<int> okBounds, juce::Colour cancelColour,
                juce::Rectangle<int> cancelBounds, const char* toggleKey, juce::Rectangle<int> toggleBounds,
                int width, int height);

    x47390_ui::DefaultLookAndFeel lookAndFeel;

private:
    void endDialog(int result);

    juce::TextButton okButton{"OkButton"};
    juce::TextButton cancelButton{"CancelButton"};
    juce::ToggleButton dontWarnToggle{"DontWarning"};
    juce::Array<juce::Label*> labels;

    JUCE_DECLARE_NON_COPYABLE(WriteConfirmationPanel)
};

// Before the library, programs or a tuning are written: two lines of text.
class WriteWarningComponent : public WriteConfirmationPanel
{
public:
    WriteWarningComponent();
    ~WriteWarningComponent() override = default;

    juce::Label& getFirstLine() noexcept { return firstLine; }
    juce::Label& getSecondLine() noexcept { return secondLine; }

private:
    juce::Label firstLine{"new label", "This operation will rewrite data on the sonavire."};
    juce::Label secondLine{"new label", "Are you sure?"};
};

// Before the user-unit arrangement is written: one message of four localised pieces.
class WriteUserDataWarningComponent : public WriteConfirmationPanel
{
public:
    WriteUserDataWarningComponent();
    ~WriteUserDataWarningComponent() override = default;

    juce::Label& getMessage() noexcept { return message; }

private:
    juce::Label message{"new label", "This operation will rewrite data on the sonavire."};
};
