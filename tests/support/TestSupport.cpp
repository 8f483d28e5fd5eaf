#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <string>

namespace testsupport
{
static juce::File folderFromEnvironment(const char* name, const juce::String& fallback)
{
    if (const char* value = std::getenv(name); value != nullptr && *value != 0)
        return juce::File(juce::String::fromUTF8(value));
    return juce::File::getCurrentWorkingDirectory().getChildFile(fallback);
}

juce::File fixturesFolder()
{
    return folderFromEnvironment("SONAVIRE_TEST_DATA", SONAVIRE_FIXTURES_DIR);
}

juce::File sharedTestDataFolder()
{
    return folderFromEnvironment("SONAVIRE_SHARED_TESTDATA", SONAVIRE_SHARED_TESTDATA_DIR);
}

bool runMessageLoopUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (!condition())
    {
        if (juce::Time::getMillisecondCounter() >= end)
            return condition();
        juce::MessageManager::getInstance()->runDispatchLoopUntil(5);
    }
    return true;
}

void drainMessageLoop()
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
}

TemporaryFolder::TemporaryFolder()
{
    // mkdtemp makes the folder atomically, so test binaries running side by side never share one.
    auto pattern = juce::File::getSpecialLocation(juce::File::tempDirectory)
                       .getChildFile("sonavire-test-XXXXXX")
                       .getFullPathName()
                       .toStdString();
    if (::mkdtemp(pattern.data()) != nullptr)
    {
        folder = juce::File(juce::String::fromUTF8(pattern.c_str()));
        return;
    }
    folder =
        juce::File::getSpecialLocation(juce::File::tempDirectory).getNonexistentChildFile("sonavire-test", "", false);
    folder.createDirectory();
}

TemporaryFolder::~TemporaryFolder()
{
    folder.deleteRecursively();
}
} // namespace testsupport
