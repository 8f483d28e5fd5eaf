#include "midi/MidiDeviceManager.h"
#include "platform/midi/BridgeMidiBackend.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"
#include "tools/simulator/FabricInstrument.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

using platform::midi::VirtualMidiFabric;
using simulator::Bytes;
using simulator::FabricInstrument;
using simulator::MessageKind;
using simulator::SimulatedInstrument;

namespace
{
struct CountingManagerListener : midi::MidiDeviceManagerListener
{
    int finished = 0;
    void deviceScanFinished() override { ++finished; }
};

// The manager is built on a virtual fabric and deleted after each test.
struct MidiDeviceManagerTest : ::testing::Test
{
    void SetUp() override
    {
        platform::midi::MidiBackend::setDefault(fabric);
        manager = midi::MidiDeviceManager::getInstance();
        manager->familyCode = 0x0135;
        manager->addListener(&listener);
    }

    void TearDown() override
    {
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(nullptr);
        midi::midiDeviceScanInProgress = false;
    }

    // Runs one search to its end; returns how long it took.
    juce::uint32 search()
    {
        const auto start = juce::Time::getMillisecondCounter();
        const int before = listener.finished;
        EXPECT_TRUE(manager->startDeviceScan());
        EXPECT_TRUE(midi::midiDeviceScanInProgress);
        EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.finished > before; }));
        EXPECT_TRUE(manager->isScanDone);
        EXPECT_FALSE(midi::midiDeviceScanInProgress);
        // Whatever it found, the search closed every port it opened and left the port object alone.
        EXPECT_EQ(fabric->getNumOpenInputs(), 0);
        EXPECT_EQ(fabric->getNumOpenOutputs(), 0);
        EXPECT_FALSE(manager->getMidi().isInputOpen());
        return juce::Time::getMillisecondCounter() - start;
    }

    midi::MidiDeviceScanner& scanner() { return manager->getScanner(); }

    std::shared_ptr<VirtualMidiFabric> fabric = VirtualMidiFabric::create();
    midi::MidiDeviceManager* manager = nullptr;
    CountingManagerListener listener;
};

Bytes searchAnswer(std::uint8_t id, std::uint8_t familyLow = 0x35, std::uint8_t familyHigh = 0x01)
{
    return {0xF0, 0x7D, 0x50, 0x01, 0x00, id, familyLow, familyHigh, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0xF7};
}

// Tells when a search has ended.
struct ScanEnd : midi::MidiDeviceScannerListener
{
    bool finished = false;
    void scanFinished() override { finished = true; }
};

} // namespace

TEST_F(MidiDeviceManagerTest, StartsWithItsDefaultsAndItsPortObjectClient)
{
    EXPECT_EQ(manager->memberCode, -1);
    EXPECT_FALSE(manager->isConnected);
    EXPECT_TRUE(manager->isAutoScan);
    EXPECT_FALSE(manager->isScanDone);
    EXPECT_TRUE(manager->midiInPortName.isEmpty());
    EXPECT_EQ(midi::MidiDeviceManager::getInstance(), manager);

    fabric->addDevice("Synth", {"Out"}, {"In"});
    EXPECT_EQ(manager->getMidi().getSourceName(0), "Synth - Out");
    EXPECT_EQ(scanner().foundInputIndex, -1);
    EXPECT_FALSE(scanner().isFound);
}

TEST_F(MidiDeviceManagerTest, FindsTheInstrumentBehindOtherDevices)
{
    fabric->addDevice("Keyboard", {"Out A", "Out B"}, {"In"});
    SimulatedInstrument instrument;
    FabricInstrument attached(fabric, instrument);

    const auto took = search();
    EXPECT_TRUE(scanner().isFound);
    EXPECT_EQ(scanner().foundInputIndex, 2);
    EXPECT_EQ(scanner().foundOutputIndex, 1);
    EXPECT_LT(took, 1400u); // the answer ends the wait early
    EXPECT_GE(took, 200u);  // a pause before listing the devices, another before asking
    EXPECT_EQ(scanner().inputDeviceNames,
              juce::StringArray({"Keyboard - Out A", "Keyboard - Out B", "sonavire - Port 1"}));

    // The instrument heard the request meant for its own output.
    const auto heard = instrument.getReceived();
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].bytes, midi::MidiDeviceScanner::makeSearchRequest(1));
}

TEST_F(MidiDeviceManagerTest, ReportsNotFoundAfterTheTimeOutAndResetsTheResult)
{
    SimulatedInstrument instrument;
    auto attached = std::make_unique<FabricInstrument>(fabric, instrument);
    search();
    ASSERT_TRUE(scanner().isFound);

    instrument.injectFault(MessageKind::searchRequest, 0, simulator::Fault::silence);
    const auto took = search();
    EXPECT_GE(took, 1500u);
    EXPECT_FALSE(scanner().isFound);
    EXPECT_EQ(scanner().foundInputIndex, -1);
    EXPECT_EQ(scanner().foundOutputIndex, -1);

    // With no device at all the search ends at once, without a thread, and finds nothing.
    instrument.clearFaults();
    search();
    ASSERT_TRUE(scanner().isFound);
    attached.reset();
    EXPECT_LT(search(), 1000u);
    EXPECT_FALSE(scanner().isFound);
    EXPECT_EQ(scanner().foundInputIndex, -1);
}

TEST_F(MidiDeviceManagerTest, IgnoresWrongAnswersAndTakesTheRightOne)
{
    // Several instruments answer at once, each wrongly but one.
    struct Case
    {
        const char* name;
        std::function<Bytes(std::uint8_t id)> answer;
    };
    const std::vector<Case> wrong = {
        {"14 bytes",
         [](std::uint8_t id)
         {
             auto a = searchAnswer(id);
             a.erase(a.begin() + 13);
             return a;
         }},
        {"16 bytes",
         [](std::uint8_t id)
         {
             auto a = searchAnswer(id);
             a.insert(a.begin() + 13, 0x00);
             return a;
         }},
        {"byte 3 not 01",
         [](std::uint8_t id)
         {
             auto a = searchAnswer(id);
             a[3] = 0x02;
             return a;
         }},
        {"family 36 01", [](std::uint8_t id) { return searchAnswer(id, 0x36, 0x01); }},
    };
    std::vector<std::unique_ptr<SimulatedInstrument>> instruments;
    std::vector<std::unique_ptr<FabricInstrument>> attached;
    for (auto& c : wrong)
    {
        instruments.push_back(std::make_unique<SimulatedInstrument>());
        auto answer = c.answer;
        instruments.back()->setReplyOverride(MessageKind::searchRequest, [answer](const Bytes& request)
                                             { return std::vector<Bytes>{answer(request[4])}; });
        attached.push_back(std::make_unique<FabricInstrument>(fabric, *instruments.back(), c.name));
    }
    search();
    EXPECT_FALSE(scanner().isFound);
    for (auto& instrument : instruments)
        EXPECT_EQ(instrument->getCount(MessageKind::searchRequest), 1);

    SimulatedInstrument right;
    FabricInstrument rightAttached(fabric, right, "right one");
    search();
    EXPECT_TRUE(scanner().isFound);
    EXPECT_EQ(scanner().foundInputIndex, 4);
    EXPECT_EQ(scanner().foundOutputIndex, 4);
}

TEST_F(MidiDeviceManagerTest, ComparesTheMemberCodeOnlyWhenOneIsWanted)
{
    SimulatedInstrument instrument;
    auto identity = instrument.getIdentity();
    identity.member = 0x0105;
    instrument.setIdentity(identity);
    FabricInstrument attached(fabric, instrument);

    search(); // member -1: any
    EXPECT_TRUE(scanner().isFound);
    manager->memberCode = 0x0105;
    search();
    EXPECT_TRUE(scanner().isFound);
    manager->memberCode = 0x0106;
    search();
    EXPECT_FALSE(scanner().isFound);
}

TEST_F(MidiDeviceManagerTest, FollowsSetupChangesAndSplitAnswers)
{
    SimulatedInstrument instrument;
    auto attached = std::make_unique<FabricInstrument>(fabric, instrument);
    search();
    EXPECT_EQ(scanner().foundInputIndex, 0);

    // Another device now comes first: the instrument moves to index 1 and is asked with id 1.
    attached.reset();
    fabric->addDevice("Keyboard", {"Out"}, {"In"});
    attached = std::make_unique<FabricInstrument>(fabric, instrument);
    // The answer arrives one byte per packet, with real-time bytes inside.
    attached->getDevice().setDeliveryChunkSize(1);
    instrument.setRealTimeBytesInReplies(true);
    instrument.clearLog();
    search();
    EXPECT_TRUE(scanner().isFound);
    EXPECT_EQ(scanner().foundInputIndex, 1);
    EXPECT_EQ(scanner().foundOutputIndex, 1);
    EXPECT_EQ(instrument.getReceived().at(0).bytes, midi::MidiDeviceScanner::makeSearchRequest(1));
}

TEST_F(MidiDeviceManagerTest, RefusesASecondStartWhileSearching)
{
    SimulatedInstrument instrument;
    instrument.setReplyDelayMs(300);
    FabricInstrument attached(fabric, instrument);
    ASSERT_TRUE(manager->startDeviceScan());
    EXPECT_TRUE(scanner().isScanning());
    EXPECT_FALSE(manager->startDeviceScan());
    EXPECT_FALSE(scanner().startScan(0x0135, -1));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.finished == 1; }));
    EXPECT_TRUE(scanner().isFound);
    EXPECT_FALSE(scanner().isScanning());
}

TEST_F(MidiDeviceManagerTest, ClosesTheOpenPortsWhenDeleted)
{
    fabric->addDevice("Synth", {"Out"}, {"In"});
    CJQZMidiListener portListener;
    manager->getMidi().addListener(&portListener);
    ASSERT_TRUE(manager->getMidi().openInput(0));
    ASSERT_TRUE(manager->getMidi().openOutput(0));
    manager->isConnected = true;
    EXPECT_EQ(fabric->getNumOpenInputs(), 1);
    delete manager;
    EXPECT_EQ(midi::MidiDeviceManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(fabric->getNumOpenInputs(), 0);
    EXPECT_EQ(fabric->getNumOpenOutputs(), 0);
}

// The search over the socket bridge, against the simulator's bridge server.
TEST(MidiDeviceScannerOverBridge, FindsTheSimulatorOnABridgeSocket)
{
    testsupport::TemporaryFolder folder;
    const auto path = folder.file("sim.sock").getFullPathName();
    SimulatedInstrument instrument;
    simulator::BridgeInstrumentServer server(instrument, path.toStdString(), "sonavire sim");
    server.setWriteChunkSize(5);
    ASSERT_TRUE(server.start());

    auto backend = std::make_shared<platform::midi::BridgeMidiBackend>(path);
    ScanEnd done;
    midi::MidiDeviceScanner scanner(backend);
    scanner.addListener(&done);
    ASSERT_TRUE(scanner.startScan(0x0135, -1));
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return done.finished; }));
    EXPECT_TRUE(scanner.isFound);
    EXPECT_EQ(scanner.foundInputIndex, 0);
    EXPECT_EQ(scanner.foundOutputIndex, 0);
    EXPECT_EQ(scanner.inputDeviceNames, juce::StringArray("sonavire sim - Port 1"));
    EXPECT_EQ(server.getNumConnections(), 1);
}

// A bridge peer that connects but never sends its name line is not listed, and the search does not wait for it: it
// ends as a search with no device does, at once after its first pause.
TEST(MidiDeviceScannerOverBridge, APeerWithoutItsNameLineDoesNotDelayTheSearch)
{
    testsupport::TemporaryFolder folder;
    const auto path = folder.file("silent.sock").getFullPathName();
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.toRawUTF8(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    std::atomic<int> accepted{-1};
    std::thread acceptor([&] { accepted = ::accept(listener, nullptr, nullptr); }); // and then silence

    auto backend = std::make_shared<platform::midi::BridgeMidiBackend>(path);
    ScanEnd done;
    midi::MidiDeviceScanner scanner(backend);
    CJQZMidi port(backend);
    ASSERT_TRUE(port.createClient("MidiDevice"));
    acceptor.join();
    ASSERT_GE(accepted.load(), 0);
    scanner.addListener(&done);

    // The search and a hundred enumerations that each waited for the peer would take longer than the wait for
    // a hang.
    constexpr int enumerations = 100;
    static_assert(enumerations * platform::midi::BridgeMidiBackend::introductionWaitMs > testsupport::hangMs);
    const auto start = juce::Time::getMillisecondCounter();
    ASSERT_TRUE(scanner.startScan(0x0135, -1));
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return done.finished; }));
    for (int i = 0; i < enumerations; ++i)
        EXPECT_EQ(port.getSourceName(0), "");
    EXPECT_LT(juce::Time::getMillisecondCounter() - start, (juce::uint32) testsupport::hangMs);
    EXPECT_FALSE(scanner.isFound);
    EXPECT_TRUE(scanner.inputDeviceNames.isEmpty());

    ::close(accepted);
    ::close(listener);
}
