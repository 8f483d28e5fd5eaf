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

// Tests answer dialogs through a script instead of a window: it gets the built content and the title
// and returns the dialog's result. An empty function shows real windows again.
using ModalDialogScript = std::function<int(juce::Component& content, const juce::String& title)>;
void setModalDialogScript(ModalDialogScript script);
} // namespace ui
