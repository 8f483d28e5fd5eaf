#include "data/ProgramEditActions.h"
#include "tests/data/EditTestSupport.h"

using namespace edittest;
using namespace x47390_action;
using x47390_data::ProgramData;

namespace
{
ProgramData makeProgram(const char* name, const char* programmer, const char* comment)
{
    ProgramData p;
    p.setName(name);
    p.binary[100] = 0x42;
    p.updateHash();
    p.information.programmer = programmer;
    p.information.comment = comment;
    return p;
}

void expectSameProgram(const ProgramData& a, const ProgramData& b)
{
    EXPECT_EQ(a.binary, b.binary);
    EXPECT_EQ(a.information.programmer, b.information.programmer);
    EXPECT_EQ(a.information.comment, b.information.comment);
    EXPECT_EQ(a.md5, b.md5);
}

class ProgramEditActions : public EditFixture
{
};
} // namespace

TEST_F(ProgramEditActions, SizesInUnits)
{
    x47390_data::LibraryData lib;
    EXPECT_EQ(InitializeProgramDataAction(0).getSizeInUnits(), 388);
    EXPECT_EQ(SetProgramDataAction(0, ProgramData()).getSizeInUnits(), 772);
    EXPECT_EQ(SetProgramNameAction(0, "x").getSizeInUnits(), 408);
    EXPECT_EQ(SetProgramTuningAction(0, 1).getSizeInUnits(), 390);
    EXPECT_EQ(SetFavoriteParameterAction(0, 0, 1).getSizeInUnits(), 20);
    EXPECT_EQ(SetLibraryDataAction(lib).getSizeInUnits(), 392368);
}

TEST_F(ProgramEditActions, ClearKeepsTheTextsAndUndoBringsTheBinaryBack)
{
    library().getProgramData(7) = makeProgram("Bass", "Ann", "warm");
    const ProgramData before = library().getProgramData(7);

    ASSERT_TRUE(step("ClearProgramData", new InitializeProgramDataAction(7)));
    const auto& p = library().getProgramData(7);
    EXPECT_EQ(p.binary, x47390_data::initProgramTemplate);
    EXPECT_EQ(p.md5, md5Of(x47390_data::initProgramTemplate.data(), 336));
    EXPECT_EQ(p.getName(), "Init Program");
    EXPECT_EQ(p.information.programmer, "Ann");
    EXPECT_EQ(p.information.comment, "warm");

    ASSERT_TRUE(undoManager().undo());
    expectSameProgram(library().getProgramData(7), before);

    ASSERT_TRUE(undoManager().redo());
    EXPECT_EQ(library().getProgramData(7).binary, x47390_data::initProgramTemplate);
}

TEST_F(ProgramEditActions, SetProgramWritesAllFourPartsAndUndoRestoresThem)
{
    library().getProgramData(3) = makeProgram("Old", "a", "b");
    const ProgramData before = library().getProgramData(3);
    ProgramData incoming = makeProgram("New", "c", "d");
    incoming.binary[200] = 7;
    incoming.md5 = "carried unchanged, not recomputed";

    auto* action = new SetProgramDataAction(3, incoming);
    incoming.setName("Later edit"); // the action holds its own copy
    ASSERT_TRUE(step("PasteProgramData", action));

    const auto& p = library().getProgramData(3);
    EXPECT_EQ(p.getName(), "New         ");
    EXPECT_EQ(p.binary[200], 7);
    EXPECT_EQ(p.information.programmer, "c");
    EXPECT_EQ(p.information.comment, "d");
    EXPECT_EQ(p.md5, "carried unchanged, not recomputed");

    undoManager().undo();
    expectSameProgram(library().getProgramData(3), before);
    undoManager().redo();
    EXPECT_EQ(library().getProgramData(3).getName(), "New         ");
}

TEST_F(ProgramEditActions, NameEditThenPasteUndoneTwiceRestoresTheProgram)
{
    library().getProgramData(10) = makeProgram("Pad", "x", "y");
    const ProgramData before = library().getProgramData(10);

    step("PasteProgramName", new SetProgramNameAction(10, "Shimmer Pad Long"));
    EXPECT_EQ(library().getProgramData(10).getName(), "Shimmer Pad ");
    EXPECT_EQ(library().getProgramData(10).md5, md5Of(library().getProgramData(10).binary.data(), 336));
    EXPECT_EQ(library().getProgramData(10).information.programmer, "x");

    step("PasteProgramData", new SetProgramDataAction(10, makeProgram("Other", "p", "q")));
    undoManager().undo();
    EXPECT_EQ(library().getProgramData(10).getName(), "Shimmer Pad ");
    undoManager().undo();
    expectSameProgram(library().getProgramData(10), before);
}

TEST_F(ProgramEditActions, TuningEditWritesByte51)
{
    const ProgramData before = library().getProgramData(499);
    step("PasteProgramTuning", new SetProgramTuningAction(499, 130));
    const auto& p = library().getProgramData(499);
    EXPECT_EQ(p.binary[51], 130);
    auto expected = before.binary;
    expected[51] = 130;
    EXPECT_EQ(p.binary, expected);
    EXPECT_EQ(p.md5, md5Of(expected.data(), 336));

    undoManager().undo();
    expectSameProgram(library().getProgramData(499), before);
}

TEST_F(ProgramEditActions, ProgramNumberOutOfRangeWritesTheSpare)
{
    const ProgramData incoming = makeProgram("Spare", "s", "t");
    std::vector<juce::String> before;
    for (int i = 0; i < 500; ++i)
        before.push_back(library().getProgramData(i).md5);

    const auto out = stdoutOf([&] { step("LoadProgram", new SetProgramDataAction(500, incoming)); });
    EXPECT_EQ(out, "Program Number Error: 500\n");
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(library().getProgramData(i).md5, before[(size_t) i]);

    std::string spareName;
    const auto again = stdoutOf([&] { spareName = library().getProgramData(-1).getName().toStdString(); });
    EXPECT_EQ(again, "Program Number Error: -1\n");
    EXPECT_EQ(spareName, "Spare       ");

    const auto undoOut = stdoutOf([&] { EXPECT_TRUE(undoManager().undo()); });
    EXPECT_EQ(undoOut, "Program Number Error: 500\n");
}

TEST_F(ProgramEditActions, EditedFlagProtocol)
{
    // (flag before the step, flag after perform, flag after undo, flag after redo)
    struct Case
    {
        bool before, afterPerform, afterUndo, afterRedo;
    };
    for (const auto c : {Case{false, true, false, true}, Case{true, true, true, true}})
    {
        resetSingletons();
        setEdited(c.before);
        step("PasteProgramName", new SetProgramNameAction(1, "Flag"));
        EXPECT_EQ(isEdited(), c.afterPerform);
        undoManager().undo();
        EXPECT_EQ(isEdited(), c.afterUndo);
        undoManager().redo();
        EXPECT_EQ(isEdited(), c.afterRedo);
    }
}

TEST_F(ProgramEditActions, ABurstOfPerformsReachesEachObserverOnce)
{
    DataChangeCounter observer;
    EditedFlagRecorder flag;
    drain();

    undoManager().beginNewTransaction("DragInsert");
    for (int i = 0; i < 500; ++i)
        undoManager().perform(new SetProgramDataAction(i, library().getProgramData(499 - i)));
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
    drain();

    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(flag.calls, std::vector<bool>{true});

    undoManager().undo(); // one step undoes all 500 actions
    drain();
    EXPECT_EQ(observer.calls, 2);
    EXPECT_EQ(flag.calls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(ProgramEditActions, FavoriteSetAndSwap)
{
    auto& live = library().getFavoriteData().entries;
    step("SetFavoriteData", new SetFavoriteParameterAction(1, 2, 42));
    EXPECT_EQ(live[1][2], 42);
    step("SetFavoriteData", new SetFavoriteParameterAction(3, 7, 99));

    step("SwapFavoriteData", new SetFavoriteParameterAction(1, 2, 99), new SetFavoriteParameterAction(3, 7, 42));
    EXPECT_EQ(live[1][2], 99);
    EXPECT_EQ(live[3][7], 42);

    undoManager().undo(); // both entries of the swap
    EXPECT_EQ(live[1][2], 42);
    EXPECT_EQ(live[3][7], 99);

    step("NoAssignFavoriteData", new SetFavoriteParameterAction(1, 2, 500));
    EXPECT_EQ(live[1][2], 500);
    undoManager().undo();
    undoManager().undo();
    undoManager().undo();
    EXPECT_EQ(live[1][2], 500);
    EXPECT_EQ(live[3][7], 500);
    EXPECT_FALSE(isEdited());
}

TEST_F(ProgramEditActions, FavoriteOutsideTheLiveSetIsRefused)
{
    const auto liveBefore = library().getFavoriteData().entries;
    const auto libraryBefore = library().getProgramData(0).md5;
    for (const auto& [bank, entry] : {std::pair{-1, 0}, {4, 0}, {0, -1}, {0, 8}, {100000, 3}})
    {
        EXPECT_FALSE(step("SetFavoriteData", new SetFavoriteParameterAction(bank, entry, 5))) << bank << "/" << entry;
        EXPECT_EQ(library().getFavoriteData().entries, liveBefore);
        EXPECT_FALSE(isEdited());
        EXPECT_FALSE(undoManager().canUndo());
    }
    EXPECT_EQ(library().getProgramData(0).md5, libraryBefore);
}

TEST_F(ProgramEditActions, ReceiveLibraryReplacesTheLibraryButNotTheTuningTexts)
{
    library().getTuneScaleData(2).information.programmer = "scale author";
    library().getTuneOctData(4).information.comment = "octave note";
    library().getProgramData(5) = makeProgram("Mine", "me", "mine");

    x47390_data::LibraryData received;
    received.getProgramData(5) = makeProgram("Theirs", "them", "theirs");
    received.getFavoriteData().entries[0][0] = 5;
    received.getTuneScaleData(2).notes[30] = 77;
    received.getTuneScaleData(2).updateHash();
    received.getTuneScaleData(2).information.programmer = "received author";
    received.getTuneOctData(4).notes[0] = 1;
    received.getTuneOctData(4).updateHash();

    step("Receive Library", new SetLibraryDataAction(received));
    EXPECT_EQ(library().getProgramData(5).getName(), "Theirs      ");
    EXPECT_EQ(library().getProgramData(5).information.comment, "theirs");
    EXPECT_EQ(library().getFavoriteData().entries[0][0], 5);
    EXPECT_EQ(library().getTuneScaleData(2).notes, received.getTuneScaleData(2).notes);
    EXPECT_EQ(library().getTuneScaleData(2).md5, received.getTuneScaleData(2).md5);
    EXPECT_EQ(library().getTuneScaleData(2).information.programmer, "scale author");
    EXPECT_EQ(library().getTuneOctData(4).notes[0], 1);
    EXPECT_EQ(library().getTuneOctData(4).information.comment, "octave note");
    EXPECT_TRUE(isEdited());

    undoManager().undo();
    EXPECT_EQ(library().getProgramData(5).getName(), "Mine        ");
    EXPECT_EQ(library().getFavoriteData().entries[0][0], 500);
    EXPECT_EQ(library().getTuneScaleData(2).notes, x47390_data::identityTuneScale);
    EXPECT_EQ(library().getTuneScaleData(2).information.programmer, "scale author");
    EXPECT_FALSE(isEdited());

    undoManager().redo();
    EXPECT_EQ(library().getProgramData(5).getName(), "Theirs      ");
    EXPECT_TRUE(isEdited());
}

TEST_F(ProgramEditActions, UndoLimitsKeepTheTwentyMostRecentLibrarySteps)
{
    undoManager().setMaxNumberOfStoredUnits(2000000, 20);
    for (const int steps : {20, 21})
    {
        undoManager().clearUndoHistory();
        for (int i = 0; i < steps; ++i)
        {
            x47390_data::LibraryData received;
            received.getFavoriteData().entries[0][0] = i;
            step("Receive Library", new SetLibraryDataAction(received));
        }
        int undoable = 0;
        while (undoManager().undo())
            ++undoable;
        EXPECT_EQ(undoable, 20) << steps << " steps";
        // Undoing all that remain leaves the library of the oldest kept step's predecessor.
        EXPECT_EQ(library().getFavoriteData().entries[0][0], steps == 20 ? 500 : 0);
        while (undoManager().redo())
        {
        }
    }
}

TEST_F(ProgramEditActions, SmallStepsStayUndoableWithinTheUnitLimit)
{
    undoManager().setMaxNumberOfStoredUnits(2000000, 20);
    for (int i = 0; i < 200; ++i)
        step("PasteProgramName", new SetProgramNameAction(i, juce::String(i)));
    int undoable = 0;
    while (undoManager().undo())
        ++undoable;
    EXPECT_EQ(undoable, 200);
}
