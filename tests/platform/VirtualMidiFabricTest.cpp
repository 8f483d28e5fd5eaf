#include "platform/midi/VirtualMidiFabric.h"
#include "tests/platform/MidiTestHelpers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace platform::midi;
using Bytes = std::vector<std::uint8_t>;

namespace
{
struct VirtualMidiFabricTest : ::testing::Test
{
    std::shared_ptr<VirtualMidiFabric> fabric = VirtualMidiFabric::create();
};

juce::String joined(const std::optional<EndpointName>& name)
{
    return name ? name->device + " - " + name->endpoint : juce::String("<none>");
}
} // namespace

TEST_F(VirtualMidiFabricTest, EnumeratesEndpointsInDeviceOrder)
{
    auto client = fabric->createClient("test");
    EXPECT_EQ(client->getNumSources(), 0);
    EXPECT_FALSE(client->getSourceName(0).has_value());

    auto a = fabric->addDevice("Alpha", {"Out A1", "Out A2"}, {"In A1"});
    auto b = fabric->addDevice("Beta", {"Out B1"}, {"In B1", "In B2"});
    EXPECT_EQ(client->getNumSources(), 3);
    EXPECT_EQ(client->getNumDestinations(), 3);
    EXPECT_EQ(joined(client->getSourceName(1)), "Alpha - Out A2");
    EXPECT_EQ(joined(client->getSourceName(2)), "Beta - Out B1");
    EXPECT_EQ(joined(client->getDestinationName(2)), "Beta - In B2");
    EXPECT_EQ(joined(client->getSourceName(3)), "<none>");
    EXPECT_EQ(joined(client->getSourceName(-1)), "<none>");

    fabric->removeDevice(a);
    EXPECT_EQ(client->getNumSources(), 1);
    EXPECT_EQ(joined(client->getSourceName(0)), "Beta - Out B1");
    CollectingInput input;
    EXPECT_EQ(client->openInput(1, input), nullptr);
    EXPECT_EQ(client->openOutput(2), nullptr);
}

TEST_F(VirtualMidiFabricTest, AddingAndRemovingADeviceIsASetupChange)
{
    auto client = fabric->createClient("test");
    int changes = 0;
    client->setSetupChangedCallback([&] { ++changes; });

    auto device = fabric->addDevice("Alpha", {"Out"}, {"In"});
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes == 1; }));
    fabric->removeDevice(device);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes == 2; }));
    testsupport::drainMessageLoop();
    EXPECT_EQ(changes, 2);
}

TEST_F(VirtualMidiFabricTest, DeliversPeerBytesToEveryConnectedInputInChunks)
{
    auto device = fabric->addDevice("Alpha", {"Out 1", "Out 2"}, {"In"});
    auto client = fabric->createClient("test");
    CollectingInput first, second, other;
    auto in1 = client->openInput(0, first);
    auto in2 = client->openInput(0, second);
    auto in3 = client->openInput(1, other);
    ASSERT_TRUE(in1 && in2 && in3);
    EXPECT_EQ(fabric->getNumOpenInputs(), 3);

    device->setDeliveryChunkSize(3);
    const Bytes message = {0xF0, 0x7D, 0x01, 0x02, 0x03, 0x04, 0x05, 0xF7};
    device->sendFromSource(0, message);
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(first.allBytes(), message);
    EXPECT_EQ(first.numPackets(), 3u);
    EXPECT_EQ(second.allBytes(), message);
    EXPECT_EQ(other.numPackets(), 0u);

    // A closed port hears nothing more.
    in2.reset();
    EXPECT_EQ(fabric->getNumOpenInputs(), 2);
    device->sendFromSource(0, message);
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(first.numPackets(), 6u);
    EXPECT_EQ(second.numPackets(), 3u);
}

TEST_F(VirtualMidiFabricTest, DelayedBytesNeverOvertakeEarlierOnes)
{
    auto device = fabric->addDevice("Alpha", {"Out"}, {"In"});
    auto client = fabric->createClient("test");
    CollectingInput input;
    auto port = client->openInput(0, input);
    device->sendFromSource(0, Bytes{0x90, 0x3C, 0x40}, 60);
    device->sendFromSource(0, Bytes{0x80, 0x3C, 0x00});
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_EQ(input.allBytes(), (Bytes{0x90, 0x3C, 0x40, 0x80, 0x3C, 0x00}));
}

TEST_F(VirtualMidiFabricTest, SendsMessagesToThePeerAndCompletesSysEx)
{
    auto device = fabric->addDevice("Alpha", {"Out"}, {"In 1", "In 2"});
    std::mutex lock;
    std::vector<std::pair<int, Bytes>> received;
    device->setReceiver(
        [&](int destination, const std::uint8_t* d, size_t n)
        {
            std::lock_guard<std::mutex> guard(lock);
            received.emplace_back(destination, Bytes(d, d + n));
        });
    device->setCompletionDelayMs(50);

    auto client = fabric->createClient("test");
    auto out = client->openOutput(1);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(fabric->getNumOpenOutputs(), 1);

    const Bytes sysEx = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    std::atomic<bool> completed{false};
    const auto start = juce::Time::getMillisecondCounter();
    std::atomic<juce::uint32> completedAfter{0};
    ASSERT_TRUE(out->sendSysEx(sysEx.data(), sysEx.size(),
                               [&]
                               {
                                   completedAfter = juce::Time::getMillisecondCounter() - start;
                                   completed = true;
                               }));
    const Bytes note = {0x90, 0x3C, 0x40};
    EXPECT_TRUE(out->sendShortMessage(note.data(), note.size()));
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_TRUE(completed);
    EXPECT_GE(completedAfter.load(), 45u);
    std::lock_guard<std::mutex> guard(lock);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], std::make_pair(1, sysEx));
    EXPECT_EQ(received[1], std::make_pair(1, note));
}

TEST_F(VirtualMidiFabricTest, AClosedOutputNeverCompletesAndAGoneDeviceTakesNothing)
{
    auto device = fabric->addDevice("Alpha", {"Out"}, {"In"});
    device->setCompletionDelayMs(200);
    auto client = fabric->createClient("test");
    auto out = client->openOutput(0);
    std::atomic<bool> completed{false};
    const Bytes sysEx = {0xF0, 0x01, 0xF7};
    ASSERT_TRUE(out->sendSysEx(sysEx.data(), sysEx.size(), [&] { completed = true; }));
    out.reset();
    EXPECT_EQ(fabric->getNumOpenOutputs(), 0);
    ASSERT_TRUE(fabric->waitUntilIdle());
    EXPECT_FALSE(completed);

    out = client->openOutput(0);
    fabric->removeDevice(device);
    EXPECT_FALSE(out->sendSysEx(sysEx.data(), sysEx.size(), [&] { completed = true; }));
    EXPECT_FALSE(out->sendShortMessage(sysEx.data(), 1));
}
