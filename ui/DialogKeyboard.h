#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ui
{
// The button a dialog's Return presses while the focus is on no other button; it wears the focus ring then.
void setDefaultButton(juce::Button& button);
// A button Escape presses (Cancel) while it shows and is enabled.
void setEscapeButton(juce::Button& button, bool pressedByEscape = true);
bool isDefaultButton(const juce::Component& component);

// Buttons inside a dialog body show where the keyboard is; elsewhere the program's look stays as it is.
void markDialogBody(juce::Component& body);

// Whether the button draws the focus ring: it is in a dialog body and has the keyboard focus, or it is the
// default button there and no other button of its window has the focus.
bool showsFocusRing(const juce::Button& button);

// The keys of a modal window around a dialog body, as desktop dialogs answer them: Return presses the focused
// button, else the default one; Space presses the focused button; Tab and Shift+Tab move the focus round the
// controls; Escape presses the escape button. Keys the body's controls use themselves stay theirs, except that
// one-line text fields pass Return and Escape on. The default button takes the focus whenever the window
// itself would. Lives no longer than the body; the window may go first.
class DialogKeyboard : private juce::KeyListener, private juce::FocusChangeListener
{
public:
    DialogKeyboard(juce::Component& window, juce::Component& body);
    ~DialogKeyboard() override;

    // What a key pressed in the window does; true when it was used.
    bool handleKey(const juce::KeyPress& key);
    void focusDefaultButton();

private:
    bool keyPressed(const juce::KeyPress& key, juce::Component*) override { return handleKey(key); }
    void globalFocusChanged(juce::Component* focused) override;

    juce::Button* findUsableButton(const juce::Identifier& role) const;
    juce::Button* getFocusedButton() const;
    bool moveFocus(bool forwards);

    juce::Component::SafePointer<juce::Component> window;
    juce::Component& body;

    JUCE_DECLARE_NON_COPYABLE(DialogKeyboard)
};
} // namespace ui
