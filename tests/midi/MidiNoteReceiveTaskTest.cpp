#include "midi/MidiNoteReceiveTask.h"
#include "data/TuningSelection.h"
#include "midi/CJQZMidiMessage.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using platform::midi::VirtualMidiFabric;

namespace
{
struct NoteRecorder : KbdGuidDisplayComponentListener
{
    void noteStateChanged(int note) override { notes.push_back(note); }
    std::vector<int> notes;
};

// A keyboard on a virtual fabric whose output reaches the port object's open input.
struct NoteInputTest : ::testing::Test
{
    void SetUp() override
    {
        platform::midi::MidiBackend::setDefault(fabric);
        keyboard = fabric->addDevice("Keys", {"Out"}, {"In"});
        auto* manager = midi::MidiDeviceManager::getInstance();
        ASSERT_TRUE(manager->getMidi().openInput(0));
        kbdGuidNoteStates.fill(0);
        octGuidNoteStates.fill(0);
        currentTuningSlot = 6;
        currentTuningPage = 5;
        receiver = std::make_unique<x47390_midi::NoteOnOffReceiver>();
        receiver->addListener(&recorder);
    }

    void TearDown() override
    {
        receiver.reset();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(nullptr);
        currentTuningSlot = 6;
        currentTuningPage = 5;
    }

    // Plays the bytes and waits until the listener has heard `expected` more notes (and the fabric is idle).
    void play(const VirtualMidiFabric::Bytes& bytes, size_t expected)
    {
        const auto before = recorder.notes.size();
        keyboard->sendFromSource(0, bytes);
        ASSERT_TRUE(fabric->waitUntilIdle());
        ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return recorder.notes.size() >= before + expected; }));
        testsupport::drainMessageLoop();
        EXPECT_EQ(recorder.notes.size(), before + expected);
    }

    std::shared_ptr<VirtualMidiFabric> fabric = VirtualMidiFabric::create();
    std::shared_ptr<VirtualMidiFabric::Device> keyboard;
    NoteRecorder recorder;
    std::unique_ptr<x47390_midi::NoteOnOffReceiver> receiver;
};

CJQZMidiMessage shortMessage(std::uint8_t status, std::uint8_t note, std::uint8_t velocity)
{
    const std::uint8_t bytes[] = {status, note, velocity};
    return CJQZMidiMessage(bytes, 3);
}
} // namespace

TEST_F(NoteInputTest, NotesOfEveryChannelLightAndDarkenBothTables)
{
    for (std::uint8_t channel : {0, 7, 15})
    {
        SCOPED_TRACE(channel);
        play({std::uint8_t(0x90 | channel), 61, 100}, 1);
        EXPECT_EQ(kbdGuidNoteStates[61], 1);
        EXPECT_EQ(octGuidNoteStates[1], 1);

        play({std::uint8_t(0x80 | channel), 61, 64}, 1);
        EXPECT_EQ(kbdGuidNoteStates[61], 0);
        EXPECT_EQ(octGuidNoteStates[1], 0);

        // A note-on with velocity 0 is a note-off.
        play({std::uint8_t(0x90 | channel), 62, 1, std::uint8_t(0x90 | channel), 63, 1}, 2);
        play({std::uint8_t(0x90 | channel), 62, 0}, 1);
        EXPECT_EQ(kbdGuidNoteStates[62], 0);
        EXPECT_EQ(kbdGuidNoteStates[63], 1);
        EXPECT_EQ(octGuidNoteStates[2], 0);
        EXPECT_EQ(octGuidNoteStates[3], 1);
        play({std::uint8_t(0x80 | channel), 63, 0}, 1);
    }
    EXPECT_EQ(recorder.notes,
              std::vector<int>({61, 61, 62, 63, 62, 63, 61, 61, 62, 63, 62, 63, 61, 61, 62, 63, 62, 63}));
}

TEST_F(NoteInputTest, PitchClassFollowsTheShownPageOnlyForUserScales)
{
    struct Case
    {
        std::uint8_t slot, page, note;
        bool pitchClassLit;
    };
    const Case cases[] = {
        {6, 5, 61, true},                       // user scale, note on page 5 (60 to 71)
        {6, 5, 73, false},                      // user scale, note on page 6
        {6, 5, 40, false},   {11, 3, 40, true}, // page 3 holds 36 to 47
        {11, 10, 127, true}, {0, 5, 73, true},  // user octaves count every note
        {5, 0, 40, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << int(c.slot) << "/" << int(c.page) << "/" << int(c.note));
        kbdGuidNoteStates.fill(0);
        octGuidNoteStates.fill(0);
        currentTuningSlot = c.slot;
        currentTuningPage = c.page;
        play({0x90, c.note, 90}, 1);
        EXPECT_EQ(kbdGuidNoteStates[c.note], 1);
        EXPECT_EQ(octGuidNoteStates[c.note % 12], c.pitchClassLit ? 1 : 0);
        EXPECT_EQ(std::count(kbdGuidNoteStates.begin(), kbdGuidNoteStates.end(), 1), 1);
        play({0x80, c.note, 0}, 1);
    }
}

TEST_F(NoteInputTest, StatesAreNotCountedPerPitchClass)
{
    currentTuningSlot = 2;
    play({0x90, 61, 90, 0x90, 73, 90}, 2);
    play({0x80, 73, 0}, 1);
    // 61 still sounds, but the release of 73 cleared the class they share.
    EXPECT_EQ(kbdGuidNoteStates[61], 1);
    EXPECT_EQ(kbdGuidNoteStates[73], 0);
    EXPECT_EQ(octGuidNoteStates[1], 0);
}

TEST_F(NoteInputTest, OtherMessagesChangeNothing)
{
    // Controller, pitch bend, program change, channel pressure, poly pressure, a system exclusive, a clock byte.
    play({0xB0, 61, 127, 0xE3, 0, 64, 0xC1, 61, 0xD2, 61, 0xA0, 61, 99, 0xF0, 0x7D, 0x01, 0xF7, 0xF8}, 0);
    EXPECT_TRUE(recorder.notes.empty());
    EXPECT_EQ(std::count(kbdGuidNoteStates.begin(), kbdGuidNoteStates.end(), 1), 0);
    EXPECT_EQ(std::count(octGuidNoteStates.begin(), octGuidNoteStates.end(), 1), 0);
}

TEST_F(NoteInputTest, ListenersHearEveryNoteInOrderUntilRemoved)
{
    NoteRecorder second;
    receiver->addListener(&second);
    play({0x90, 1, 1, 0x90, 2, 1, 0x80, 1, 0}, 3);
    EXPECT_EQ(second.notes, std::vector<int>({1, 2, 1}));
    receiver->removeListener(&second);
    play({0x80, 2, 0}, 1);
    EXPECT_EQ(second.notes.size(), 3u);
}

TEST_F(NoteInputTest, DeletedReceiverHearsNothingMore)
{
    receiver.reset();
    keyboard->sendFromSource(0, {0x90, 50, 50});
    ASSERT_TRUE(fabric->waitUntilIdle());
    testsupport::drainMessageLoop();
    EXPECT_EQ(kbdGuidNoteStates[50], 0);
    EXPECT_TRUE(recorder.notes.empty());
}

TEST_F(NoteInputTest, ANewReceiverDropsNotesNotYetDrained)
{
    auto& port = midi::MidiDeviceManager::getInstance()->getMidi();
    receiver->handleIncomingShortMessage(port, shortMessage(0x90, 10, 1));
    receiver.reset(); // never drained

    receiver = std::make_unique<x47390_midi::NoteOnOffReceiver>();
    receiver->addListener(&recorder);
    receiver->handleIncomingShortMessage(port, shortMessage(0x90, 20, 1));
    testsupport::drainMessageLoop();
    EXPECT_EQ(recorder.notes, std::vector<int>({20}));
    EXPECT_EQ(kbdGuidNoteStates[10], 0);
    EXPECT_EQ(kbdGuidNoteStates[20], 1);
}

TEST_F(NoteInputTest, AFullRingKeepsWhatItHoldsAndDropsTheNewest)
{
    auto& port = midi::MidiDeviceManager::getInstance()->getMidi();
    // Far more notes than the ring holds before the message thread drains: the ring keeps the oldest ones instead of
    // wrapping onto itself and reading as empty.
    for (int i = 0; i < 600; ++i)
        receiver->handleIncomingShortMessage(port, shortMessage(0x90, std::uint8_t(i % 128), 1));
    testsupport::drainMessageLoop();
    ASSERT_EQ(recorder.notes.size(), size_t(x47390_midi::MidiNoteReceiveTask::ringSize - 1));
    for (size_t i = 0; i < recorder.notes.size(); ++i)
        ASSERT_EQ(recorder.notes[i], int(i % 128));

    // Drained, the ring takes notes again.
    receiver->handleIncomingShortMessage(port, shortMessage(0x80, 5, 0));
    testsupport::drainMessageLoop();
    EXPECT_EQ(recorder.notes.back(), 5);
    EXPECT_EQ(kbdGuidNoteStates[5], 0);
}
