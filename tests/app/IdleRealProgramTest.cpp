// The real program, connected to the simulated instrument, sleeps while the user does nothing: its main
// thread waits in poll() for the next event with no deadline, in the main loop and in a dialog's modal loop
// alike (the toolkit's own modal loop looks every millisecond), and once the pointer rests no timer runs. What waiting costs in CPU and wake-ups
// depends on the machine and is measured by bench_program_cpu.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"

#include <gtest/gtest.h>

TEST(IdleRealProgram, WithTheInstrumentConnectedItSleepsUntilTheNextEvent)
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
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    // The search at start finds the instrument; the pointer then rests on the window.
    ASSERT_TRUE(testsupport::RealProgram::waitUntil(
        [&] { return instrument.getCount(simulator::MessageKind::searchRequest) > 0; }));
    program.moveMouse(window, {400, 300});

    const juce::File mainThread("/proc/" + juce::String(program.getPid()));
    const auto sleeping = [&] { return testsupport::sleepsInPollWithoutDeadline(mainThread); };
    EXPECT_TRUE(testsupport::RealProgram::waitUntil(sleeping)) << "the main window alone";
    // Once the pointer rests, no timer runs: the toolkit's timer thread waits for one to start.
    const auto timerThread = testsupport::findThread(program.getPid(), "JUCE Timer");
    ASSERT_TRUE(timerThread.exists());
    const auto noTimerRuns = [&] { return testsupport::sleepsInFutexWithoutDeadline(timerThread) && sleeping(); };
    EXPECT_TRUE(testsupport::RealProgram::waitUntil(noTimerRuns)) << "the main window alone: timers";

    program.pressKeyIn(window, "ctrl+comma");
    const auto preferences = program.waitForTitle("Preferences");
    ASSERT_NE(preferences, 0u) << program.getOutput();
    program.moveMouse(preferences, {10, 10});
    // A text field's caret blinks for a while, then stops.
    EXPECT_TRUE(testsupport::RealProgram::waitUntil(noTimerRuns)) << "the preferences dialog open";
    EXPECT_TRUE(program.isRunning());
}
