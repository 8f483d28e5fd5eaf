// The real program, connected to the simulated instrument, costs next to nothing while the user does nothing.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace
{
// CPU time of the whole process (all its threads) so far, in seconds.
double cpuSeconds(pid_t pid)
{
    const auto stat = juce::File("/proc/" + juce::String(pid) + "/stat").loadFileAsString();
    // Fields after the command name: state is field 3, utime field 14, stime field 15.
    const auto fields = juce::StringArray::fromTokens(stat.fromLastOccurrenceOf(")", false, false), " ", "");
    return (fields[11].getDoubleValue() + fields[12].getDoubleValue()) / (double) sysconf(_SC_CLK_TCK);
}

// Times the program's threads gave up the CPU to wait: how often it woke up.
long wakeUps(pid_t pid)
{
    long total = 0;
    const juce::File tasks("/proc/" + juce::String(pid) + "/task");
    for (const auto& task : tasks.findChildFiles(juce::File::findDirectories, false))
        for (const auto& line : juce::StringArray::fromLines(task.getChildFile("status").loadFileAsString()))
            if (line.startsWith("voluntary_ctxt_switches:"))
                total += line.fromFirstOccurrenceOf(":", false, false).trim().getLargeIntValue();
    return total;
}
} // namespace

TEST(IdleRealProgram, WithTheInstrumentConnectedItUsesUnderOnePercentOfACore)
{
    testsupport::TemporaryFolder folder;
    simulator::SimulatedInstrument instrument;
    const auto socket = folder.file("instrument.sock").getFullPathName();
    simulator::BridgeInstrumentServer server(instrument, socket.toStdString());
    ASSERT_TRUE(server.start());

    testsupport::RealProgram::Options options;
    options.bridgeSocket = socket;
    testsupport::RealProgram program(options);
    ASSERT_TRUE(program.isStarted());
    const auto window = program.waitForWindow([](const juce::String& title) { return title.startsWith("sonavire"); });
    ASSERT_NE(window, 0u) << program.getOutput();
    // The search at start finds the instrument; then the window has drawn itself and the pointer rests on it.
    ASSERT_TRUE(testsupport::RealProgram::waitUntil(
        [&] { return instrument.getCount(simulator::MessageKind::searchRequest) > 0; }));
    program.moveMouse(window, {400, 300});
    juce::Thread::sleep(4000);

    const auto pid = program.getPid();
    const double cpuBefore = cpuSeconds(pid);
    const long wakesBefore = wakeUps(pid);
    const auto start = juce::Time::getMillisecondCounterHiRes();
    juce::Thread::sleep(10000);
    const double seconds = (juce::Time::getMillisecondCounterHiRes() - start) / 1000.0;
    const double share = (cpuSeconds(pid) - cpuBefore) / seconds;
    const double wakesPerSecond = (double) (wakeUps(pid) - wakesBefore) / seconds;

    // About 0.5 % on an idle machine; the bound leaves room for a machine busy with other work, where each
    // wake-up costs more. The wake-ups do not depend on the load: about 100 a second come from the toolkit's
    // pointer and tooltip watches (each timer tick wakes two threads twice); a window redrawn at a display's
    // frame rate whether anything changed or not would add 300 and more.
    EXPECT_LT(share, 0.02) << "CPU share " << share * 100.0 << " %, " << wakesPerSecond << " wake-ups a second";
    EXPECT_LT(wakesPerSecond, 250.0) << "CPU share " << share * 100.0 << " %";
    RecordProperty("cpuPercent", juce::String(share * 100.0, 2).toStdString());
    RecordProperty("wakeUpsPerSecond", juce::String(wakesPerSecond, 1).toStdString());
    std::printf("idle: CPU %.2f %% of one core, %.1f wake-ups a second\n", share * 100.0, wakesPerSecond);
}
