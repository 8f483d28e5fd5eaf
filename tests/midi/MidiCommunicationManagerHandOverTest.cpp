#include "midi/MidiCommunicationManager.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"

#include <gtest/gtest.h>

using x47390_midi::MidiCommunicationManager;

namespace
{
// Hand-overs really go out, to an empty virtual MIDI system.
struct FreshManager : ::testing::Test
{
    FreshManager()
    {
        platform::midi::MidiBackend::setDefault(fabric);
        midi::MidiDeviceManager::getInstance();
    }
    ~FreshManager() override
    {
        delete MidiCommunicationManager::getInstanceWithoutCreating();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(nullptr);
    }

    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric = platform::midi::VirtualMidiFabric::create();
    MidiCommunicationManager* manager = MidiCommunicationManager::getInstance();
};
} // namespace

TEST_F(FreshManager, ProgramHandOverCopiesTheWholeProgram)
{
    x47390_data::ProgramData program;
    program.setName("Lead");
    program.information.programmer = "me";
    manager->transmitCurrentProgram(program);
    program.setName("Changed later");

    EXPECT_EQ(manager->getNumProgramHandOvers(), 1);
    const auto pending = manager->getPendingProgram();
    EXPECT_EQ(pending.getName(), "Lead        ");
    EXPECT_EQ(pending.information.programmer, "me");
    EXPECT_NE(pending.md5, program.md5);
}

TEST_F(FreshManager, TuningHandOversCopyNotesAndDigestButNoTexts)
{
    x47390_data::TuneScaleData scale;
    scale.notes[0] = 5;
    scale.updateHash();
    scale.information.comment = "not sent";
    x47390_data::TuneOctData octave;
    octave.notes[35] = 9;
    octave.updateHash();
    octave.information.programmer = "not sent";

    manager->transmitCurrentTuneScale(scale);
    manager->transmitCurrentTuneOct(octave);

    EXPECT_EQ(manager->getNumTuneScaleHandOvers(), 1);
    EXPECT_EQ(manager->getNumTuneOctHandOvers(), 1);
    EXPECT_EQ(manager->getPendingTuneScale().notes, scale.notes);
    EXPECT_EQ(manager->getPendingTuneScale().md5, scale.md5);
    EXPECT_TRUE(manager->getPendingTuneScale().information.comment.isEmpty());
    EXPECT_EQ(manager->getPendingTuneOct().notes, octave.notes);
    EXPECT_EQ(manager->getPendingTuneOct().md5, octave.md5);
    EXPECT_TRUE(manager->getPendingTuneOct().information.programmer.isEmpty());
}

TEST_F(FreshManager, HandOversDuringATransferAreDropped)
{
    manager->isCommunicating = true;
    x47390_data::ProgramData program;
    program.setName("Dropped");
    manager->transmitCurrentProgram(program);
    manager->transmitCurrentTuneScale(x47390_data::TuneScaleData());
    manager->transmitCurrentTuneOct(x47390_data::TuneOctData());
    manager->isCommunicating = false;

    EXPECT_EQ(manager->getNumProgramHandOvers(), 0);
    EXPECT_EQ(manager->getNumTuneScaleHandOvers(), 0);
    EXPECT_EQ(manager->getNumTuneOctHandOvers(), 0);
    EXPECT_EQ(manager->getPendingProgram().getName(), "Init Program");
}
