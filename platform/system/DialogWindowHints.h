#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace platform
{
// Tells the window manager that a top-level window is a dialog of its owner: kept above it, without minimise
// and maximise buttons, and, when it may not be closed from its frame, without a close button either. Call
// after the window's native title bar is set up and before it shows. Does nothing without an X display.
void setDialogWindowHints(juce::Component& dialog, const juce::Component* owner, bool closable);
} // namespace platform
