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
    void processStateChanged() override { ++calls; }
    int calls = 0;
};

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
    CountingObserver observer;
    process.addListener(&observer);
    process.setProgress(0.004f);
    testsupport::drainMessageLoop();
    EXPECT_EQ(observer.calls, 0);
    EXPECT_FLOAT_EQ(process.getProgress(), 0.004f);

    for (const float fraction : {0.006f, 0.010f, 0.014f})
    {
        process.setProgress(fraction);
        testsupport::drainMessageLoop();
    }
    EXPECT_EQ(observer.calls, 1);
    process.setProgress(1.0f);
    testsupport::drainMessageLoop();
    EXPECT_EQ(observer.calls, 2);
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
