// The port object against the simulated instrument, over the virtual fabric and over the bridge:
// the way the transfers reach the instrument.
#include "midi/CJQZMidi.h"
#include "platform/midi/BridgeMidiBackend.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"
#include "tools/simulator/FabricInstrument.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

using simulator::Bytes;
using simulator::SimulatedInstrument;

namespace
{
struct SysExCollector : CJQZMidiListener
{
    void handleIncomingMessage(CJQZMidi&, const CJQZMidiMessage& m) override
    {
        std::lock_guard<std::mutex> guard(lock);
        messages.emplace_back(m.getData(), m.getData() + m.getSize());
    }

    bool waitFor(size_t count)
    {
        return testsupport::runMessageLoopUntil(
            [&]
            {
                std::lock_guard<std::mutex> guard(lock);
                return messages.size() >= count;
            },
            3000);
    }

    std::mutex lock;
    std::vector<Bytes> messages;
};

const Bytes identityRequest = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
const Bytes programRequest = {0xF0, 0x7D, 0x32, 0x00, 0x01, 0x35, 0x1C, 0x2C, 0x02, 0xF7}; // channel 2, program 300
} // namespace

TEST(PortObjectWithSimulator, ExchangesMessagesOverTheFabricWhateverTheSplitting)
{
    auto fabric = platform::midi::VirtualMidiFabric::create();
    fabric->addDevice("Keyboard", {"Out"}, {"In"});
    SimulatedInstrument instrument;
    instrument.setChannel(2);
    instrument.setRealTimeBytesInReplies(true);
    simulator::FabricInstrument attached(fabric, instrument);
    attached.getDevice().setDeliveryChunkSize(13);

    CJQZMidi midi(fabric);
    ASSERT_TRUE(midi.createClient("MidiDevice"));
    SysExCollector collector;
    midi.addListener(&collector);
    ASSERT_EQ(midi.getSourceName(1), "sonavire - Port 1");
    ASSERT_TRUE(midi.openInput(1));
    ASSERT_TRUE(midi.openOutput(1));

    midi.send(identityRequest.data(), (int) identityRequest.size());
    midi.send(programRequest.data(), (int) programRequest.size());
    ASSERT_TRUE(collector.waitFor(2));
    EXPECT_EQ(collector.messages[0][2], 0x02); // the channel
    const Bytes& dump = collector.messages[1];
    ASSERT_EQ(dump.size(), 394u); // the real-time bytes were taken out
    EXPECT_EQ(SimulatedInstrument::unpack(dump.data() + 9, 384, 336), instrument.getProgram(300));
    midi.removeListener(&collector);
}

TEST(PortObjectWithSimulator, ExchangesMessagesOverTheBridge)
{
    testsupport::TemporaryFolder folder;
    const auto path = folder.file("sim.sock").getFullPathName();
    SimulatedInstrument instrument;
    instrument.setChannel(2);
    simulator::BridgeInstrumentServer server(instrument, path.toStdString());
    server.setWriteChunkSize(7);
    ASSERT_TRUE(server.start());

    CJQZMidi midi(std::make_shared<platform::midi::BridgeMidiBackend>(path));
    ASSERT_TRUE(midi.createClient("MidiDevice"));
    SysExCollector collector;
    midi.addListener(&collector);
    ASSERT_EQ(midi.getSourceName(0), "sonavire - Port 1");
    ASSERT_TRUE(midi.openInput(0));
    ASSERT_TRUE(midi.openOutput(0));

    midi.send(identityRequest.data(), (int) identityRequest.size());
    midi.send(programRequest.data(), (int) programRequest.size());
    ASSERT_TRUE(collector.waitFor(2));
    EXPECT_EQ(collector.messages[0].size(), 15u);
    EXPECT_EQ(collector.messages[1].size(), 394u);
    EXPECT_EQ(instrument.getCount(simulator::MessageKind::programRequest), 1);
    midi.removeListener(&collector);
}

// An instrument on the bridge that stops reading: once the socket is full, a send gives up after about half a
// second (the bound of every system exclusive send) and reports it; the port lock is free meanwhile, and the
// instrument is still there.
TEST(PortObjectWithSimulator, APeerThatStopsReadingFailsASendInAboutHalfASecond)
{
    testsupport::TemporaryFolder folder;
    const auto path = folder.file("sim.sock").getFullPathName();
    SimulatedInstrument instrument;
    simulator::BridgeInstrumentServer server(instrument, path.toStdString());
    ASSERT_TRUE(server.start());

    CJQZMidi midi(std::make_shared<platform::midi::BridgeMidiBackend>(path));
    ASSERT_TRUE(midi.createClient("MidiDevice"));
    ASSERT_TRUE(midi.openInput(0));
    ASSERT_TRUE(midi.openOutput(0));
    server.setReading(false);

    Bytes upload(64 * 1024, 0x33);
    upload.front() = 0xF0;
    upload.back() = 0xF7;
    juce::uint32 failedAfter = 0;
    for (int i = 0; i < 400 && failedAfter == 0; ++i)
    {
        const auto start = juce::Time::getMillisecondCounter();
        if (!midi.send(upload.data(), (int) upload.size()))
            failedAfter = juce::Time::getMillisecondCounter() - start;
    }
    ASSERT_GT(failedAfter, 0u) << "the socket never filled";
    EXPECT_GE(failedAfter, 400u);
    EXPECT_LT(failedAfter, (juce::uint32) testsupport::hangMs); // the sender is not held

    // While the next send waits for the peer, the port object answers on other threads.
    std::atomic<bool> sending{true};
    std::thread sender(
        [&]
        {
            EXPECT_FALSE(midi.send(upload.data(), (int) upload.size()));
            sending = false;
        });
    EXPECT_EQ(midi.getSourceName(0), "sonavire - Port 1");
    EXPECT_TRUE(midi.isOutputOpen());
    EXPECT_TRUE(sending);
    sender.join();

    // Slow is not gone: once the instrument reads again, it answers.
    EXPECT_FALSE(midi.isWaitingForEndpoint());
    SysExCollector collector;
    midi.addListener(&collector);
    server.setReading(true);
    midi.send(identityRequest.data(), (int) identityRequest.size());
    EXPECT_TRUE(collector.waitFor(1));
    midi.removeListener(&collector);
}
