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

// Runs the message loop until the condition holds or the timeout passes; returns the condition.
bool runMessageLoopUntil(const std::function<bool()>& condition, int timeoutMs = 2000);

// Delivers every message already posted to the message loop.
void drainMessageLoop();

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
