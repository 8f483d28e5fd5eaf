#include "tests/ui/ListTestSupport.h"
#include "tests/ui/UserUnitTestSupport.h"
#include "ui/AlertDialogComponent.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/UserUnitPaneComponents.h"


namespace
{
// Holds the Option (alt) key down, or not, as the drop and the painting read it.
struct CopyKey
{
    explicit CopyKey(bool down)
    {
        juce::ModifierKeys::currentModifiers = down ? juce::ModifierKeys(juce::ModifierKeys::altModifier)
                                                    : juce::ModifierKeys();
    }
    ~CopyKey() { juce::ModifierKeys::currentModifiers = juce::ModifierKeys(); }
};

class UserUnitPane : public unittest::OscillatorSlotsFixture
{
protected:
    ~UserUnitPane() override { ui::setModalDialogScript({}); }

    static std::vector<int> selectedRows(UserListComponent& list)
    {
        std::vector<int> rows;
        const auto selection = list.getListBox().getSelectedRows();
        for (int i = 0; i < selection.size(); ++i)
            rows.push_back(selection[i]);
        return rows;
    }

    // A drop on the list as the list box hands it over: the rows of the last move still set.
    static void drop(UserListComponent& list, const juce::var& description, int insertRow, int targetRow)
    {
        auto& box = list.getListBox();
        box.dragOver = true;
        box.insertRow = insertRow;
        box.targetRow = targetRow;
        juce::DragAndDropTarget::SourceDetails details(description, &list, {10, 10});
        if (box.isInterestedInDragSource(details))
            box.itemDropped(details);
        box.dragOver = false;
        box.insertRow = box.targetRow = -1;
    }

    static juce::var rowsDescription(std::vector<int> rows, const char* type = "UserListDragItem")
    {
        return ui::makeListDragDescription(type, rows);
    }

    // Answers every dialog, recording the texts of the alerts.
    void recordAlerts()
    {
        ui::setModalDialogScript(
            [this](juce::Component& content, const juce::String& title)
            {
                auto* alert = dynamic_cast<AlertDialogComponent*>(&content);
                alerts.push_back(title + ": " + (alert != nullptr ? alert->getMessageDisplay().getText() : ""));
                return 1;
            });
    }

    juce::File unitFile(const juce::String& name, const std::string& module)
    {
        const auto file = temp.file(name);
        EXPECT_TRUE(unittest::writeUnitFile(file, module, name.upToFirstOccurrenceOf(".", false, false).toStdString()));
        return file;
    }

    // The middle of a row, in the pane's coordinates (header 28, rows 25).
    static int rowY(int row) { return 28 + 25 * row + 12; }

    std::vector<juce::String> alerts;
};
} // namespace

TEST(UserUnitDropSlot, FileIGoesToTheRowUnderTheDropPlusI)
{
    struct Case
    {
        int row, position, rows, slot;
    };
    for (const auto& c : {Case{3, 0, 16, 3}, Case{3, 1, 16, 4}, Case{14, 0, 16, 14}, Case{14, 1, 16, 15},
                          Case{14, 2, 16, -1}, Case{7, 0, 8, 7}, Case{7, 1, 8, -1}, Case{-1, 0, 16, -1},
                          Case{0, 16, 16, -1}, Case{0, 1000000, 16, -1}})
        EXPECT_EQ(getUserUnitDropSlot(c.row, c.position, c.rows), c.slot)
            << c.row << " " << c.position << " " << c.rows;

    EXPECT_TRUE(isUserUnitFile("/a/b.snvrunit"));
    EXPECT_TRUE(isUserUnitFile("/a/b.DRVNZQUNIT"));
    EXPECT_TRUE(isUserUnitFile("b.fncsrlunit"));
    EXPECT_FALSE(isUserUnitFile("/a/b.snvrlib"));
    EXPECT_FALSE(isUserUnitFile("/a/snvrunit"));
}

TEST_F(UserUnitPane, PanesAreSetUpAsTheirKind)
{
    UserOscPaneComponent osc;
    UserModFXPaneComponent mod;
    UserDelFXPaneComponent del;
    UserRevFXPaneComponent rev;

    struct Expect
    {
        UserUnitPaneComponent* pane;
        const char* listName;
        int rows, kindCode;
    };
    for (const auto& e : {Expect{&osc, "User Osc. List", 16, 4}, Expect{&mod, "User ModFX List", 16, 1},
                          Expect{&del, "User DelFX List", 8, 2}, Expect{&rev, "User RevFX List", 8, 3}})
    {
        auto& list = e.pane->getList();
        auto& box = list.getListBox();
        EXPECT_EQ(e.pane->getWidth(), 790);
        EXPECT_EQ(e.pane->getHeight(), 530);
        EXPECT_EQ(list.getName(), e.listName);
        EXPECT_EQ(list.getBounds(), e.pane->getLocalBounds());
        EXPECT_EQ(box.getName(), "userList");
        EXPECT_EQ(box.getNumRows(), e.rows);
        EXPECT_EQ(box.getRowHeight(), 25);
        EXPECT_EQ(box.getHeaderHeight(), 28);
        EXPECT_EQ(box.getHeader().getNumColumns(true), 4);
        EXPECT_EQ(list.dragTypeName, "UserListDragItem");
        EXPECT_EQ(list.copyTargetColour, juce::Colour(0xdd333333));
        EXPECT_EQ(list.insertIndicatorColour, juce::Colour(0xff333333));
        EXPECT_EQ(box.findColour(juce::ListBox::backgroundColourId), juce::Colours::black);
        EXPECT_EQ(selectedRows(list), std::vector<int>{0});
        EXPECT_EQ(e.pane->getUnitKindCode(), e.kindCode);
    }
    EXPECT_EQ(ui::SelectedUserOscStatus::getInstance()->selection, std::vector<int>{0});

    // The list row height follows the preferences in all four lists.
    setRowHeight(40);
    for (auto* pane : std::initializer_list<UserUnitPaneComponent*>{&osc, &mod, &del, &rev})
        EXPECT_EQ(pane->getList().getListBox().getRowHeight(), 40);
}

TEST_F(UserUnitPane, MoveDropsReorderSlotsAsOneUndoStepAndSelectTheMovedRows)
{
    fillOscillators();
    UserOscPaneComponent pane;
    auto& list = pane.getList();
    CopyKey noCopy(false);

    drop(list, rowsDescription({0, 1}), 5, 4);
    EXPECT_EQ(oscNames({0, 1, 2, 3, 4, 5}), names({2, 3, 4, 0, 1, 5}));
    EXPECT_EQ(selectedRows(list), (std::vector<int>{3, 4}));
    EXPECT_EQ(undoManager().getUndoDescription(), "DragInsert");
    drain();
    EXPECT_EQ(ui::SelectedUserOscStatus::getInstance()->selection, (std::vector<int>{3, 4}));

    // Below the last row: the rows go to the end.
    drop(list, rowsDescription({2}), 16, -1);
    EXPECT_EQ(oscNames({2, 15}), names({0, 4}));
    EXPECT_EQ(selectedRows(list), std::vector<int>{15});

    ASSERT_TRUE(undoManager().undo());
    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(oscNames({0, 1, 2, 3, 4, 5, 15}), names({0, 1, 2, 3, 4, 5, 15}));
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(UserUnitPane, CopyDropsWriteFromTheRowUnderThePointer)
{
    fillOscillators();
    UserOscPaneComponent pane;
    auto& list = pane.getList();
    CopyKey copy(true);

    drop(list, rowsDescription({3, 4}), 15, 15);
    EXPECT_EQ(oscNames({13, 14, 15}), names({13, 3, 4}));
    EXPECT_EQ(selectedRows(list), (std::vector<int>{14, 15}));
    EXPECT_EQ(undoManager().getUndoDescription(), "DragCopy");

    // The pointer outside the rows copies nothing.
    drop(list, rowsDescription({0}), 3, -1);
    EXPECT_EQ(oscNames({3}), names({3}));

    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(oscNames({14, 15}), names({14, 15}));
}

TEST_F(UserUnitPane, OtherDescriptionsAreRefused)
{
    fillOscillators();
    UserOscPaneComponent pane;
    auto& list = pane.getList();
    CopyKey noCopy(false);

    for (const auto& description : {rowsDescription({0}, "ProgramListDragItem"), rowsDescription({0}, "UserListDrag"),
                                    rowsDescription({0}, "userlistdragitem"), juce::var("UserListDragItem"),
                                    juce::var(juce::Array<juce::var>{"UserListDragItem", 1, 2})})
    {
        juce::DragAndDropTarget::SourceDetails details(description, &list, {10, 10});
        EXPECT_FALSE(list.getListBox().isInterestedInDragSource(details));
        drop(list, description, 5, 4);
    }
    drop(list, rowsDescription({0}), -1, -1); // a move with no insert row
    EXPECT_FALSE(undoManager().canUndo());
    EXPECT_EQ(oscNames({0, 4, 5}), names({0, 4, 5}));
}

TEST_F(UserUnitPane, DropIndicatorsArePaintedOnTheRows)
{
    UserOscPaneComponent pane;
    auto& list = pane.getList();
    auto& box = list.getListBox();
    box.selectRow(7);
    box.dragOver = true;
    const auto pixel = [&](int row, int yInRow)
    { return pane.createComponentSnapshot(pane.getLocalBounds()).getPixelAt(300, 28 + 25 * row + yInRow); };

    {
        CopyKey noCopy(false);
        box.insertRow = 16; // below the last row: a bar at the bottom of row 15
        EXPECT_EQ(pixel(15, 24), juce::Colour(0xff333333));
        EXPECT_EQ(pixel(15, 22), juce::Colour(0xff000000));
        box.insertRow = 3; // before row 3: a bar at its top
        EXPECT_EQ(pixel(3, 0), juce::Colour(0xff333333));
        EXPECT_EQ(pixel(3, 12), juce::Colour(0xff000000));
    }
    {
        CopyKey copy(true);
        box.targetRow = 4;
        EXPECT_EQ(pixel(4, 12), juce::Colour(0xff000000).overlaidWith(juce::Colour(0xdd333333)));
        EXPECT_EQ(pixel(3, 0), juce::Colour(0xff000000)); // no insert bar while copying
    }
    box.dragOver = false;
    // A selected row is filled with a translucent grey; others have a line at their bottom.
    EXPECT_EQ(pixel(7, 12), juce::Colour(0xff000000).overlaidWith(juce::Colour(0x44aaaaaa)));
    EXPECT_GT(pixel(6, 24).getBrightness(), 0.05f); // the line straddles the last pixel row
    EXPECT_EQ(pixel(6, 12), juce::Colour(0xff000000));
}

TEST_F(UserUnitPane, DroppedUnitFilesFillSlotsFromTheRowUnderThePointer)
{
    UserOscPaneComponent pane;
    recordAlerts();
    const juce::StringArray three{unitFile("A.snvrunit", "osc").getFullPathName(),
                                  unitFile("B.snvrunit", "osc").getFullPathName(),
                                  unitFile("C.snvrunit", "osc").getFullPathName()};
    EXPECT_TRUE(pane.isInterestedInFileDrag(three));
    pane.filesDropped(three, 100, rowY(14));
    EXPECT_EQ(oscNames({13, 14, 15}), (std::vector<juce::String>{"", "A", "B"}));
    EXPECT_EQ(userData().oscillators[14].state, 2);
    EXPECT_EQ(undoManager().getUndoDescription(), "LoadUserOscData");

    // A text file first: the unit file is second in the drop and goes one row further.
    const auto text = temp.file("notes.txt");
    ASSERT_TRUE(text.replaceWithText("x"));
    const juce::StringArray mixed{text.getFullPathName(), three[2]};
    EXPECT_TRUE(pane.isInterestedInFileDrag(mixed));
    pane.filesDropped(mixed, 100, rowY(3));
    EXPECT_EQ(oscNames({3, 4}), (std::vector<juce::String>{"", "C"}));

    EXPECT_FALSE(pane.isInterestedInFileDrag({text.getFullPathName()}));
    EXPECT_TRUE(alerts.empty());

    // Below the last row, or while a dialog is open: nothing is loaded.
    pane.setSize(790, 600);
    pane.filesDropped({three[0]}, 100, rowY(16) + 20);
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    EXPECT_FALSE(pane.isInterestedInFileDrag(three));
    pane.filesDropped(three, 100, rowY(0));
    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
    EXPECT_EQ(oscNames({0}), std::vector<juce::String>{""});
    EXPECT_TRUE(alerts.empty());

    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(oscNames({4}), std::vector<juce::String>{""});
}

TEST_F(UserUnitPane, AUnitOfAnotherKindOrABadFileIsRefusedWithItsError)
{
    UserDelFXPaneComponent pane;
    recordAlerts();
    const auto oscillator = unitFile("Osc.snvrunit", "osc");
    const auto broken = temp.file("Broken.snvrunit");
    ASSERT_TRUE(broken.replaceWithText("not a zip archive"));
    const auto delay = unitFile("Echo.snvrunit", "delfx");

    pane.filesDropped({oscillator.getFullPathName(), broken.getFullPathName(), delay.getFullPathName()}, 100,
                      rowY(1));
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0], "Error: The user unit is of another kind than this list.");
    EXPECT_TRUE(alerts[1].startsWith("Error: ")) << alerts[1];
    EXPECT_EQ(userData().delayEffects[1].state, 0);
    EXPECT_EQ(userData().delayEffects[2].state, 0);
    // The other files of the drop are still loaded.
    EXPECT_EQ(userData().delayEffects[3].getUnitName(), "Echo");
}
