#include "data/ProgramEditActions.h"
#include "tests/data/EditTestSupport.h"

using namespace edittest;
using x47390_data::CurrentProgramData;

namespace
{
struct ProgramObserver : x47390_data::CurrentProgramDataObserver
{
    ProgramObserver() { CurrentProgramData::getInstance()->addListener(this); }
    ~ProgramObserver() override
    {
        if (auto* h = CurrentProgramData::getInstanceWithoutCreating())
            h->removeListener(this);
    }
    void currentProgramChanged() override { ++calls; }
    int calls = 0;
};

class CurrentProgram : public EditFixture
{
protected:
    CurrentProgramData& holder() { return *CurrentProgramData::getInstance(); }
    int handOvers() { return midi().getNumProgramHandOvers(); }

    // Two preset libraries whose program 3 carries its library's name.
    void addPresetLibraries()
    {
        auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
        for (const char* name : {"First", "Second"})
        {
            x47390_data::PresetData preset;
            preset.getProgramData(3).setName(name);
            presets.addPresetData(preset);
        }
    }
};
} // namespace

TEST_F(CurrentProgram, StartsAsTheSelectedProgramWithoutHandingItOver)
{
    ui::SelectedProgramStatus::getInstance()->selection = {12};
    EXPECT_EQ(holder().getKind(), CurrentProgramData::libraryProgram);
    EXPECT_EQ(holder().getProgramNumber(), 12);
    EXPECT_EQ(holder().getPresetLibraryNumber(), -1);
    EXPECT_EQ(&holder().getProgramData(), &library().getProgramData(12));
    EXPECT_EQ(handOvers(), 0);
}

TEST_F(CurrentProgram, StartsWithNoProgramWhenSeveralAreSelected)
{
    ui::SelectedProgramStatus::getInstance()->selection = {1, 2};
    EXPECT_EQ(holder().getKind(), CurrentProgramData::none);
    EXPECT_EQ(&holder().getProgramData(), &x47390_data::getDefaultProgramData());
}

TEST_F(CurrentProgram, SelectionChangesHandOverAndNotifyOnce)
{
    ProgramObserver observer;
    drain();

    holder().setLibraryProgram(0); // already current
    drain();
    EXPECT_EQ(handOvers(), 0);
    EXPECT_EQ(observer.calls, 0);

    library().getProgramData(5).setName("Five");
    holder().setLibraryProgram(5);
    drain();
    EXPECT_EQ(handOvers(), 1);
    EXPECT_EQ(midi().getPendingProgram().getName(), "Five        ");
    EXPECT_EQ(observer.calls, 1);

    // A forced re-send: clear, then select again; one hand-over, one delivery.
    holder().clearProgram();
    holder().setLibraryProgram(5);
    drain();
    EXPECT_EQ(handOvers(), 2);
    EXPECT_EQ(observer.calls, 2);

    holder().clearProgram();
    drain();
    EXPECT_EQ(handOvers(), 2);
    EXPECT_EQ(observer.calls, 3);
    EXPECT_EQ(&holder().getProgramData(), &x47390_data::getDefaultProgramData());

    holder().clearProgram(); // already none
    drain();
    EXPECT_EQ(observer.calls, 3);
}

TEST_F(CurrentProgram, HandOverIsACopyAndIsDroppedDuringATransfer)
{
    library().getProgramData(8).setName("Eight");
    library().getProgramData(8).information.comment = "c";
    holder().setLibraryProgram(8);
    library().getProgramData(8).setName("Renamed");
    EXPECT_EQ(midi().getPendingProgram().getName(), "Eight       ");
    EXPECT_EQ(midi().getPendingProgram().information.comment, "c");

    midi().isCommunicating = true;
    holder().setLibraryProgram(9);
    midi().isCommunicating = false;
    EXPECT_EQ(handOvers(), 1);
}

TEST_F(CurrentProgram, UndoAndRedoRefreshOnlyALibraryProgram)
{
    ProgramObserver observer;
    drain();

    step("PasteProgramName", new x47390_action::SetProgramNameAction(0, "Edited"));
    drain();
    EXPECT_EQ(observer.calls, 1);
    undoManager().undo();
    drain();
    EXPECT_EQ(observer.calls, 2);
    EXPECT_EQ(handOvers(), 0);

    addPresetLibraries();
    holder().setPresetProgram(0, 3);
    drain();
    EXPECT_EQ(observer.calls, 3);
    undoManager().redo();
    holder().refresh();
    drain();
    EXPECT_EQ(observer.calls, 3);
}

TEST_F(CurrentProgram, LibraryProgramChosenLaterIsRefreshedByUndo)
{
    ui::SelectedProgramStatus::getInstance()->selection = {};
    ProgramObserver observer;
    holder().setLibraryProgram(4);
    drain();
    EXPECT_EQ(observer.calls, 1);
    step("PasteProgramName", new x47390_action::SetProgramNameAction(4, "Edited"));
    drain();
    EXPECT_EQ(observer.calls, 2);
}

TEST_F(CurrentProgram, ResolvingProgramsAndPresets)
{
    addPresetLibraries();
    const auto& defaultProgram = x47390_data::getDefaultProgramData();

    holder().setPresetProgram(1, 3);
    EXPECT_EQ(holder().getProgramData().getName(), "Second      ");
    EXPECT_EQ(midi().getPendingProgram().getName(), "Second      ");

    holder().setPresetProgram(-1, 3); // the fallback preset library
    EXPECT_EQ(&holder().getProgramData(),
              &x47390_data::DataCenter::getInstance()->getPresetLibrary().getPresetData(-1).getProgramData(3));

    holder().setPresetProgram(2, 3); // as many as there are preset libraries
    EXPECT_EQ(&holder().getProgramData(), &defaultProgram);
    holder().setPresetProgram(0, 500);
    EXPECT_EQ(&holder().getProgramData(), &defaultProgram);

    std::string out = stdoutOf([&] { holder().setPresetProgram(0, -2); });
    EXPECT_EQ(out, "Preset Program Number Error: -2\n");

    out = stdoutOf(
        [&]
        {
            holder().setLibraryProgram(500);
            EXPECT_EQ(&holder().getProgramData(), &defaultProgram);
        });
    EXPECT_EQ(out, "");

    const x47390_data::ProgramData* spare = nullptr;
    out = stdoutOf(
        [&]
        {
            holder().setLibraryProgram(-1);
            spare = &holder().getProgramData();
        });
    EXPECT_EQ(out,
              "Program Number Error: -1\nProgram Number Error: -1\n"); // hand-over,
                                                                       // then the
                                                                       // lookup
    EXPECT_NE(spare, &defaultProgram);
}
