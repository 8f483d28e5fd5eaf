#pragma once

#include "midi/MidiDeviceManager.h"

#include <juce_events/juce_events.h>

#include <functional>

namespace x47390_application
{
// Runs the automatic receive once, after the first instrument search has ended (or right after
// start-up when the search is off): Receive Library, then Receive User Data, unless a library or
// program file came from a command line or "AutoReceive" is off. Later search ends do nothing.
class ApplicationStartupProcess : public midi::MidiDeviceManagerListener, private juce::AsyncUpdater
{
public:
    // Invokes one application command synchronously; the default goes through the menu manager's
    // command manager.
    using CommandInvoker = std::function<void(int commandId)>;

    // Registers with the MIDI device manager, creating it (so it is the first application-wide object).
    explicit ApplicationStartupProcess(CommandInvoker invoker = {});
    ~ApplicationStartupProcess() override;

    void deviceScanFinished() override;

    // The run when no search is made: as soon as the event loop runs.
    using juce::AsyncUpdater::triggerAsyncUpdate;

    bool openedFromCommandLine = false;
    bool startupDone = false;

private:
    void handleAsyncUpdate() override;

    CommandInvoker invokeCommand;

    JUCE_DECLARE_NON_COPYABLE(ApplicationStartupProcess)
};
} // namespace x47390_application
