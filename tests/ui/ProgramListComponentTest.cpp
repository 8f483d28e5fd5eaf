#include "data/CurrentProgramData.h"
#include "tests/ui/ProgramPageTestSupport.h"
#include "ui/LeftPaneComponent.h"

using namespace programpage;
using x47390_data::CurrentProgramData;

namespace
{
constexpr int headerHeight = 28;
constexpr int rowHeight = 25;

// Counts the current program's changes; each change of a library or preset program is what goes to the instrument.
struct ProgramChanges : x47390_data::CurrentProgramDataObserver
{
    ProgramChanges() { CurrentProgramData::getInstance()->addListener(this); }
    ~ProgramChanges() override { CurrentProgramData::getInstance()->removeListener(this); }
    void currentProgramChanged() override { ++calls; }
    int calls = 0;
};

class ProgramListComponentTest : public ProgramPageFixture
{
protected:
    ProgramListComponentTest()
    {
        pane = std::make_unique<LeftPaneComponent>();
        pane->setSize(800, 400);
        list = pane->getProgramListComponent();
        drain();
    }

    ~ProgramListComponentTest() override { pane.reset(); }

    ui::DraggableTableListBox& table() { return list->getTable(); }

    // A drag entering at the top edge of a row, then dropped, as the drag library delivers it.
    bool dropOnRow(const juce::var& description, int row, int x = 100)
    {
        const juce::DragAndDropTarget::SourceDetails details(description, &source, {x, headerHeight + row * rowHeight});
        if (!table().isInterestedInDragSource(details))
            return false;
        table().itemDragEnter(details);
        table().itemDropped(details);
        return true;
    }

    static std::vector<int> selection() { return ui::SelectedProgramStatus::getInstance()->selection; }

    static void addPresetLibraries(int count)
    {
        auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
        for (int l = 0; l < count; ++l)
        {
            x47390_data::PresetData preset;
            for (int p = 0; p < 3; ++p)
                preset.getProgramData(p).setName(juce::String::formatted("L%02dP%d", l, p));
            presets.addPresetData(preset);
        }
    }

    juce::MouseEvent press(int row, juce::ModifierKeys mods = {}, juce::Point<float> at = {150.0f, 0.0f},
                           juce::Point<float> from = {150.0f, 0.0f})
    {
        auto* rowComponent = table().getComponentForRowNumber(row);
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), at, mods, 1.0f, 0.0f, 0.0f, 0.0f,
                                0.0f, rowComponent, rowComponent, now, from, now, 1, at != from);
    }

    juce::Component source;
    std::unique_ptr<LeftPaneComponent> pane;
    ProgramListComponent* list = nullptr;
};
} // namespace

TEST_F(ProgramListComponentTest, IsSetUpAsTheProgramTable)
{
    EXPECT_EQ(list->getName(), "Program List");
    EXPECT_EQ(table().getName(), "ProgramList");
    EXPECT_EQ(table().getRowHeight(), 25);
    EXPECT_EQ(table().getHeaderHeight(), 28);
    EXPECT_EQ(table().getHeader().getNumColumns(true), 9);
    EXPECT_EQ(table().getHeader().getColumnWidth(2), 180);
    EXPECT_EQ(list->programDragTypeName, "ProgramListDragItem");
    EXPECT_EQ(list->presetDragTypeName, "PresetDataDragItem");
    EXPECT_EQ(list->copyTargetColour, juce::Colour(0xdd333333));
    EXPECT_EQ(list->insertIndicatorColour, juce::Colour(0xff333333));
    EXPECT_TRUE(table().isRowSelected(0)) << "the start-up selection";

    x47390_preferences::PreferencesData::getInstance()->setIntValue("ProgramListHeight", 40);
    application::PreferencesDataChangeBroadcaster::getInstance()->triggerAsyncUpdate();
    drain();
    EXPECT_EQ(table().getRowHeight(), 40);
    EXPECT_EQ(table().getHeaderHeight(), 28);
}

TEST_F(ProgramListComponentTest, MovingRowsTakesTheLiveSetAlongInOneStep)
{
    const std::array<int, 5> entries{2, 4, 6, 500, 3};
    for (int s = 0; s < 5; ++s)
        library().getFavoriteData().entries[0][(size_t) s] = entries[(size_t) s];

    ASSERT_TRUE(dropOnRow(programRows({2, 3}), 6));
    EXPECT_EQ(programOrder(10), (std::vector<int>{0, 1, 4, 5, 2, 3, 6, 7, 8, 9}));
    EXPECT_EQ(favorite(0, 0), 4);
    EXPECT_EQ(favorite(0, 1), 2);
    EXPECT_EQ(favorite(0, 2), 6);
    EXPECT_EQ(favorite(0, 3), 500);
    EXPECT_EQ(favorite(0, 4), 5);
    EXPECT_EQ(selection(), (std::vector<int>{4, 5}));
    EXPECT_EQ(undoName(), "DragInsert");
    EXPECT_TRUE(isEdited());

    undoManager().undo();
    EXPECT_EQ(programOrder(10), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    for (int s = 0; s < 5; ++s)
        EXPECT_EQ(favorite(0, s), entries[(size_t) s]);
    EXPECT_FALSE(undoManager().canUndo()) << "one step";
    EXPECT_FALSE(isEdited());
}

TEST_F(ProgramListComponentTest, MovingBelowTheLastRowPutsTheRowsLast)
{
    // Scrolled to the end, the lower half of the last row inserts after it.
    table().getViewport()->setViewPosition(0, 500 * rowHeight);
    const juce::DragAndDropTarget::SourceDetails details(programRows({0}), &source, {100, table().getHeight() - 1});
    ASSERT_TRUE(table().isInterestedInDragSource(details));
    table().itemDragEnter(details);
    EXPECT_EQ(table().insertRow, 500);
    table().itemDropped(details);
    EXPECT_EQ(nameOf(499), "P000");
    EXPECT_EQ(nameOf(0), "P001");
    EXPECT_EQ(selection(), (std::vector<int>{499}));
}

TEST_F(ProgramListComponentTest, CopyingWithOptionWritesTheRowsAsTheyWere)
{
    holdOption(true);
    ASSERT_TRUE(dropOnRow(programRows({3, 4}), 4));
    EXPECT_EQ(programOrder(7), (std::vector<int>{0, 1, 2, 3, 3, 4, 6}));
    EXPECT_EQ(undoName(), "DragCopy");
    EXPECT_EQ(selection(), (std::vector<int>{4, 5}));

    table().getViewport()->setViewPosition(0, 500 * rowHeight);
    const int top = table().getViewport()->getViewPositionY();
    const int lastRowY = headerHeight + 499 * rowHeight - top + 3;
    const juce::DragAndDropTarget::SourceDetails details(programRows({0, 1}), &source, {100, lastRowY});
    ASSERT_TRUE(table().isInterestedInDragSource(details));
    table().itemDragEnter(details);
    EXPECT_EQ(table().targetRow, 499);
    table().itemDropped(details);
    EXPECT_EQ(nameOf(498), "P000");
    EXPECT_EQ(nameOf(499), "P001");
    EXPECT_EQ(selection(), (std::vector<int>{498, 499}));
    EXPECT_EQ(favorite(0, 0), 500) << "copies leave the live set alone";
}

TEST_F(ProgramListComponentTest, PresetsAreCopiedOntoRowsUpToTheLast)
{
    addPresetLibraries(2);
    std::vector<int> keys{ui::makePresetDragKey(1, 0), ui::makePresetDragKey(1, 1), ui::makePresetDragKey(1, 2)};
    ASSERT_EQ(keys[0], 1024);

    table().getViewport()->setViewPosition(0, 500 * rowHeight);
    const int top = table().getViewport()->getViewPositionY();
    const juce::DragAndDropTarget::SourceDetails details(
        ui::makeListDragDescription(ui::presetDataDragItemTypeName, keys), &source,
        {100, headerHeight + 498 * rowHeight - top + 3});
    ASSERT_TRUE(table().isInterestedInDragSource(details));
    EXPECT_EQ(list->dropMode, 2);
    table().itemDragEnter(details);
    table().itemDropped(details);
    EXPECT_EQ(nameOf(498), "L01P0");
    EXPECT_EQ(nameOf(499), "L01P1");
    EXPECT_EQ(nameOf(497), "P497");
    EXPECT_EQ(undoName(), "DragCopyPreset");
    EXPECT_EQ(selection(), (std::vector<int>{498, 499}));
}

TEST_F(ProgramListComponentTest, PresetLibrariesBeyondTheSixtyFourthStayApart)
{
    addPresetLibraries(66);
    ASSERT_TRUE(dropOnRow(ui::makeListDragDescription(ui::presetDataDragItemTypeName,
                                                      {ui::makePresetDragKey(65, 2), ui::makePresetDragKey(64, 1)}),
                          10));
    EXPECT_EQ(nameOf(10), "L65P2");
    EXPECT_EQ(nameOf(11), "L64P1");
}

TEST_F(ProgramListComponentTest, APresetDragWithoutProgramsChangesNothing)
{
    addPresetLibraries(1);
    table().selectRow(7);
    drain();
    const auto before = selection();
    const juce::var drags[] = {
        ui::makeListDragDescription(ui::presetDataDragItemTypeName, {}),
        ui::makeListDragDescription(ui::presetDataDragItemTypeName, {ui::makePresetDragKey(1, 0), -5}),
        ui::makeListDragDescription(ui::presetDataDragItemTypeName, {ui::makePresetDragKey(0, 500)}),
    };
    for (const auto& drag : drags)
    {
        ASSERT_TRUE(dropOnRow(drag, 3));
        EXPECT_FALSE(undoManager().canUndo());
        EXPECT_EQ(selection(), before);
        EXPECT_EQ(nameOf(3), "P003");
    }
}

TEST_F(ProgramListComponentTest, TakesOnlyProgramAndPresetDrags)
{
    const juce::DragAndDropTarget::SourceDetails favoriteDrag(ui::FavoriteDataDragItem::makeDescription(0, 1), &source,
                                                              {100, 60});
    EXPECT_FALSE(table().isInterestedInDragSource(favoriteDrag));
    const juce::DragAndDropTarget::SourceDetails userDrag(
        ui::makeListDragDescription(ui::userListDragItemTypeName, {1}), &source, {100, 60});
    EXPECT_FALSE(table().isInterestedInDragSource(userDrag));

    EXPECT_TRUE(table().isInterestedInDragSource({programRows({1}), &source, {100, 60}}));
    EXPECT_EQ(list->dropMode, 1);

    // A drop beside the table has no rows: nothing moves.
    ASSERT_TRUE(dropOnRow(programRows({1}), 5, -10));
    EXPECT_FALSE(undoManager().canUndo());
    EXPECT_EQ(programOrder(6), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(ProgramListComponentTest, OneSelectedRowBecomesTheCurrentProgram)
{
    auto* current = CurrentProgramData::getInstance();
    ProgramChanges changes;
    const auto changesAfter = [&](auto&& action) {
        drain();
        changes.calls = 0;
        action();
        drain();
        return changes.calls;
    };

    EXPECT_EQ(changesAfter([&] { table().selectRow(3); }), 1);
    EXPECT_EQ(selection(), (std::vector<int>{3}));
    EXPECT_EQ(current->getKind(), CurrentProgramData::libraryProgram);
    EXPECT_EQ(current->getProgramNumber(), 3);

    EXPECT_EQ(changesAfter([&] { table().selectRow(3); }), 0) << "the same row again sends nothing";

    EXPECT_EQ(changesAfter([&] { table().selectRangeOfRows(3, 5); }), 1);
    EXPECT_EQ(current->getKind(), CurrentProgramData::none);
    EXPECT_EQ(changesAfter([&] { table().selectRangeOfRows(3, 6); }), 0) << "still none: nothing sent";

    table().selectRow(8);
    EXPECT_EQ(changesAfter([&] { list->changeListenerCallback(nullptr); }), 1) << "a tab change sends it again";
    EXPECT_EQ(current->getProgramNumber(), 8);
    EXPECT_EQ(changesAfter([&] { data::DataChangeBroadcaster::getInstance()->notifyDataChanged(); }), 1)
        << "every library change sends it again";

    // A preset made current is dropped at the next tab change when no row is selected.
    current->setPresetProgram(0, 4);
    ui::SelectedProgramStatus::getInstance()->setSelection({});
    drain();
    EXPECT_EQ(table().getNumSelectedRows(), 0);
    list->changeListenerCallback(nullptr);
    EXPECT_EQ(current->getKind(), CurrentProgramData::none);
}

TEST_F(ProgramListComponentTest, APressInASelectionKeepsItUntilTheRelease)
{
    table().selectRow(2);
    table().selectRangeOfRows(2, 4);
    list->itemMouseDown(3, press(3));
    EXPECT_EQ(table().getNumSelectedRows(), 3);
    EXPECT_TRUE(list->pressedRowWasSelected);
    list->itemMouseUp(3, press(3));
    EXPECT_EQ(selection(), (std::vector<int>{3}));

    list->itemMouseDown(6, press(6));
    EXPECT_FALSE(list->pressedRowWasSelected);
    EXPECT_EQ(selection(), (std::vector<int>{6}));
    list->itemMouseDown(8, press(8, juce::ModifierKeys::shiftModifier));
    EXPECT_EQ(selection(), (std::vector<int>{6, 7, 8}));
    list->itemMouseDown(7, press(7, juce::ModifierKeys::commandModifier));
    EXPECT_TRUE(list->pressedRowWasSelected);
    list->itemMouseUp(7, press(7, juce::ModifierKeys::commandModifier));
    EXPECT_EQ(selection(), (std::vector<int>{6, 8})) << "command toggles the row at the release";
}
