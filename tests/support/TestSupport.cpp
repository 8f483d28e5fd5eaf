#include "tests/support/TestSupport.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include <sys/syscall.h>

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

namespace
{
// "<number> <arguments...> <stack> <pc>", or "running".
juce::StringArray systemCallFields(const juce::File& thread)
{
    auto fields = juce::StringArray::fromTokens(thread.getChildFile("syscall").loadFileAsString(), " ", "");
    if (fields.size() < 4 || !fields[0].containsOnly("0123456789"))
        fields.clear();
    return fields;
}
} // namespace

long currentSystemCall(const juce::File& thread)
{
    const auto fields = systemCallFields(thread);
    return fields.isEmpty() ? -1 : fields[0].getLargeIntValue();
}

bool sleepsInPollWithoutDeadline(const juce::File& thread)
{
    const auto fields = systemCallFields(thread);
    if (fields.isEmpty())
        return false;
    const auto call = fields[0].getIntValue();
    const auto third = (std::uint64_t) fields[3].fromFirstOccurrenceOf("0x", false, true).getHexValue64();
#ifdef SYS_poll
    if (call == SYS_poll) // poll(fds, count, timeout): a timeout of -1 waits for ever
        return (std::int32_t) third == -1;
#endif
    if (call == SYS_ppoll) // ppoll(fds, count, timeout, mask): no timeout waits for ever
        return third == 0;
    return false;
}

bool sleepsInFutexWithoutDeadline(const juce::File& thread)
{
    // futex(address, operation, value, timeout, ...): no timeout waits until another thread wakes it.
    const auto fields = systemCallFields(thread);
    return fields.size() > 4 && fields[0].getIntValue() == SYS_futex
           && fields[4].fromFirstOccurrenceOf("0x", false, true).getHexValue64() == 0;
}

juce::File findThread(int pid, const juce::String& name)
{
    for (const auto& task : juce::File("/proc/" + juce::String(pid) + "/task")
                                .findChildFiles(juce::File::findDirectories, false))
        if (task.getChildFile("comm").loadFileAsString().trim() == name)
            return task;
    return {};
}

void drainMessageLoop()
{
    // Messages are delivered in the order they were posted: once a marker posted now has come, so has
    // everything before it, however busy the machine.
    auto delivered = std::make_shared<std::atomic<bool>>(false);
    juce::MessageManager::callAsync([delivered] { *delivered = true; });
    juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    runMessageLoopUntil([&delivered] { return delivered->load(); });
}

juce::File makeUniqueFolder(const juce::String& prefix)
{
    // mkdtemp makes the folder atomically, so test binaries running side by side never share one: a
    // shared folder would mean a shared single-instance socket, and one program handing over to another.
    const auto temporary = juce::File::getSpecialLocation(juce::File::tempDirectory);
    auto pattern = temporary.getChildFile(prefix + "-XXXXXX").getFullPathName().toStdString();
    if (::mkdtemp(pattern.data()) != nullptr)
        return juce::File(juce::String::fromUTF8(pattern.c_str()));
    const auto folder = temporary.getNonexistentChildFile(prefix, "", false);
    folder.createDirectory();
    return folder;
}

TemporaryFolder::TemporaryFolder() : folder(makeUniqueFolder("sonavire-test")) {}

TemporaryFolder::~TemporaryFolder()
{
    folder.deleteRecursively();
}
} // namespace testsupport
