#pragma once

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

namespace x47390_midi
{
// Sends the latest record handed over to the instrument's edit buffer, on a thread of its own, with one run of
// Process (constructed with a pointer to the record) per send. Hand-overs return at once; copies handed over while a
// send is under way replace each other, so a burst leads to the send under way plus one more. A failed send is not
// reported and not repeated.
//
// The thread decides to end under the lock that guards the pending copy, and a hand-over that finds it ending waits
// for it and starts it again: a copy handed over is always sent unless a stop drops it.
template <class Record, class Process>
class AsyncCurrentDataTransmitter : public juce::Thread, public juce::AsyncUpdater
{
public:
    // Copies the parts of a record that travel.
    using CopyFunction = void (*)(Record& destination, const Record& source);

    AsyncCurrentDataTransmitter(const juce::String& threadName, CopyFunction copyFunction)
        : juce::Thread(threadName), copy(copyFunction)
    {
    }

    ~AsyncCurrentDataTransmitter() override { stop(); }

    // Message thread.
    void handOver(const Record& record)
    {
        bool start = false;
        {
            const juce::ScopedLock sl(lock);
            copy(pendingCopy, record);
            pending = true;
            start = !running;
            running = true;
        }
        if (!start)
            return;              // the running thread picks the copy up
        waitForThreadToExit(-1); // a thread that has decided to end is only returning
        if (!startThread())
        {
            const juce::ScopedLock sl(lock);
            running = false;
        }
    }

    // Message thread. Drops the pending copy, tells the thread to end and waits for it; a send under way is finished
    // first, since the current-data exchanges are not cancelled half-way.
    void stop()
    {
        {
            const juce::ScopedLock sl(lock);
            pending = false;
        }
        signalThreadShouldExit();
        waitForThreadToExit(-1);
        const juce::ScopedLock sl(lock);
        running = false;
    }

    // The record last handed over.
    Record getPendingCopy() const
    {
        const juce::ScopedLock sl(lock);
        return pendingCopy;
    }

    bool isPending() const
    {
        const juce::ScopedLock sl(lock);
        return pending;
    }

    void run() override
    {
        for (;;)
        {
            {
                const juce::ScopedLock sl(lock);
                if (threadShouldExit() || !pending)
                {
                    running = false;
                    return;
                }
                pending = false;
                copy(workingCopy, pendingCopy);
            }
            Process process(&workingCopy);
            // The process's cancel test sees this thread's exit request.
            process.communicationThread = this;
            // It goes on this thread: no update of it may be on its way to the message thread then.
            process.setPostsUpdates(false);
            if (!process.isSuccess(process.execute()))
                triggerAsyncUpdate();
        }
    }

    // A failed send leaves no trace.
    void handleAsyncUpdate() override {}

private:
    const CopyFunction copy;
    mutable juce::CriticalSection lock;
    bool pending = false; // a copy waits to be sent
    bool running = false; // the thread is started and has not decided to end
    Record pendingCopy;
    Record workingCopy; // the sender's thread only

    JUCE_DECLARE_NON_COPYABLE(AsyncCurrentDataTransmitter)
};
} // namespace x47390_midi
