#include "tests/ui/ListTestSupport.h"
#include "tests/ui/UserUnitTestSupport.h"
#include "ui/UserListControllers.h"
#include "ui/UserListViews.h"

#include <numeric>

using namespace x47390_ui;
using unittest::unitEntry;

namespace
{
const std::initializer_list<int> all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

class UserUnitList : public unittest::OscillatorSlotsFixture
{
};
} // namespace

TEST(UserUnitVersionText, BytesMajorMinorPatch)
{
    struct Case
    {
        juce::uint32 field;
        const char* text;
    };
    for (const auto& c : {Case{0x00010200, "1.02-0"}, Case{0x00020503, "2.05-3"}, Case{0x00780000, "99.00-0"},
                          Case{0x00007800, "0.99-0"}, Case{0x00000064, "0.00-99"}, Case{0x00000000, "0.00-0"},
                          // Each part is taken to 7 bits: 0x85 is 5, 0xFF is 127 and so 99.
                          Case{0x00850000, "5.00-0"}, Case{0xFFFFFFFF, "99.99-99"}})
        EXPECT_EQ(makeUnitVersionText(c.field), c.text) << std::hex << c.field;
}

TEST_F(UserUnitList, ViewsListTheirSlotsWithFourColumns)
{
    UserOscListView osc(&userData());
    UserModFXListView mod(&userData());
    UserDelFXListView del(&userData());
    UserRevFXListView rev(&userData());
    EXPECT_EQ(osc.getNumRows(), 16);
    EXPECT_EQ(mod.getNumRows(), 16);
    EXPECT_EQ(del.getNumRows(), 8);
    EXPECT_EQ(rev.getNumRows(), 8);

    EXPECT_EQ(osc.getNumColumns(), 4);
    const std::vector<juce::String> names{"", "Name", "Version", "API"};
    const std::vector<int> widths{48, 180, 80, 80};
    for (int id = 1; id <= 4; ++id)
    {
        EXPECT_EQ(osc.getColumnName(id), names[(size_t) id - 1]);
        EXPECT_EQ(osc.getColumnWidth(id), widths[(size_t) id - 1]);
        EXPECT_EQ(osc.getColumnMinimumWidth(id), 20);
        EXPECT_EQ(osc.getColumnPropertyFlags(id), 3);
    }
    EXPECT_EQ(osc.getColumnWidth(9), 100);
    EXPECT_EQ(osc.refreshComponentForCell(0, 2, false, nullptr), nullptr);
}

TEST_F(UserUnitList, CellTextsFollowTheSlotState)
{
    userData().delayEffects[1] = unitEntry<x47390_data::UserDelFXData>(2, 0x010203, 0x020503, "Tape Echo", 1);
    userData().delayEffects[2] = unitEntry<x47390_data::UserDelFXData>(2, 0x010203, 0x020503, "Tape Echo", 2);
    userData().delayEffects[3] = unitEntry<x47390_data::UserDelFXData>(0, 0, 0, "", 1); // state 1, no module
    userData().delayEffects[4] = unitEntry<x47390_data::UserDelFXData>(2, 0, 0, "X", 7);  // an unknown state
    userData().delayEffects[5] = unitEntry<x47390_data::UserDelFXData>(2, 0, 0, "Fourteen chars and more", 2);
    UserDelFXListView view(&userData());

    struct Row
    {
        int row;
        const char *slot, *name, *version, *api;
    };
    for (const auto& r : {Row{0, "1", "---", "---", "---"}, Row{1, "2", "Tape Echo", "2.05-3", "1.02-3"},
                          Row{2, "3", "Tape Echo", "2.05-3", "1.02-3"}, Row{3, "4", "", "", ""},
                          Row{4, "5", "", "", ""}, Row{5, "6", "Fourteen chars", "0.00-0", "0.00-0"},
                          Row{7, "8", "---", "---", "---"}})
    {
        EXPECT_EQ(view.getCellText(r.row, 1), r.slot);
        EXPECT_EQ(view.getCellText(r.row, 2), r.name) << r.row;
        EXPECT_EQ(view.getCellText(r.row, 3), r.version) << r.row;
        EXPECT_EQ(view.getCellText(r.row, 4), r.api) << r.row;
    }
    // A row past the table reads the spare entry, with the kind's line.
    EXPECT_EQ(edittest::stdoutOf([&] { view.getCellText(8, 2); }), "User delay fx slot index error: 8\n");
}

TEST_F(UserUnitList, SelectionGoesToTheKindsStatus)
{
    UserModFXListController controller(&userData());
    controller.selectionChanged({2, 5});
    EXPECT_EQ(ui::SelectedUserModFXStatus::getInstance()->selection, (std::vector<int>{2, 5}));
    EXPECT_EQ(ui::SelectedUserOscStatus::getInstance()->selection, std::vector<int>{0});
}

TEST_F(UserUnitList, AMoveIsOneTransactionOverTheChangedSlots)
{
    fillOscillators();
    UserOscListController controller(&userData());
    // Rows 0 and 1 to insert row 5.
    controller.dragInsert({2, 3, 4, 0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, 5);

    EXPECT_EQ(oscNames(all), names({2, 3, 4, 0, 1, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(undoManager().getNumActionsInCurrentTransaction(), 5); // slots 0 to 4 only
    EXPECT_EQ(undoManager().getUndoDescription(), "DragInsert");
    EXPECT_TRUE(isEdited());

    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(oscNames(all), names({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_FALSE(isEdited());
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(UserUnitList, AnUnchangedOrderMakesNoTransaction)
{
    fillOscillators();
    UserOscListController controller(&userData());
    std::vector<int> order(16);
    std::iota(order.begin(), order.end(), 0);
    controller.dragInsert(order, 4);
    EXPECT_FALSE(undoManager().canUndo());
    EXPECT_FALSE(isEdited());
}

TEST_F(UserUnitList, OverlappingCopiesReadTheSlotsAsTheyWere)
{
    fillOscillators();
    UserOscListController controller(&userData());
    controller.dragCopy({{3, 2}, {4, 3}, {5, 4}}, 3);
    EXPECT_EQ(oscNames(all), names({0, 1, 2, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    EXPECT_EQ(undoManager().getUndoDescription(), "DragCopy");

    // Copying a slot onto itself is still performed.
    controller.dragCopy({{7, 7}}, 7);
    EXPECT_EQ(undoManager().getUndoDescription(), "DragCopy");
    EXPECT_EQ(undoManager().getNumActionsInCurrentTransaction(), 1);

    ASSERT_TRUE(undoManager().undo());
    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(oscNames(all), names({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST_F(UserUnitList, SourcesOutOfRangeUseTheSpareEntry)
{
    userData().reverbEffects[0] = unitEntry<x47390_data::UserRevFXData>(3, 0, 0, "Hall");
    UserRevFXListController controller(&userData());
    const auto out = edittest::stdoutOf([&] { controller.dragCopy({{0, 9}}, 0); });
    EXPECT_EQ(out, "User reverb fx slot index error: 9\n");
    EXPECT_EQ(userData().reverbEffects[0].state, 0);
    EXPECT_EQ(userData().reverbEffects[0].getUnitName(), "");

    userData().reverbEffects[1] = unitEntry<x47390_data::UserRevFXData>(3, 0, 0, "Room");
    const auto moved = edittest::stdoutOf([&] { controller.dragInsert({0, -1, 2, 3, 4, 5, 6, 7}, 0); });
    EXPECT_EQ(moved, "User reverb fx slot index error: -1\n");
    EXPECT_EQ(userData().reverbEffects[1].state, 0);
}
