// The instrument is switched off and on again (its device goes and comes back on the virtual fabric, its bridge
// peer is stopped and started again) between transfers and in the middle of one: the port object follows it, and
// the next transfer works without restarting anything.
#include "app/CJQZResource.h"
#include "data/LibraryData.h"
#include "midi/LibraryTransferProcesses.h"
#include "midi/MidiCommunicationDialog.h"
#include "midi/MidiCommunicationManager.h"
#include "midi/MidiCommunicationTask.h"
#include "midi/MidiDeviceManager.h"
#include "midi/SysExMessages.h"
#include "midi/TuningTransferProcesses.h"
#include "platform/midi/BridgeMidiBackend.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"
#include "tools/simulator/FabricInstrument.h"
#include "ui/FontLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using simulator::Bytes;
using simulator::MessageKind;

namespace
{
// Generous: every wait ends as soon as its condition holds.
constexpr int waitMs = testsupport::hangMs;

juce::String text(const char* key)
{
    return CJQZResource::getInstance()->getString(key);
}

enum class Transport
{
    fabric,
    bridge
};

// The simulated instrument on one transport, behind another device on the fabric.
class PluggedInstrument
{
public:
    PluggedInstrument(Transport t, const juce::File& socket) : transport(t), socketPath(socket.getFullPathName())
    {
        if (transport == Transport::fabric)
        {
            fabric = platform::midi::VirtualMidiFabric::create();
            keys = fabric->addDevice("Keys", {"Out"}, {"In"});
            backend = fabric;
        }
        else
        {
            backend = std::make_shared<platform::midi::BridgeMidiBackend>(socketPath);
        }
        switchOn();
    }

    ~PluggedInstrument() { switchOff(); }

    void switchOn()
    {
        if (transport == Transport::fabric)
        {
            attached = std::make_unique<simulator::FabricInstrument>(fabric, instrument);
        }
        else
        {
            server = std::make_unique<simulator::BridgeInstrumentServer>(instrument, socketPath.toStdString());
            ASSERT_TRUE(server->start());
        }
    }

    void switchOff()
    {
        attached.reset();
        server.reset();
    }

    const Transport transport;
    const juce::String socketPath;
    simulator::SimulatedInstrument instrument;
    std::shared_ptr<platform::midi::MidiBackend> backend;
    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric;
    std::shared_ptr<platform::midi::VirtualMidiFabric::Device> keys;
    std::unique_ptr<simulator::FabricInstrument> attached;
    std::unique_ptr<simulator::BridgeInstrumentServer> server;
};

// Answers the communication dialog: clicks OK once it is shown, keeping the status text it showed, and runs a
// step of the test's own on each tick while the dialog is up.
class DialogAnswerer : private juce::Timer
{
public:
    DialogAnswerer() { startTimer(5); }
    ~DialogAnswerer() override { stopTimer(); }

    std::function<void()> whileShown;
    juce::StringArray statusTexts;

private:
    juce::Component::SafePointer<juce::Component> answered;

    void timerCallback() override
    {
        auto* window = dynamic_cast<midi::DialogWithNoCloseButton*>(
            juce::ModalComponentManager::getInstance()->getModalComponent(0));
        if (window == nullptr || window == answered.getComponent())
            return; // its modal state ends at the next turn of the loop
        if (whileShown)
            whileShown();
        juce::Button* ok = nullptr;
        juce::String status;
        for (auto* c : window->getContentComponent()->getChildren())
        {
            if (c->getName() == "Button" && c->isVisible() && c->isEnabled())
                ok = dynamic_cast<juce::Button*>(c);
            if (auto* label = dynamic_cast<juce::Label*>(c))
                status = label->getText();
        }
        if (ok != nullptr)
        {
            statusTexts.add(status);
            answered = window;
            ok->triggerClick();
        }
    }
};

struct InstrumentComesAndGoes : ::testing::TestWithParam<Transport>
{
    void SetUp() override
    {
        CJQZResource::getInstance();
        auto* fonts = ui::FontLibrary::getInstance();
        fonts->addFont("MidiCommunicationDialogStatus", fonts->makeFont("Arial Unicode MS", 15.0f, juce::Font::bold));
        fonts->addFont("MidiCommunicationDialogDetail", fonts->makeFont("Arial Unicode MS", 12.0f));

        plugged = std::make_unique<PluggedInstrument>(GetParam(), folder.file("instrument.sock"));
        platform::midi::MidiBackend::setDefault(plugged->backend);
        delete midi::MidiDeviceManager::getInstanceWithoutCreating(); // made with another backend
        manager = midi::MidiDeviceManager::getInstance();
        manager->familyCode = 0x0135;
        manager->isAutoScan = false;
        manager->midiInPortName = manager->midiOutPortName = "sonavire - Port 1";
    }

    void TearDown() override
    {
        delete x47390_midi::MidiCommunicationManager::getInstanceWithoutCreating();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        testsupport::drainMessageLoop();
        plugged.reset();
        platform::midi::MidiBackend::setDefault(nullptr);
    }

    CJQZMidi& port() { return manager->getMidi(); }
    simulator::SimulatedInstrument& instrument() { return plugged->instrument; }

    bool portsOpen() { return port().isInputOpen() && port().isOutputOpen() && !port().isWaitingForEndpoint(); }

    void switchOff()
    {
        plugged->switchOff();
        ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return port().isWaitingForEndpoint(); }, waitMs));
        EXPECT_FALSE(port().isInputOpen());
        EXPECT_FALSE(port().isOutputOpen());
    }

    void switchOn()
    {
        plugged->switchOn();
        // The port object opens the ports again by itself (the bridge reconnects on its own thread).
        ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return portsOpen(); }, waitMs));
    }

    void expectLibraryOfInstrument(const x47390_data::LibraryData& library)
    {
        for (int n = 0; n < 500; ++n)
            ASSERT_EQ(Bytes(library.getProgramData(n).binary.begin(), library.getProgramData(n).binary.end()),
                      instrument().getProgram(n))
                << "program " << n;
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(Bytes(library.getTuneOctData(i).notes.begin(), library.getTuneOctData(i).notes.end()),
                      instrument().getOctave(i));
    }

    // A Receive Library under the communication dialog (a DialogAnswerer must be there); the dialog's value.
    static int receiveLibrary(x47390_data::LibraryData& target)
    {
        x47390_midi::ReceiveLibraryProcess process(&target);
        return midi::MidiCommunicationDialog::runModal(process);
    }

    testsupport::TemporaryFolder folder;
    std::unique_ptr<PluggedInstrument> plugged;
    midi::MidiDeviceManager* manager = nullptr;
};

std::string transportName(const ::testing::TestParamInfo<Transport>& info)
{
    return info.param == Transport::fabric ? "VirtualFabric" : "SocketBridge";
}

Bytes renamed(Bytes program, char letter)
{
    program[4] = (std::uint8_t) letter; // inside the 12-character name behind "PROG"
    return program;
}
} // namespace

TEST_P(InstrumentComesAndGoes, BetweenTransfers)
{
    DialogAnswerer answerer;
    x47390_data::LibraryData first;
    ASSERT_EQ(receiveLibrary(first), 0);
    expectLibraryOfInstrument(first);
    EXPECT_TRUE(manager->isConnected);

    ASSERT_NO_FATAL_FAILURE(switchOff());
    EXPECT_EQ(port().getNumEndpointLosses(), 1);

    // While it is off, a transfer cannot open the instrument's ports: it says so at once and never runs.
    const int identityRequests = instrument().getCount(MessageKind::identityRequest);
    x47390_midi::ReceiveTuneOctProcess octave(2);
    EXPECT_EQ(midi::MidiCommunicationDialog::runModal(octave), 1);
    EXPECT_EQ(answerer.statusTexts, juce::StringArray(text("ConnectionErrorFailedToOpenPort")));
    EXPECT_TRUE(octave.getStatusMessage().isEmpty());
    EXPECT_EQ(instrument().getCount(MessageKind::identityRequest), identityRequests);

    // Meanwhile the instrument's memory changes; switched on again, it is found again without a search.
    instrument().setProgram(7, renamed(instrument().getProgram(7), 'Z'));
    instrument().setOctave(3, Bytes(36, 0x11));
    ASSERT_NO_FATAL_FAILURE(switchOn());
    x47390_data::LibraryData second;
    ASSERT_EQ(receiveLibrary(second), 0);
    expectLibraryOfInstrument(second);
    EXPECT_EQ(answerer.statusTexts.size(), 1);

    // The background senders reach it too.
    auto* senders = x47390_midi::MidiCommunicationManager::getInstance();
    senders->transmitCurrentProgram(second.getProgramData(7));
    EXPECT_TRUE(testsupport::runMessageLoopUntil(
        [&] { return instrument().getCurrentProgram() == instrument().getProgram(7); }, waitMs));
}

TEST_P(InstrumentComesAndGoes, DuringAReceiveLibrary)
{
    // The 100th program request goes unanswered; the instrument is switched off while the transfer waits for it.
    instrument().injectFault(MessageKind::programRequest, 100, simulator::Fault::silence);
    DialogAnswerer answerer;
    bool switchedOff = false;
    answerer.whileShown = [&]
    {
        if (!switchedOff && instrument().getCount(MessageKind::programRequest) >= 100)
        {
            switchedOff = true;
            plugged->switchOff();
        }
    };
    x47390_data::LibraryData target;
    const x47390_data::LibraryData untouched;
    EXPECT_EQ(receiveLibrary(target), 1);
    ASSERT_TRUE(switchedOff);
    // The transfer fails as a time-out, and the receive stopped there.
    EXPECT_EQ(answerer.statusTexts, juce::StringArray(getCommunicationErrorMessage(3)));
    EXPECT_EQ(instrument().getCount(MessageKind::programRequest), 100);
    EXPECT_EQ(target.getTuneOctData(0).notes, untouched.getTuneOctData(0).notes);
    answerer.whileShown = nullptr;

    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return port().isWaitingForEndpoint(); }, waitMs));
    ASSERT_NO_FATAL_FAILURE(switchOn());
    instrument().clearFaults();
    x47390_data::LibraryData again;
    ASSERT_EQ(receiveLibrary(again), 0);
    expectLibraryOfInstrument(again);
}

INSTANTIATE_TEST_SUITE_P(Transports, InstrumentComesAndGoes, ::testing::Values(Transport::fabric, Transport::bridge),
                         transportName);

namespace
{
// One exchange with a time-out far beyond what any test waits, so only the instrument's going can end it early.
struct ProbeTask : x47390_midi::MidiCommunicationTask
{
    using MidiCommunicationTask::MidiCommunicationTask;
    x47390_midi::AnalyzedInformation ask(const Bytes& message)
    {
        return exchange(message, {x47390_midi::replyMessageBroken, x47390_midi::replyAck, x47390_midi::replyNak},
                        10 * 60 * 1000);
    }
};

// An instrument on the fabric that answers only when the test says so.
struct ExchangeTest : ::testing::Test
{
    void SetUp() override
    {
        platform::midi::MidiBackend::setDefault(fabric);
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        manager = midi::MidiDeviceManager::getInstance();
        manager->familyCode = 0x0135;
        plug();
        ASSERT_TRUE(manager->getMidi().openInput(0));
        ASSERT_TRUE(manager->getMidi().openOutput(0));
    }

    void TearDown() override
    {
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        if (device != nullptr)
            fabric->removeDevice(device);
        platform::midi::MidiBackend::setDefault(nullptr);
    }

    void plug()
    {
        device = fabric->addDevice("sonavire", {"Port 1"}, {"Port 1"});
        device->setReceiver([this](int, const std::uint8_t*, size_t) { ++heard; });
    }

    // Runs the exchange on a thread of its own; the message loop runs meanwhile (setup changes arrive there).
    x47390_midi::AnalyzedInformation askWhile(ProbeTask& task, const std::function<void()>& meanwhile)
    {
        std::atomic<bool> done{false};
        x47390_midi::AnalyzedInformation reply;
        std::thread asker(
            [&]
            {
                reply = task.ask(message);
                done = true;
            });
        meanwhile();
        const bool ended = testsupport::runMessageLoopUntil([&] { return done.load(); }, waitMs);
        if (!ended)
        {
            task.getQueue().interrupt(); // let the thread go
            testsupport::runMessageLoopUntil([&] { return done.load(); }, waitMs);
        }
        asker.join();
        EXPECT_TRUE(ended) << "the exchange went on waiting";
        return reply;
    }

    const Bytes notes = Bytes(36, 0x10);
    const Bytes message = x47390_midi::makeTuneOctWrite(0, 0x0135, 0x7F, notes.data());
    const Bytes ack = {0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x23, 0xF7};
    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric = platform::midi::VirtualMidiFabric::create();
    std::shared_ptr<platform::midi::VirtualMidiFabric::Device> device;
    midi::MidiDeviceManager* manager = nullptr;
    std::atomic<int> heard{0};
};
} // namespace

TEST_F(ExchangeTest, TheInstrumentGoingEndsTheWaitForItsReply)
{
    ProbeTask task(&manager->getMidi(), 0);
    const auto reply = askWhile(task,
                                [&]
                                {
                                    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return heard == 1; }, waitMs));
                                    fabric->removeDevice(device);
                                    device = nullptr;
                                });
    EXPECT_EQ(reply.type, x47390_midi::replyOther); // no reply: the exchange's time-out result
    EXPECT_TRUE(manager->getMidi().isWaitingForEndpoint());

    // Gone, the port refuses the next message: no reply, at once.
    const auto next = askWhile(task, [] {});
    EXPECT_EQ(next.type, x47390_midi::replyOther);
}

TEST_F(ExchangeTest, ASetupChangeThatTakesNothingAwayLetsTheWaitGoOn)
{
    ProbeTask task(&manager->getMidi(), 0);
    const auto reply = askWhile(task,
                                [&]
                                {
                                    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return heard == 1; }, waitMs));
                                    int changes = 0;
                                    struct Counter : CJQZMidiListener
                                    {
                                        int& count;
                                        explicit Counter(int& c) : count(c) {}
                                        void handleMidiSetupChanged(CJQZMidi&) override { ++count; }
                                    } counter(changes);
                                    manager->getMidi().addListener(&counter);
                                    auto other = fabric->addDevice("Other", {"Out"}, {"In"});
                                    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes == 1; }));
                                    manager->getMidi().removeListener(&counter);
                                    device->sendFromSource(0, ack);
                                });
    EXPECT_EQ(reply.type, x47390_midi::replyAck);
}

TEST_F(ExchangeTest, AnInstrumentBackBeforeTheSetupChangeWasHandledGetsTheMessage)
{
    // It goes and comes back at once: the send finds its old port refused and uses the port opened again.
    fabric->removeDevice(device);
    plug();
    ProbeTask task(&manager->getMidi(), 0);
    const auto reply = askWhile(task,
                                [&]
                                {
                                    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return heard == 1; }, waitMs));
                                    device->sendFromSource(0, ack);
                                });
    EXPECT_EQ(reply.type, x47390_midi::replyAck);
    EXPECT_EQ(manager->getMidi().getNumEndpointLosses(), 1);
    EXPECT_FALSE(manager->getMidi().isWaitingForEndpoint());
}
