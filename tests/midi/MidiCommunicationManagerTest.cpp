#include "midi/MidiCommunicationManager.h"
#include "data/ApplicationUndoManager.h"
#include "data/CurrentProgramData.h"
#include "data/DataCenter.h"
#include "midi/MidiCommunicationDialog.h"
#include "midi/MidiDeviceManager.h"
#include "midi/SysExMessages.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/FabricInstrument.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using simulator::MessageKind;
using x47390_midi::MidiCommunicationManager;

namespace
{
x47390_data::ProgramData programNamed(const juce::String& name)
{
    x47390_data::ProgramData program;
    program.setName(name);
    return program;
}

simulator::Bytes binaryOf(const x47390_data::ProgramData& program)
{
    return simulator::Bytes(program.binary.begin(), program.binary.end());
}

struct ProbeProcess : midi::MidiCommunicationProcess
{
    int execute() override { return body ? body() : 0; }
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override { return "Probe"; }
    bool isCancellable() override { return false; }
    std::function<int()> body;
};

// The simulated instrument on a virtual fabric, its ports open on the port object as after a first transfer.
struct ManagerTest : ::testing::Test
{
    void SetUp() override
    {
        platform::midi::MidiBackend::setDefault(fabric);
        device = midi::MidiDeviceManager::getInstance();
        device->familyCode = 0x0135;
        device->isAutoScan = false;
        device->midiInPortName = device->midiOutPortName = "sonavire - Port 1";
        ASSERT_TRUE(device->getMidi().openInput(0));
        ASSERT_TRUE(device->getMidi().openOutput(0));
        device->isConnected = true;
        manager = MidiCommunicationManager::getInstance();
    }

    void TearDown() override
    {
        identityRelease.signal();
        delete MidiCommunicationManager::getInstanceWithoutCreating();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        testsupport::drainMessageLoop();
        platform::midi::MidiBackend::setDefault(nullptr);
    }

    bool sendersIdle()
    {
        return !manager->getProgramSender().isThreadRunning() && !manager->getTuneScaleSender().isThreadRunning() &&
               !manager->getTuneOctSender().isThreadRunning();
    }

    bool waitUntilIdle()
    {
        return testsupport::runMessageLoopUntil([&] { return sendersIdle(); });
    }

    // The programs that reached the instrument's edit buffer, in order.
    std::vector<simulator::Bytes> currentProgramMessages()
    {
        std::vector<simulator::Bytes> found;
        for (const auto& received : instrument.getReceived())
            if (received.kind == MessageKind::currentProgram)
                found.push_back(received.bytes);
        return found;
    }

    simulator::Bytes currentProgramMessage(const x47390_data::ProgramData& program)
    {
        return x47390_midi::makeCurrentProgram(0, 0x0135, program.binary.data());
    }

    // The instrument takes each identity request only once identityRelease is signalled; identityHeld is
    // signalled as one arrives. A send is then surely under way.
    void holdIdentityRequests()
    {
        identityRelease.reset();
        attached.getDevice().setReceiver(
            [this](int, const std::uint8_t* data, size_t size)
            {
                if (size > 1 && data[1] == 0x7E)
                {
                    identityHeld.signal();
                    identityRelease.wait(-1);
                }
                instrument.receiveBytes(data, size);
            });
    }

    juce::WaitableEvent identityHeld;
    juce::WaitableEvent identityRelease{true};

    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric = platform::midi::VirtualMidiFabric::create();
    simulator::SimulatedInstrument instrument;
    simulator::FabricInstrument attached{fabric, instrument};
    midi::MidiDeviceManager* device = nullptr;
    MidiCommunicationManager* manager = nullptr;
};
} // namespace

TEST_F(ManagerTest, SendsTheCurrentProgramInTheBackground)
{
    const auto program = programNamed("Background");
    manager->transmitCurrentProgram(program);
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(instrument.getCount(MessageKind::identityRequest), 1);
    EXPECT_EQ(instrument.getCurrentProgram(), binaryOf(program));
    EXPECT_EQ(currentProgramMessages(), std::vector<simulator::Bytes>{currentProgramMessage(program)});
}

TEST_F(ManagerTest, ThreeQuickSelectionsSendTheFirstAndTheThird)
{
    holdIdentityRequests();
    const auto first = programNamed("First"), second = programNamed("Second"), third = programNamed("Third");
    manager->transmitCurrentProgram(first);
    ASSERT_TRUE(identityHeld.wait(15000));
    manager->transmitCurrentProgram(second);
    manager->transmitCurrentProgram(third);
    identityRelease.signal();
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(currentProgramMessages(),
              std::vector<simulator::Bytes>({currentProgramMessage(first), currentProgramMessage(third)}));
    EXPECT_EQ(instrument.getCurrentProgram(), binaryOf(third));
}

TEST_F(ManagerTest, TuningsTravelToTheEditBufferWithoutTheirTexts)
{
    x47390_data::TuneScaleData scale;
    for (size_t i = 0; i < scale.notes.size(); i += 3)
        scale.notes[i] = std::uint8_t((i / 3 + 2) & 0x7F);
    scale.updateHash();
    scale.information.comment = "stays here";
    x47390_data::TuneOctData octave;
    octave.notes[3] = 0x40;
    octave.updateHash();
    const auto program = programNamed("Together");

    // Handed over at one moment, the three are sent concurrently by their own senders.
    manager->transmitCurrentProgram(program);
    manager->transmitCurrentTuneScale(scale);
    manager->transmitCurrentTuneOct(octave);
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_EQ(instrument.getCurrentProgram(), binaryOf(program));
    EXPECT_EQ(instrument.getCurrentScale(), simulator::Bytes(scale.notes.begin(), scale.notes.end()));
    EXPECT_EQ(instrument.getCurrentOctave(), simulator::Bytes(octave.notes.begin(), octave.notes.end()));
    EXPECT_EQ(instrument.getCount(MessageKind::currentScale), 1);
    EXPECT_EQ(instrument.getCount(MessageKind::currentOctave), 1);
    EXPECT_TRUE(manager->getPendingTuneScale().information.comment.isEmpty());
    for (const auto& received : instrument.getReceived())
    {
        if (received.kind == MessageKind::currentScale)
        {
            EXPECT_EQ(received.bytes[7], x47390_midi::editBufferIndex);
        }
    }
}

TEST_F(ManagerTest, ATransferWaitsForTheSendUnderWayAndDropsWhatIsPending)
{
    holdIdentityRequests();
    manager->transmitCurrentProgram(programNamed("Under way"));
    ASSERT_TRUE(identityHeld.wait(15000));
    manager->transmitCurrentProgram(programNamed("Pending"));
    // The send under way is let go only once the transfer has begun to stop the senders.
    std::thread releaser(
        [&]
        {
            while (!manager->getProgramSender().threadShouldExit())
                std::this_thread::yield();
            identityRelease.signal();
        });

    manager->isCommunicating = true;
    std::atomic<int> sentBeforeTransfer{-1};
    juce::WaitableEvent observed;
    ProbeProcess transfer;
    transfer.body = [&]
    {
        sentBeforeTransfer = instrument.getCount(MessageKind::currentProgram);
        observed.wait(5000);
        return 0;
    };
    bool modalWhileRunning = false;
    juce::Timer::callAfterDelay(1,
                                [&]
                                {
                                    modalWhileRunning = ui::ModalDialogState::getInstance()->isModalDialogOpen();
                                    observed.signal();
                                });
    EXPECT_EQ(manager->executeProcess(&transfer), 0);
    releaser.join();
    EXPECT_TRUE(modalWhileRunning);
    EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
    EXPECT_EQ(sentBeforeTransfer, 1); // the send under way had ended when the transfer started

    // A selection during the transfer is never sent, not even afterwards.
    manager->transmitCurrentProgram(programNamed("During"));
    manager->isCommunicating = false;
    testsupport::drainMessageLoop();
    EXPECT_TRUE(sendersIdle());
    EXPECT_EQ(currentProgramMessages(),
              std::vector<simulator::Bytes>{currentProgramMessage(programNamed("Under way"))});

    // Selecting it again sends it.
    manager->transmitCurrentProgram(programNamed("During"));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(instrument.getCurrentProgram(), binaryOf(programNamed("During")));
}

// The port goes only once a background send under way through it has ended.
TEST_F(ManagerTest, ThePortOutlivesTheSendUnderWay)
{
    holdIdentityRequests();
    manager->transmitCurrentProgram(programNamed("Under way"));
    ASSERT_TRUE(identityHeld.wait(testsupport::hangMs));
    // The send is let go once the sender is told to stop, or after a hang's time when nothing stops it.
    std::atomic<bool> checked{false};
    std::thread releaser(
        [&]
        {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(testsupport::hangMs);
            while (!manager->getProgramSender().threadShouldExit() && !checked && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            identityRelease.signal();
        });
    delete midi::MidiDeviceManager::getInstanceWithoutCreating();
    EXPECT_FALSE(manager->getProgramSender().isThreadRunning());
    checked = true;
    releaser.join();
}

TEST_F(ManagerTest, ExecuteProcessReportsFailureAndUnopenablePorts)
{
    ProbeProcess failing;
    failing.body = [&]
    {
        failing.setStatusMessage(getCommunicationErrorMessage(3));
        return 3;
    };
    auto clickOkWhenShown = []
    {
        if (auto* window = dynamic_cast<midi::DialogWithNoCloseButton*>(
                juce::ModalComponentManager::getInstance()->getModalComponent(0)))
            for (auto* c : window->getContentComponent()->getChildren())
                if (c->getName() == "Button" && c->isVisible() && c->isEnabled())
                    if (auto* button = dynamic_cast<juce::Button*>(c))
                        button->triggerClick();
    };
    struct Clicker : juce::Timer
    {
        std::function<void()> fn;
        void timerCallback() override { fn(); }
    } clicker;
    clicker.fn = clickOkWhenShown;
    clicker.startTimer(10);
    EXPECT_EQ(manager->executeProcess(&failing), 1);

    // Ports that cannot be opened: the process never runs.
    device->getMidi().closeInput();
    device->getMidi().closeOutput();
    device->isConnected = false;
    device->midiInPortName = "gone";
    bool ran = false;
    ProbeProcess probe;
    probe.body = [&]
    {
        ran = true;
        return 0;
    };
    EXPECT_EQ(manager->executeProcess(&probe), 1);
    EXPECT_FALSE(ran);
}

TEST_F(ManagerTest, WithoutAnOutputASendEndsQuietlyAfterTheTimeOut)
{
    device->getMidi().closeOutput();
    const auto start = juce::Time::getMillisecondCounter();
    manager->transmitCurrentProgram(programNamed("Nowhere"));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_GE(juce::Time::getMillisecondCounter() - start, 2900u);
    EXPECT_TRUE(instrument.getReceived().empty());
}

TEST_F(ManagerTest, TheCurrentProgramHolderSendsTheSelectedProgram)
{
    auto& library = x47390_data::DataCenter::getInstance()->getLibraryData();
    library.getProgramData(7).setName("Seventh");
    library.getProgramData(9).setName("Ninth");
    auto* holder = x47390_data::CurrentProgramData::getInstance(); // starts at program 0, sending nothing

    holder->setLibraryProgram(7);
    ASSERT_TRUE(waitUntilIdle());
    holder->setLibraryProgram(7); // already current: nothing goes out
    holder->clearProgram();       // no program: nothing goes out
    ASSERT_TRUE(waitUntilIdle());
    holder->setLibraryProgram(9);
    ASSERT_TRUE(waitUntilIdle());

    EXPECT_EQ(currentProgramMessages(),
              std::vector<simulator::Bytes>({currentProgramMessage(library.getProgramData(7)),
                                             currentProgramMessage(library.getProgramData(9))}));
    EXPECT_EQ(instrument.getCurrentProgram(), binaryOf(library.getProgramData(9)));

    delete x47390_data::CurrentProgramData::getInstanceWithoutCreating();
    delete ui::SelectedProgramStatus::getInstanceWithoutCreating();
    delete x47390_data::DataCenter::getInstanceWithoutCreating();
    delete application::ApplicationUndoManager::getInstanceWithoutCreating();
}
