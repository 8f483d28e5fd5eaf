#include "midi/MidiCommunicationProcess.h"
#include "TransferTestSupport.h"
#include "app/CJQZResource.h"
#include "midi/LocalisedText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
class FixedProcess : public midi::MidiCommunicationProcess
{
public:
    int execute() override { return 0; }
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override { return "title"; }
    bool isCancellable() override { return true; }
};

struct CountingObserver : midi::MidiCommunicationProcessObserver
{
    explicit CountingObserver(const midi::MidiCommunicationProcess* watched = nullptr) : process(watched) {}
    void processStateChanged() override
    {
        ++calls;
        if (process != nullptr)
            seen = process->getProgress();
    }
    const midi::MidiCommunicationProcess* process;
    int calls = 0;
    float seen = -1.0f;
};

// Pumps the message loop for a while: what should not happen has had the time to (what should happen is
// waited for).
void pumpMessages(int ms)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(ms);
}

class IdleThread : public juce::Thread
{
public:
    IdleThread() : juce::Thread("idle") {}
    void run() override
    {
        while (!threadShouldExit())
            wait(5);
    }
};
} // namespace

TEST(CommunicationResultTexts, KeysOfEveryCode)
{
    const char* keys[10][2] = {
        {"MidiCommunicationNoError", "MidiCommunicationNoErrorDetail"},
        {"MidiCommunicationCanceled", "MidiCommunicationCanceled"},
        {"MidiCommunicationErrorFailedToOpenDialog", "MidiCommunicationErrorFailedToOpenDialogDetail"},
        {"MidiCommunicationErrorTimeout", "MidiCommunicationErrorTimeoutDetail"},
        {"MidiCommunicationErrorTargetDevice", "MidiCommunicationErrorTargetDeviceDetail"},
        {"MidiCommunicationErrorReceiveNakOnReceive", "MidiCommunicationErrorReceiveNakOnReceiveDetail"},
        {"MidiCommunicationErrorReceiveNakOnWrite", "MidiCommunicationErrorReceiveNakOnWriteDetail"},
        {"MidiCommunicationErrorReceiveWriteError", "MidiCommunicationErrorReceiveWriteErrorDetail"},
        {"MidiCommunicationErrorMessageBroken", "MidiCommunicationErrorMessageBrokenDetail"},
        {"MidiCommunicationErrorReceiveUserCommErr", "MidiCommunicationErrorReceiveUserCommErrDetail"},
    };
    CJQZResource::getInstance();
    for (int code = 0; code < 10; ++code)
    {
        EXPECT_FALSE(getCommunicationErrorMessage(code).isEmpty()) << code;
        EXPECT_EQ(midi::getCommunicationErrorMessageKey(code), keys[code][0]);
        EXPECT_EQ(midi::getCommunicationErrorDetailKey(code), keys[code][1]);
        EXPECT_EQ(getCommunicationErrorMessage(code), midi::localisedText(keys[code][0]));
        EXPECT_EQ(getCommunicationErrorDetail(code), midi::localisedText(keys[code][1]));
    }
    EXPECT_EQ(getCommunicationErrorDetail(1), getCommunicationErrorMessage(1));
}

TEST(CommunicationResultTexts, CodesOutOfRangeHaveNoText)
{
    for (int code : {-1, 10, 1000})
    {
        EXPECT_EQ(getCommunicationErrorMessage(code), "");
        EXPECT_EQ(getCommunicationErrorDetail(code), "");
    }
}

TEST(MidiCommunicationProcess, ChangesReachObserversOnceOnTheMessageThread)
{
    FixedProcess process;
    CountingObserver observer;
    process.addListener(&observer);
    EXPECT_FLOAT_EQ(process.getProgress(), 0.0f);
    EXPECT_EQ(process.getStatusMessage(), "");

    process.setProgress(0.25f);
    process.setStatusMessage("status");
    process.setDetailMessage("detail");
    EXPECT_EQ(observer.calls, 0);
    testsupport::drainMessageLoop();
    EXPECT_EQ(observer.calls, 1);
    EXPECT_FLOAT_EQ(process.getProgress(), 0.25f);
    EXPECT_EQ(process.getStatusMessage(), "status");
    EXPECT_EQ(process.getDetailMessage(), "detail");
    process.removeListener(&observer);
}

// A Receive Library moves the progress 514 times; the dialog shows whole percents, so only a new percent
// wakes the message thread.
TEST(MidiCommunicationProcess, ProgressWithinOnePercentCallsNobody)
{
    FixedProcess process;
    CountingObserver observer(&process);
    process.addListener(&observer);
    process.setProgress(0.004f);
    pumpMessages(200);
    EXPECT_EQ(observer.calls, 0);
    EXPECT_FLOAT_EQ(process.getProgress(), 0.004f);

    for (const float fraction : {0.006f, 0.010f, 0.014f})
        process.setProgress(fraction);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return observer.calls > 0; }));
    pumpMessages(200);
    EXPECT_EQ(observer.calls, 1);
    EXPECT_FLOAT_EQ(observer.seen, 0.014f);
    process.removeListener(&observer);
}

// New percents in quick succession wake the message thread a few times a second, and the last one always
// reaches the observers, also when nothing follows it (an instrument that stops answering).
TEST(MidiCommunicationProcess, QuickPercentsAreCoalescedAndTheLastIsShown)
{
    FixedProcess process;
    CountingObserver observer(&process);
    process.addListener(&observer);
    const auto start = juce::Time::getMillisecondCounter();
    for (int step = 1; step <= 100; ++step)
        process.setProgress((float) step / 100.0f);
    const auto elapsed = juce::Time::getMillisecondCounter() - start;
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return observer.seen == 1.0f; }));
    EXPECT_GE(observer.calls, 1);
    EXPECT_LE(observer.calls, 2 + (int) (elapsed / midi::MidiCommunicationProcess::progressPostIntervalMs));

    // Quiet afterwards: the catch-up runs once per call and stops when nothing is left to show.
    const int calls = observer.calls;
    pumpMessages(300);
    EXPECT_EQ(observer.calls, calls);

    process.setProgress(0.5f);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return observer.calls > calls; }));
    pumpMessages(300);
    EXPECT_EQ(observer.calls, calls + 1);
    EXPECT_EQ(observer.seen, 0.5f);
    process.removeListener(&observer);
}

TEST(MidiCommunicationProcess, NoObserverCallAfterTheProcessIsGone)
{
    CountingObserver observer;
    {
        FixedProcess process;
        process.addListener(&observer);
        process.setProgress(0.5f);
    }
    testsupport::drainMessageLoop();
    EXPECT_EQ(observer.calls, 0);
}

TEST(MidiCommunicationProcess, CancelIsTheRunningThreadsExitRequest)
{
    FixedProcess process;
    EXPECT_FALSE(process.isCancelRequested());
    IdleThread thread;
    process.communicationThread = &thread;
    thread.startThread();
    EXPECT_FALSE(process.isCancelRequested());
    thread.signalThreadShouldExit();
    EXPECT_TRUE(process.isCancelRequested());
    thread.stopThread(2000);
}
