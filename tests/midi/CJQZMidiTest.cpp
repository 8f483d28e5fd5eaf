#include "midi/CJQZMidi.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

using platform::midi::VirtualMidiFabric;
using Bytes = std::vector<std::uint8_t>;

namespace
{
struct RecordingListener : CJQZMidiListener
{
    void handleIncomingShortMessage(CJQZMidi&, const CJQZMidiMessage& m) override { add('S', m); }
    void handleIncomingMessage(CJQZMidi&, const CJQZMidiMessage& m) override { add('X', m); }
    void handleSysExProgress(CJQZMidi&, int count, const std::uint8_t*) override
    {
        std::lock_guard<std::mutex> guard(lock);
        progress.push_back(count);
    }
    void handleSysExSent(CJQZMidi&, int count) override { sent += count; }
    void handleMidiSetupChanged(CJQZMidi&) override { ++setupChanges; }

    void add(char kind, const CJQZMidiMessage& m)
    {
        EXPECT_EQ(m.getTimeStamp(), 0);
        std::lock_guard<std::mutex> guard(lock);
        events.emplace_back(kind, Bytes(m.getData(), m.getData() + m.getSize()));
    }

    std::vector<std::pair<char, Bytes>> snapshot()
    {
        std::lock_guard<std::mutex> guard(lock);
        return events;
    }

    std::mutex lock;
    std::vector<std::pair<char, Bytes>> events;
    std::vector<int> progress;
    std::atomic<int> sent{0};
    std::atomic<int> setupChanges{0};
};

struct CJQZMidiTest : ::testing::Test
{
    void SetUp() override
    {
        device = fabric->addDevice("Synth", {"Out", "Out 2"}, {"In"});
        device->setReceiver(
            [this](int, const std::uint8_t* d, size_t n)
            {
                std::lock_guard<std::mutex> guard(lock);
                received.emplace_back(d, d + n);
            });
        ASSERT_TRUE(midi.createClient("MidiDevice"));
        midi.addListener(&listener);
    }

    std::vector<Bytes> peerReceived()
    {
        std::lock_guard<std::mutex> guard(lock);
        return received;
    }

    std::shared_ptr<VirtualMidiFabric> fabric = VirtualMidiFabric::create();
    std::shared_ptr<VirtualMidiFabric::Device> device;
    CJQZMidi midi{fabric};
    RecordingListener listener;
    std::mutex lock;
    std::vector<Bytes> received;
};
} // namespace

TEST_F(CJQZMidiTest, NamesEndpointsAsDeviceDashEndpoint)
{
    EXPECT_EQ(midi.getNumSources(), 2);
    EXPECT_EQ(midi.getNumDestinations(), 1);
    EXPECT_EQ(midi.getSourceName(1), "Synth - Out 2");
    EXPECT_EQ(midi.getDestinationName(0), "Synth - In");
    EXPECT_EQ(midi.getSourceName(2), "");
    EXPECT_EQ(midi.getDestinationName(-1), "");
    fabric->addDevice("", {"Lonely"}, {});
    EXPECT_EQ(midi.getSourceName(2), " - Lonely");

    EXPECT_FALSE(midi.createClient("again"));
    EXPECT_TRUE(midi.disposeClient());
    EXPECT_EQ(midi.getSourceName(0), "");
    EXPECT_FALSE(midi.openInput(0));
    EXPECT_TRUE(midi.disposeClient()); // no client: still true
}

TEST_F(CJQZMidiTest, OpensEachSideOnceAndClosesHarmlessly)
{
    EXPECT_FALSE(midi.openInput(2));
    EXPECT_FALSE(midi.openInput(-1));
    EXPECT_FALSE(midi.openOutput(1));
    ASSERT_TRUE(midi.openInput(0));
    EXPECT_FALSE(midi.openInput(1)); // the first connection stays
    ASSERT_TRUE(midi.openOutput(0));
    EXPECT_FALSE(midi.openOutput(0));
    EXPECT_EQ(fabric->getNumOpenInputs(), 1);

    device->sendFromSource(0, Bytes{0xC0, 0x05});
    device->sendFromSource(1, Bytes{0xC0, 0x06});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.snapshot(), (std::vector<std::pair<char, Bytes>>{{'S', {0xC0, 0x05}}}));

    midi.closeInput();
    midi.closeInput();
    midi.closeOutput();
    midi.closeOutput();
    EXPECT_EQ(fabric->getNumOpenInputs(), 0);
    EXPECT_EQ(fabric->getNumOpenOutputs(), 0);
    EXPECT_TRUE(midi.openInput(1));
}

TEST_F(CJQZMidiTest, AssemblesMessagesFromSplitPackets)
{
    ASSERT_TRUE(midi.openInput(0));
    // One packet with a whole message: one progress call with the whole count.
    device->sendFromSource(0, Bytes{0xF0, 0x7D, 0x30, 0x01, 0xF7});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.progress, (std::vector<int>{5}));

    // Three packets, a clock byte inside, and the next message's start behind the F7.
    device->setDeliveryChunkSize(4);
    device->sendFromSource(0, Bytes{0xF0, 0x01, 0x02, 0x03, 0x04, 0xF8, 0x05, 0x06, 0x07, 0xF7, 0xF0, 0x09});
    device->setDeliveryChunkSize(0);
    device->sendFromSource(0, Bytes{0x0A, 0xF7, 0x90, 0x3C, 0x40});
    ASSERT_TRUE(fabric->waitUntilIdle());
    const std::vector<std::pair<char, Bytes>> expected = {
        {'X', {0xF0, 0x7D, 0x30, 0x01, 0xF7}},
        {'S', {0xF8}},
        {'X', {0xF0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xF7}},
        {'X', {0xF0, 0x09, 0x0A, 0xF7}},
        {'S', {0x90, 0x3C, 0x40}},
    };
    EXPECT_EQ(listener.snapshot(), expected);
    EXPECT_EQ(listener.progress, (std::vector<int>{5, 4, 4, 2, 2, 2}));
}

TEST_F(CJQZMidiTest, OpeningTheInputForgetsAPartialMessage)
{
    ASSERT_TRUE(midi.openInput(0));
    device->sendFromSource(0, Bytes{0xF0, 0x01, 0x02});
    ASSERT_TRUE(fabric->waitUntilIdle());
    midi.closeInput();
    ASSERT_TRUE(midi.openInput(0));
    device->sendFromSource(0, Bytes{0x03, 0xF7});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.snapshot(), (std::vector<std::pair<char, Bytes>>{{'S', {0xF7}}}));
}

TEST_F(CJQZMidiTest, SendsSysExWithCompletionAndShortMessagesByStatusLength)
{
    const Bytes sysEx = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    EXPECT_TRUE(midi.send(sysEx.data(), (int) sysEx.size())); // no output: nothing, at once, and nothing refused
    ASSERT_TRUE(midi.openOutput(0));
    EXPECT_TRUE(midi.send(sysEx.data(), (int) sysEx.size()));
    EXPECT_EQ(listener.sent, 6); // the send waited for its completion

    const Bytes programChange = {0xC0, 0x05, 0x77};
    midi.send(programChange.data(), 3);
    const Bytes noteOnAlone = {0x90};
    midi.send(noteOnAlone.data(), 1);
    midi.send(nullptr, 0);
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(peerReceived(), (std::vector<Bytes>{sysEx, {0xC0, 0x05}, {0x90, 0x00, 0x00}}));
}

TEST_F(CJQZMidiTest, ASlowCompletionIsWaitedForAtMost500Ms)
{
    ASSERT_TRUE(midi.openOutput(0));
    // The completion would come long after a hang's deadline: a send that waited for it would hang.
    device->setCompletionDelayMs(2 * testsupport::hangMs);
    const Bytes sysEx = {0xF0, 0x01, 0xF7};
    const auto start = juce::Time::getMillisecondCounter();
    midi.send(sysEx.data(), 3);
    const auto waited = juce::Time::getMillisecondCounter() - start;
    EXPECT_GE(waited, 450u);
    EXPECT_LT(waited, (juce::uint32) testsupport::hangMs);
    EXPECT_EQ(listener.sent, 0);
    midi.closeOutput(); // the late completion is dropped with the port
    EXPECT_EQ(listener.sent, 0);
}

TEST_F(CJQZMidiTest, ListenersAreCalledInOrderWithDuplicatesAndRemovedOneAtATime)
{
    RecordingListener second;
    midi.addListener(&second);
    midi.addListener(&listener); // a duplicate is called twice
    ASSERT_TRUE(midi.openInput(0));
    device->sendFromSource(0, Bytes{0xFE});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.snapshot().size(), 2u);
    EXPECT_EQ(second.snapshot().size(), 1u);

    midi.removeListener(&listener);
    device->sendFromSource(0, Bytes{0xFE});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.snapshot().size(), 3u);

    midi.removeAllListeners();
    device->sendFromSource(0, Bytes{0xFE});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.snapshot().size(), 3u);
    EXPECT_EQ(second.snapshot().size(), 2u);
}

TEST_F(CJQZMidiTest, TellsListenersOfSetupChangesOnTheMessageThread)
{
    struct ThreadCheck : CJQZMidiListener
    {
        std::atomic<int> calls{0};
        void handleMidiSetupChanged(CJQZMidi&) override
        {
            EXPECT_TRUE(juce::MessageManager::getInstance()->isThisTheMessageThread());
            ++calls;
        }
    } check;
    midi.addListener(&check);
    auto other = fabric->addDevice("Other", {"Out"}, {"In"});
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return check.calls == 1; }));
    fabric->removeDevice(other);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return check.calls == 2; }));
    midi.removeListener(&check);
}

// The device goes (switched off, unplugged) and comes back, now behind another device: the port object closes its
// ports, keeps their names, refuses sends meanwhile and opens the ports again by name.
TEST_F(CJQZMidiTest, ClosesThePortsOfAGoneDeviceAndReopensThemByNameWhenItIsBack)
{
    ASSERT_TRUE(midi.openInput(1));
    ASSERT_TRUE(midi.openOutput(0));
    EXPECT_FALSE(midi.isWaitingForEndpoint());

    fabric->removeDevice(device);
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.setupChanges == 1; }));
    EXPECT_FALSE(midi.isInputOpen());
    EXPECT_FALSE(midi.isOutputOpen());
    EXPECT_TRUE(midi.isWaitingForEndpoint());
    EXPECT_EQ(midi.getNumEndpointLosses(), 1);
    EXPECT_EQ(fabric->getNumOpenInputs(), 0);
    const Bytes sysEx = {0xF0, 0x01, 0xF7};
    const Bytes note = {0x90, 0x3C, 0x40};
    EXPECT_FALSE(midi.send(sysEx.data(), 3)); // refused at once: nobody there
    EXPECT_FALSE(midi.send(note.data(), 3));

    // Another device that is not it changes nothing.
    auto keys = fabric->addDevice("Keys", {"Out", "Out 2"}, {"In"});
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.setupChanges == 2; }));
    EXPECT_TRUE(midi.isWaitingForEndpoint());

    auto back = fabric->addDevice("Synth", {"Out", "Out 2"}, {"In"});
    back->setReceiver(
        [this](int, const std::uint8_t* d, size_t n)
        {
            std::lock_guard<std::mutex> guard(lock);
            received.emplace_back(d, d + n);
        });
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.setupChanges == 3; }));
    EXPECT_FALSE(midi.isWaitingForEndpoint());
    EXPECT_TRUE(midi.isInputOpen());
    EXPECT_TRUE(midi.isOutputOpen());
    EXPECT_EQ(midi.getNumEndpointLosses(), 1);

    // The same endpoints by name, at their new indices: "Synth - Out 2" is source 3, "Synth - In" destination 1.
    back->sendFromSource(1, Bytes{0xC0, 0x07});
    keys->sendFromSource(1, Bytes{0xC0, 0x08});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(listener.snapshot(), (std::vector<std::pair<char, Bytes>>{{'S', {0xC0, 0x07}}}));
    EXPECT_TRUE(midi.send(sysEx.data(), 3));
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(peerReceived(), std::vector<Bytes>{sysEx});

    // Closed by its owner, a side is no longer awaited: a send with no output refuses nothing.
    fabric->removeDevice(back);
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.setupChanges == 4; }));
    EXPECT_TRUE(midi.isWaitingForEndpoint());
    midi.closeInput();
    midi.closeOutput();
    EXPECT_FALSE(midi.isWaitingForEndpoint());
    EXPECT_TRUE(midi.send(sysEx.data(), 3));
}

// A send that comes before the setup change is handled finds its port refused, looks again and uses the device
// that came back.
TEST_F(CJQZMidiTest, ASendBeforeTheSetupChangeIsHandledReachesTheDeviceThatCameBack)
{
    ASSERT_TRUE(midi.openOutput(0));
    fabric->removeDevice(device);
    auto back = fabric->addDevice("Synth", {"Out"}, {"In"});
    back->setReceiver(
        [this](int, const std::uint8_t* d, size_t n)
        {
            std::lock_guard<std::mutex> guard(lock);
            received.emplace_back(d, d + n);
        });
    const Bytes sysEx = {0xF0, 0x02, 0xF7};
    EXPECT_TRUE(midi.send(sysEx.data(), 3));
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(peerReceived(), std::vector<Bytes>{sysEx});
    EXPECT_EQ(midi.getNumEndpointLosses(), 1);
    EXPECT_FALSE(midi.isWaitingForEndpoint());
}
