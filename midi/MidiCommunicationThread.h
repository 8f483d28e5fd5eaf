#pragma once

#include "data/ListenerHolder.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>

namespace midi
{
class MidiCommunicationProcess;

class MidiCommunicationThreadListener
{
public:
    virtual ~MidiCommunicationThreadListener() = default;
    // The process has ended (message thread), after its last progress or text change was posted.
    virtual void communicationFinished() = 0;
};

// Runs one transfer process behind the communication dialog. A cancel reaches the process through this thread's
// exit request.
class MidiCommunicationThread : public juce::Thread,
                                public ListenerHolder<MidiCommunicationThreadListener>,
                                public juce::AsyncUpdater
{
public:
    explicit MidiCommunicationThread(MidiCommunicationProcess* process);
    ~MidiCommunicationThread() override;

    // The thread's own listeners (not juce::Thread's exit listeners).
    using ListenerHolder<MidiCommunicationThreadListener>::addListener;
    using ListenerHolder<MidiCommunicationThreadListener>::removeListener;

    void run() override;
    void handleAsyncUpdate() override;

    MidiCommunicationProcess* getProcess() const noexcept { return process; }
    // The process's result code once it has ended; 0 until then.
    int getResult() const noexcept { return result.load(); }

private:
    MidiCommunicationProcess* process;
    std::atomic<int> result{0};

    JUCE_DECLARE_NON_COPYABLE(MidiCommunicationThread)
};
} // namespace midi
