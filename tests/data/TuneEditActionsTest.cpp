#include "data/TuneEditActions.h"
#include "tests/data/EditTestSupport.h"

using namespace edittest;
using namespace x47390_action;
using x47390_data::CurrentTuneOctData;
using x47390_data::CurrentTuneScaleData;

namespace
{
class TuneEditActions : public EditFixture
{
};

x47390_data::TuneOctData makeOctave(juce::uint8 firstNote, const char* programmer)
{
    x47390_data::TuneOctData o;
    o.notes[0] = firstNote;
    o.notes[4] = 0x33;
    o.updateHash();
    o.information.programmer = programmer;
    o.information.comment = "file comment";
    return o;
}
} // namespace

TEST_F(TuneEditActions, SizesInUnits)
{
    EXPECT_EQ(SetTuneOctDataAction(0, x47390_data::TuneOctData()).getSizeInUnits(), 180);
    EXPECT_EQ(SetTuneScaleDataAction(0, x47390_data::TuneScaleData()).getSizeInUnits(), 868);
    EXPECT_EQ(SetTuneOctEditAction(0).getSizeInUnits(), 128);
    EXPECT_EQ(SetTuneScaleEditAction(0).getSizeInUnits(), 820);
}

TEST_F(TuneEditActions, LoadedOctaveMovesNotesAndDigestOnly)
{
    auto& slot = library().getTuneOctData(2);
    slot.information.programmer = "own author";
    slot.information.comment = "own comment";
    const auto oldNotes = slot.notes;
    const auto oldMd5 = slot.md5;
    const auto loaded = makeOctave(11, "file author");

    step("LoadTuneOct", new SetTuneOctDataAction(2, loaded));
    EXPECT_EQ(slot.notes, loaded.notes);
    EXPECT_EQ(slot.md5, loaded.md5);
    EXPECT_EQ(slot.information.programmer, "own author");
    EXPECT_EQ(slot.information.comment, "own comment");
    EXPECT_TRUE(isEdited());

    undoManager().undo();
    EXPECT_EQ(slot.notes, oldNotes);
    EXPECT_EQ(slot.md5, oldMd5);
    EXPECT_EQ(slot.information.programmer, "own author");
    EXPECT_FALSE(isEdited());
}

TEST_F(TuneEditActions, ReceivedScaleAndTheSpareForAnUnknownSlot)
{
    x47390_data::TuneScaleData received;
    received.notes[3 * 64] = 70;
    received.updateHash();

    step("Receive Tune Scale", new SetTuneScaleDataAction(5, received));
    EXPECT_EQ(library().getTuneScaleData(5).notes, received.notes);
    EXPECT_EQ(library().getTuneScaleData(5).md5, received.md5);

    std::vector<juce::String> before;
    for (int i = 0; i < 6; ++i)
        before.push_back(library().getTuneScaleData(i).md5);
    const auto out = stdoutOf([&] { step("LoadTuneScale", new SetTuneScaleDataAction(6, received)); });
    EXPECT_EQ(out, "Tune Scale Number Error: 6\n");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(library().getTuneScaleData(i).md5, before[(size_t) i]);
    stdoutOf([&] { EXPECT_EQ(library().getTuneScaleData(6).notes, received.notes); });
}

TEST_F(TuneEditActions, TwoDragsOnAScaleUndoToTheFirst)
{
    CurrentTuneScaleData::getInstance();
    auto& buffer = CurrentTuneScaleData::editBuffer;
    buffer = x47390_data::identityTuneScale;

    buffer[3 * 60 + 1] = 0x10;
    step("PasteTuneScale", new SetTuneScaleEditAction(3));
    const auto afterFirst = library().getTuneScaleData(3).notes;
    const auto afterFirstMd5 = library().getTuneScaleData(3).md5;
    EXPECT_EQ(afterFirst, buffer);
    EXPECT_EQ(afterFirstMd5, md5Of(afterFirst.data(), 384));

    buffer[3 * 61 + 2] = 0x22;
    step("PasteTuneScale", new SetTuneScaleEditAction(3));
    EXPECT_EQ(library().getTuneScaleData(3).notes[3 * 61 + 2], 0x22);

    undoManager().undo();
    EXPECT_EQ(library().getTuneScaleData(3).notes, afterFirst);
    EXPECT_EQ(library().getTuneScaleData(3).md5, afterFirstMd5);
    EXPECT_EQ(buffer[3 * 61 + 2], 0x22); // undo leaves the edit buffer alone

    undoManager().redo(); // the snapshot goes back into the buffer and the slot
    buffer = {};
    undoManager().undo();
    undoManager().redo();
    EXPECT_EQ(buffer[3 * 61 + 2], 0x22);
    EXPECT_EQ(library().getTuneScaleData(3).notes[3 * 61 + 2], 0x22);
}

TEST_F(TuneEditActions, EditActionMasksTheBufferToSevenBits)
{
    CurrentTuneOctData::getInstance();
    CurrentTuneOctData::editBuffer = x47390_data::identityTuneOct;
    CurrentTuneOctData::editBuffer[3] = 0x85;
    step("PasteTuneOct", new SetTuneOctEditAction(1));
    EXPECT_EQ(library().getTuneOctData(1).notes[3], 0x05);
    EXPECT_EQ(library().getTuneOctData(1).md5, md5Of(library().getTuneOctData(1).notes.data(), 36));
}

TEST_F(TuneEditActions, SnapshotIsTakenWhenTheActionIsBuilt)
{
    CurrentTuneOctData::getInstance();
    CurrentTuneOctData::editBuffer = x47390_data::identityTuneOct;
    CurrentTuneOctData::editBuffer[0] = 9;
    auto* action = new SetTuneOctEditAction(0);
    CurrentTuneOctData::editBuffer[0] = 1;
    step("PasteTuneOct", action);
    EXPECT_EQ(library().getTuneOctData(0).notes[0], 9);
    EXPECT_EQ(CurrentTuneOctData::editBuffer[0], 9);
}

TEST_F(TuneEditActions, LiveTransmissionHandsOverOnPerformOnly)
{
    CurrentTuneScaleData::getInstance();
    CurrentTuneScaleData::editBuffer = x47390_data::identityTuneScale;
    CurrentTuneScaleData::editBuffer[0] = 1;

    step("PasteTuneScale", new SetTuneScaleEditAction(2));
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 0); // live transmission still off

    tuningLiveTransmission = true;
    CurrentTuneScaleData::editBuffer[0] = 2;
    step("PasteTuneScale", new SetTuneScaleEditAction(2));
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 1);
    EXPECT_EQ(midi().getPendingTuneScale().notes, library().getTuneScaleData(2).notes);
    EXPECT_EQ(midi().getPendingTuneScale().md5, library().getTuneScaleData(2).md5);

    undoManager().undo();
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 1);
    undoManager().redo();
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 2);
    EXPECT_EQ(midi().getNumTuneOctHandOvers(), 0);
}

TEST_F(TuneEditActions, AnEditActionOutsideTheSlotsChangesAndRestoresOnlyTheSpare)
{
    CurrentTuneOctData::getInstance();
    CurrentTuneOctData::editBuffer = x47390_data::identityTuneOct;
    CurrentTuneOctData::editBuffer[6] = 0x44;
    std::vector<juce::String> before;
    for (int i = 0; i < 6; ++i)
        before.push_back(library().getTuneOctData(i).md5);
    x47390_data::TuneOctNotes spareBefore;
    stdoutOf([&] { spareBefore = library().getTuneOctData(6).notes; });

    const auto out = stdoutOf([&] { step("PasteTuneOct", new SetTuneOctEditAction(6)); });
    EXPECT_EQ(out, "Tune Oct Number Error: 6\n");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(library().getTuneOctData(i).md5, before[(size_t) i]) << i;
    stdoutOf([&] { EXPECT_EQ(library().getTuneOctData(6).notes[6], 0x44); });

    stdoutOf([&] { undoManager().undo(); });
    stdoutOf([&] { EXPECT_EQ(library().getTuneOctData(6).notes, spareBefore); });
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(library().getTuneOctData(i).md5, before[(size_t) i]) << i;
}

TEST_F(TuneEditActions, EditedFlagComesBackAfterUndo)
{
    for (const bool before : {false, true})
    {
        resetSingletons();
        setEdited(before);
        CurrentTuneOctData::getInstance()->pasteTuneOct();
        EXPECT_TRUE(isEdited());
        undoManager().undo();
        EXPECT_EQ(isEdited(), before);
    }
}
