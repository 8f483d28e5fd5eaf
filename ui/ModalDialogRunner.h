#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace ui
{
// Runs a dialog window modally around a content component the caller owns (and deletes afterwards),
// and returns the value the dialog's modal state ended with. The modal-dialog state is the caller's.
int runModalDialog(juce::Component& content, const juce::String& title,
                   juce::Colour background = juce::Colour(0xffffffff), bool escapeKeyCloses = true,
                   bool resizable = false);

// Marks a dialog's window for the window manager as a dialog of the window it opened over (the active one, else
// the first one showing); closable false asks for no close button either. Before the window shows.
void markAsDialogWindow(juce::Component& window, bool closable = true);

// Ends the nearest dialog window around a dialog body with the result; nothing when there is none.
void endEnclosingDialog(juce::Component& content, int result);

// For a dialog that must not open over another one: begins the modal-dialog state and ends it again when
// it goes, also when an exception passes. Nothing may be shown when another dialog was already open.
class ScopedModalDialog
{
public:
    ScopedModalDialog();
    ~ScopedModalDialog();
    bool wasAlreadyOpen() const noexcept { return alreadyOpen; }

private:
    bool alreadyOpen = false;
    JUCE_DECLARE_NON_COPYABLE(ScopedModalDialog)
};

// Tests answer dialogs through a script instead of a window: it gets the built content and the title
// and returns the dialog's result. An empty function shows real windows again.
using ModalDialogScript = std::function<int(juce::Component& content, const juce::String& title)>;
void setModalDialogScript(ModalDialogScript script);
} // namespace ui
