#include "midi/AsyncCurrentDataTransmitter.h"
#include "midi/MidiCommunicationProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

namespace
{
struct Record
{
    int value = 0;
    juce::String note; // does not travel
};

void copyValue(Record& destination, const Record& source)
{
    destination.value = source.value;
}

// What the fake sends saw, and a gate that holds each send until the test opens it.
struct Wire
{
    std::mutex lock;
    std::vector<int> sent;
    std::vector<juce::String> notes;
    std::vector<bool> sawExitRequest;
    std::vector<bool> updatePendingAtEnd; // when the process went, on the sender's thread
    juce::WaitableEvent gate{true};
    juce::WaitableEvent started;
    int result = 0;

    std::vector<int> values()
    {
        std::lock_guard<std::mutex> guard(lock);
        return sent;
    }
};

Wire* wire = nullptr;

struct FakeSendProcess : midi::MidiCommunicationProcess
{
    explicit FakeSendProcess(const Record* record) : source(record) {}
    ~FakeSendProcess() override
    {
        std::lock_guard<std::mutex> guard(wire->lock);
        wire->updatePendingAtEnd.push_back(isUpdatePending());
    }
    int execute() override
    {
        // As the current-data processes do: nobody watches, yet they report.
        setProgress(0.0f);
        setStatusMessage("sending");
        setDetailMessage({});
        wire->started.signal();
        wire->gate.wait(5000);
        std::lock_guard<std::mutex> guard(wire->lock);
        wire->sent.push_back(source->value);
        wire->notes.push_back(source->note);
        wire->sawExitRequest.push_back(isCancelRequested());
        return wire->result;
    }
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override { return {}; }
    bool isCancellable() override { return false; }
    const Record* source;
};

using Sender = x47390_midi::AsyncCurrentDataTransmitter<Record, FakeSendProcess>;

struct SenderTest : ::testing::Test
{
    SenderTest()
    {
        wire = &theWire;
        theWire.gate.signal();
    }
    ~SenderTest() override
    {
        theWire.gate.signal();
        sender.reset();
        wire = nullptr;
    }

    void handOver(int value)
    {
        Record record;
        record.value = value;
        record.note = "stays";
        sender->handOver(record);
    }

    bool waitForSends(size_t count)
    {
        return testsupport::runMessageLoopUntil([&] { return theWire.values().size() >= count; });
    }

    Wire theWire;
    std::unique_ptr<Sender> sender = std::make_unique<Sender>("TestTransmitter", copyValue);
};
} // namespace

TEST_F(SenderTest, SendsACopyOnItsOwnThreadAndEnds)
{
    handOver(1);
    ASSERT_TRUE(waitForSends(1));
    EXPECT_EQ(theWire.values(), std::vector<int>{1});
    EXPECT_EQ(theWire.notes[0], ""); // only the parts that travel are copied
    EXPECT_EQ(sender->getPendingCopy().value, 1);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return !sender->isThreadRunning(); }));
}

TEST_F(SenderTest, TheLatestCopyWins)
{
    theWire.gate.reset();
    handOver(1);
    ASSERT_TRUE(theWire.started.wait(5000)); // the first send waits for the instrument
    handOver(2);
    handOver(3);
    theWire.gate.signal();
    ASSERT_TRUE(waitForSends(2));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return !sender->isThreadRunning(); }));
    EXPECT_EQ(theWire.values(), std::vector<int>({1, 3}));
}

TEST_F(SenderTest, AHandOverWhileTheThreadEndsIsNeverLost)
{
    // Each hand-over comes right after the previous send, while the thread is deciding to end: every one is sent.
    for (int i = 1; i <= 300; ++i)
    {
        handOver(i);
        ASSERT_TRUE(testsupport::runMessageLoopUntil(
            [&]
            {
                const auto sent = theWire.values();
                return !sent.empty() && sent.back() == i;
            },
            2000))
            << "hand-over " << i << " was not sent";
    }
    EXPECT_EQ(theWire.values().size(), 300u);
}

TEST_F(SenderTest, StopDropsThePendingCopyAndFinishesTheSendUnderWay)
{
    theWire.gate.reset();
    handOver(1);
    ASSERT_TRUE(theWire.started.wait(5000));
    handOver(2);

    // Opened only once the stop has begun: the send under way then ends inside the stop.
    std::thread opener(
        [&]
        {
            while (!sender->threadShouldExit())
                std::this_thread::yield();
            theWire.gate.signal();
        });
    sender->stop(); // returns only once the send under way has ended
    opener.join();
    EXPECT_FALSE(sender->isThreadRunning());
    EXPECT_EQ(theWire.values(), std::vector<int>{1});
    EXPECT_TRUE(theWire.sawExitRequest[0]); // the process could see the request between exchanges

    // The next hand-over starts the thread again.
    handOver(4);
    ASSERT_TRUE(waitForSends(2));
    EXPECT_EQ(theWire.values(), std::vector<int>({1, 4}));
}

// The process goes on the sender's thread: no update of it may then be on its way to the message thread.
TEST_F(SenderTest, TheProcessPostsNoUpdateThatCouldOutliveIt)
{
    handOver(1);
    handOver(2);
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return !sender->isThreadRunning(); }));
    std::lock_guard<std::mutex> guard(theWire.lock);
    ASSERT_FALSE(theWire.updatePendingAtEnd.empty());
    for (bool pending : theWire.updatePendingAtEnd)
        EXPECT_FALSE(pending);
}

TEST_F(SenderTest, AFailedSendIsNotRepeated)
{
    theWire.result = 3;
    handOver(7);
    ASSERT_TRUE(waitForSends(1));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return !sender->isThreadRunning(); }));
    testsupport::drainMessageLoop();
    EXPECT_EQ(theWire.values(), std::vector<int>{7});
}
