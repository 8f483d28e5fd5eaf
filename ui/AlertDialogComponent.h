#pragma once

#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The program's own message box: a dark 420 pixel wide panel with a wrapped message and one, two or
// three buttons. Its dialog window ends with 1 for OK or Yes, 2 for No and 0 for Cancel, Escape or close.
// Return presses OK or Yes; where that answer deletes or overwrites something, Cancel is the default instead.
class AlertDialogComponent : public juce::Component, public juce::Button::Listener
{
public:
    enum Type
    {
        okOnly = 0,
        okCancel = 1,
        yesNoCancel = 2
    };

    AlertDialogComponent(int type, const juce::String& message, bool cancelIsDefault = false);
    ~AlertDialogComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;
    void buttonClicked(juce::Button*) override;

    juce::TextEditor& getMessageDisplay() noexcept { return messageDisplay; }
    juce::TextButton& getButton(int index) noexcept { return *buttons[(size_t) index]; }

private:
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    int type;
    juce::String message;
    juce::TextEditor messageDisplay;
    juce::TextButton firstButton, secondButton, thirdButton;
    std::array<juce::TextButton*, 3> buttons{{&firstButton, &secondButton, &thirdButton}};
    int messageHeight = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AlertDialogComponent)
};

// Shows the message with an OK button under the title and returns when it is closed. While another
// modal dialog is open nothing is shown.
void showAlertDialog(const juce::String& title, const juce::String& message);

// Runs a panel of the given type as a modal dialog and returns its result; 0 without showing anything
// when another modal dialog is open.
int runAlertDialog(int type, const juce::String& title, const juce::String& message, bool cancelIsDefault = false);
