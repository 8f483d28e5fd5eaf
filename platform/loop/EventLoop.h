#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace platform
{
// The message thread's loops. They sleep in poll() on the descriptors the toolkit watches (the X connection
// and its posted-message socket; timers arrive as posted messages) until one of them is ready, where the
// toolkit's modal loop wakes every millisecond to look. Before each sleep they hand out the X events that
// Xlib has already read off the connection during some request: poll() cannot see those, and the
// toolkit's own loops leave them waiting until more input arrives.

// Hands out what is ready; when nothing is, waits for it up to timeoutMs (-1: as long as it takes).
// True when something was handed out.
bool dispatchNextEvents(int timeoutMs);

// In place of Component::runModalLoop: enters the component's modal state when it is not modal yet, runs
// until that state ends and returns its result (0 when the program is asked to quit first).
int runModalLoop(juce::Component& component);

// The main loop, until the program is asked to quit.
void runMainLoop();

// In place of JUCEApplicationBase::main: creates the application through JUCEApplicationBase::createInstance,
// starts it, runs the main loop above and shuts the application down; returns its exit code.
int runApplication(int argc, const char* argv[]);
} // namespace platform
