#pragma once

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <functional>

namespace testsupport
{
// Folder of our own fixtures (tests/fixtures).
juce::File fixturesFolder();

// Folder of the shared real-world test files (../shared/testdata).
juce::File sharedTestDataFolder();

// The deadline of a wait for something that is bound to come: it only bounds a hang. A busy machine may take
// many seconds for what an idle one does at once, so no test waits less for what it expects.
constexpr int hangMs = 60000;

// Runs the message loop until the condition holds or the timeout passes; returns the condition.
bool runMessageLoopUntil(const std::function<bool()>& condition, int timeoutMs = hangMs);

// The system call the thread waits in (SYS_...), -1 while it runs. The thread is its folder below /proc
// ("/proc/<pid>" for a process's main thread, "/proc/self/task/<tid>" for one of this process).
long currentSystemCall(const juce::File& thread);

// True when the thread sleeps in poll() with no deadline: it waits for something to happen, not for time to
// pass.
bool sleepsInPollWithoutDeadline(const juce::File& thread);
// The same for a wait on a futex (a lock or condition variable), until another thread wakes it.
bool sleepsInFutexWithoutDeadline(const juce::File& thread);
// The folder below /proc of the process's thread with that name, or a null file.
juce::File findThread(int pid, const juce::String& name);

// Calls make until it gives something (a non-null pointer) or the time passes: a busy X server may turn a
// new connection away for a moment.
template <class Make>
auto madeWithin(Make&& make, int timeoutMs = hangMs) -> decltype(make())
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    for (;;)
    {
        if (auto made = make(); made != nullptr || juce::Time::getMillisecondCounter() >= end)
            return made;
        juce::Thread::sleep(50);
    }
}

// Delivers every message already posted to the message loop.
void drainMessageLoop();

// A new folder in the temporary folder whose name no other process can have taken; the caller deletes it.
juce::File makeUniqueFolder(const juce::String& prefix);

// A fresh temporary folder, deleted again when the object goes.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    const juce::File& get() const { return folder; }
    juce::File file(const juce::String& name) const { return folder.getChildFile(name); }

private:
    juce::File folder;
};
} // namespace testsupport
