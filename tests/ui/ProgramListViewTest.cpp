#include "tests/ui/ProgramPageTestSupport.h"
#include "ui/ProgramListView.h"

using namespace programpage;

namespace
{
class ProgramListViewTest : public ProgramPageFixture
{
protected:
    x47390_ui::ProgramListView view{library()};

    // The cell editor of a name (column 2) or tuning (column 9) cell, kept as the table keeps it.
    ProgramListItemComponentWrapper* cell(int row, int column, juce::Component* existing = nullptr)
    {
        return dynamic_cast<ProgramListItemComponentWrapper*>(view.refreshComponentForCell(row, column, false, existing));
    }

    static int tuningByte(int program)
    {
        return library().getProgramData(program).binary[(size_t) x47390_data::ProgramData::tuningOffset];
    }
    static void setTuningByte(int program, int value)
    {
        library().getProgramData(program).binary[(size_t) x47390_data::ProgramData::tuningOffset] = (juce::uint8) value;
    }
};
} // namespace

TEST_F(ProgramListViewTest, HasNineColumnsWithTheirTitlesAndWidths)
{
    EXPECT_EQ(view.getNumRows(), 500);
    EXPECT_EQ(view.getNumColumns(), 9);
    const char* titles[] = {"", "Name", "Category", "Like", "Timbre", "VCO 1", "VCO 2", "Multi", "Tuning"};
    const int widths[] = {48, 180, 110, 48, 80, 80, 80, 80, 140};
    for (int id = 1; id <= 9; ++id)
    {
        EXPECT_EQ(view.getColumnName(id), titles[id - 1]) << id;
        EXPECT_EQ(view.getColumnWidth(id), widths[id - 1]) << id;
        EXPECT_EQ(view.getColumnMinimumWidth(id), 20);
        EXPECT_EQ(view.getColumnPropertyFlags(id), 3);
    }
    for (int id : {0, 10, -1})
    {
        EXPECT_EQ(view.getColumnName(id), "");
        EXPECT_EQ(view.getColumnWidth(id), 100);
    }
}

TEST_F(ProgramListViewTest, CellsShowNumberAndParameterTexts)
{
    EXPECT_EQ(view.getCellText(0, 1), "1");
    EXPECT_EQ(view.getCellText(499, 1), "500");

    auto& binary = library().getProgramData(7).binary;
    binary[29] = 2;  // category
    binary[19] = 2;  // timbre type
    binary[90] = 0;  // VCO 1 wave (main timbre)
    binary[99] = 1;  // VCO 2 wave
    binary[109] = 1; // multi type
    const std::pair<int, const char*> cells[] = {{3, "LEAD"}, {4, "---"}, {5, "SPLIT"},
                                                 {6, "SQR"},  {7, "TRI"}, {8, "VPM"}};
    for (const auto& [column, text] : cells)
        EXPECT_EQ(view.getCellText(7, column), text) << column;

    // "Like" is one flag spread over four bytes: any of them set shows it.
    for (int byte = 76; byte <= 79; ++byte)
    {
        binary.fill(0);
        binary[(size_t) byte] = 4;
        EXPECT_EQ(view.getCellText(7, 4), "@") << byte;
    }

    EXPECT_EQ(ui::getProgramParameterText(binary.data(), {3, 0}), "") << "no such group";
    EXPECT_EQ(ui::getProgramParameterText(binary.data(), {0, 500}), "") << "no such row";
}

TEST_F(ProgramListViewTest, TuningBytesAndComboIdsCorrespond)
{
    const std::pair<int, int> pairs[] = {{0, 1}, {22, 23}, {128, 24}, {133, 29}, {134, 30}, {139, 35}};
    for (const auto& [byte, id] : pairs)
    {
        EXPECT_EQ(ui::getTuningIdForByte(byte), id);
        EXPECT_EQ(ui::getTuningByteForId(id), byte);
    }
    for (int byte : {23, 127, 140, 255, -1})
        EXPECT_EQ(ui::getTuningIdForByte(byte), 0) << byte;
    for (int id : {0, 36})
        EXPECT_EQ(ui::getTuningByteForId(id), -1);

    const auto& names = ui::getTuningNames();
    ASSERT_EQ(names.size(), 35);
    EXPECT_EQ(names[0], "Equal Tempered");
    EXPECT_EQ(names[22], "KW003");
    EXPECT_EQ(names[23], "User Scale 1");
    EXPECT_EQ(names[34], "User Octave 6");
}

TEST_F(ProgramListViewTest, NamesAreCleanedPaddedAndStoredAsOneStep)
{
    struct Case
    {
        const char* typed;
        const char* stored; // null: nothing stored, the cell shows the old name again
    };
    const Case cases[] = {
        {"Bass_Lead", "Bass Lead   "},
        {"Warm Pad 2024!", "Warm Pad 202"},
        {"a~b", "a b         "},
        {"____", nullptr},
        {"", nullptr},
        {"P003", nullptr},         // the name it has, only the padding missing
        {"P003        ", nullptr}, // the name it has
    };
    std::unique_ptr<juce::Component> editor(cell(3, 2));
    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->label.getText(), "P003        ");
    EXPECT_EQ(wrapper->label.getParentComponent(), wrapper);
    EXPECT_EQ(wrapper->comboBox.getParentComponent(), nullptr);

    for (const auto& c : cases)
    {
        undoManager().clearUndoHistory();
        const auto before = library().getProgramData(3).getName();
        wrapper->label.setText(c.typed, juce::sendNotificationSync);
        if (c.stored == nullptr)
        {
            EXPECT_EQ(library().getProgramData(3).getName(), before) << c.typed;
            EXPECT_FALSE(undoManager().canUndo()) << c.typed;
            EXPECT_EQ(wrapper->label.getText(), before) << c.typed;
            continue;
        }
        EXPECT_EQ(library().getProgramData(3).getName(), c.stored) << c.typed;
        EXPECT_EQ(undoName(), "PasteProgramName");
        undoManager().undo();
        EXPECT_EQ(library().getProgramData(3).getName(), before);
        EXPECT_FALSE(undoManager().canUndo());
    }
}

TEST_F(ProgramListViewTest, RefreshingACellManyTimesKeepsOneRegistration)
{
    std::unique_ptr<juce::Component> editor(cell(4, 2));
    for (int i = 0; i < 5; ++i)
    {
        auto* kept = editor.release();
        editor.reset(cell(4, 2, kept));
        ASSERT_EQ(editor.get(), kept) << "the same editor is refreshed";
    }
    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->getNumItemMouseListeners(), 1);

    wrapper->label.setText("Renamed", juce::sendNotificationSync);
    EXPECT_EQ(nameOf(4), "Renamed");
    undoManager().undo();
    EXPECT_EQ(nameOf(4), "P004");
    EXPECT_FALSE(undoManager().canUndo()) << "one edit, one step";
}

// The table refreshes a row's cells a moment after a click selected it; a double-click may have opened the name
// editor meanwhile. The editor stays while the cell still shows the program it edits.
TEST_F(ProgramListViewTest, RefreshingTheRowBeingRenamedKeepsItsEditor)
{
    std::unique_ptr<juce::Component> editor(cell(5, 2));
    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
    ASSERT_NE(wrapper, nullptr);
    // On the screen, where an editor can take the keyboard.
    juce::Component window;
    window.setBounds(0, 0, 180, 25);
    window.addToDesktop(0);
    window.setVisible(true);
    window.addAndMakeVisible(wrapper);
    wrapper->setBounds(window.getLocalBounds());
    wrapper->label.showEditor();
    ASSERT_TRUE(wrapper->label.isBeingEdited());

    editor.reset(view.refreshComponentForCell(5, 2, true, editor.release()));
    EXPECT_TRUE(wrapper->label.isBeingEdited()) << "the selection's refresh";

    // Another program in the row (an undo, a paste): the editor goes and the cell shows the new name.
    library().getProgramData(5).setName("Other");
    editor.reset(cell(5, 2, editor.release()));
    EXPECT_FALSE(wrapper->label.isBeingEdited());
    EXPECT_EQ(wrapper->label.getText(), library().getProgramData(5).getName());

    // The cell reused for another row.
    wrapper->label.showEditor();
    editor.reset(cell(6, 2, editor.release()));
    EXPECT_FALSE(wrapper->label.isBeingEdited());
    EXPECT_EQ(wrapper->label.getText(), "P006        ");
    window.removeChildComponent(wrapper);
}

TEST_F(ProgramListViewTest, ShowingATuningNeverEditsIt)
{
    for (int byte : {23, 127, 140})
    {
        setTuningByte(5, byte);
        std::unique_ptr<juce::Component> editor(cell(5, 9));
        auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
        ASSERT_NE(wrapper, nullptr);
        drain();
        EXPECT_EQ(tuningByte(5), byte) << "nothing stored by showing it";
        EXPECT_FALSE(undoManager().canUndo());
        EXPECT_EQ(wrapper->comboBox.getNumItems(), 35);
        EXPECT_EQ(wrapper->comboBox.getSelectedId(), 0) << "no entry chosen";
        EXPECT_EQ(wrapper->comboBox.getTextWhenNothingSelected(), "Equal Tempered");

        // Choosing it is an explicit choice: it stores 0.
        wrapper->comboBox.setSelectedId(1, juce::sendNotificationSync);
        EXPECT_EQ(tuningByte(5), 0);
        EXPECT_EQ(undoName(), "PasteProgramTuning");
        undoManager().undo();
        EXPECT_EQ(tuningByte(5), byte);
        undoManager().clearUndoHistory();
    }
}

TEST_F(ProgramListViewTest, ChoosingATuningStoresItsByte)
{
    std::unique_ptr<juce::Component> editor(cell(6, 9));
    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->comboBox.getSelectedId(), 1);
    EXPECT_EQ(wrapper->comboBox.getParentComponent(), wrapper);

    const std::pair<const char*, int> choices[] = {{"User Octave 6", 139}, {"KW003", 22}, {"User Scale 1", 128}};
    for (const auto& [name, byte] : choices)
    {
        wrapper->comboBox.setText(name, juce::sendNotificationSync);
        EXPECT_EQ(tuningByte(6), byte) << name;
        EXPECT_EQ(undoName(), "PasteProgramTuning");
    }
    // Refreshing the cell after the edit shows the stored tuning without a new step.
    undoManager().clearUndoHistory();
    editor.release();
    editor.reset(cell(6, 9, wrapper));
    drain();
    EXPECT_EQ(wrapper->comboBox.getText(), "User Scale 1");
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(ProgramListViewTest, EditorRowsAndColoursFollowTheCell)
{
    std::unique_ptr<juce::Component> editor(view.refreshComponentForCell(9, 2, true, nullptr));
    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->label.rowIndex, 9);
    EXPECT_TRUE(wrapper->label.rowSelected);
    EXPECT_EQ(wrapper->label.findColour(juce::Label::textColourId), juce::Colour(0xffffffff));
    EXPECT_EQ(wrapper->label.getWidth(), 220);
    EXPECT_EQ(wrapper->label.getHeight(), 25);

    editor.release();
    editor.reset(view.refreshComponentForCell(10, 9, false, wrapper));
    EXPECT_EQ(wrapper->comboBox.rowIndex, 10);
    EXPECT_EQ(wrapper->comboBox.findColour(juce::ComboBox::textColourId), juce::Colour(0xffd3d3d3));
    EXPECT_EQ(wrapper->comboBox.getWidth(), 140);

    // Selecting the row recolours the tuning text in place: the label under a pressed button stays, so
    // a drag from it can start.
    juce::Component* textLabel = nullptr;
    for (auto* child : wrapper->comboBox.getChildren())
        if (dynamic_cast<juce::Label*>(child) != nullptr)
            textLabel = child;
    ASSERT_NE(textLabel, nullptr);
    editor.release();
    editor.reset(view.refreshComponentForCell(10, 9, true, wrapper));
    EXPECT_EQ(wrapper->comboBox.findColour(juce::ComboBox::textColourId), juce::Colour(0xffffffff));
    ASSERT_TRUE(wrapper->comboBox.getChildren().contains(textLabel));
    EXPECT_EQ(textLabel->findColour(juce::Label::textColourId), juce::Colour(0xffffffff));

    // Other columns have no editor; an editor offered for them is deleted.
    EXPECT_EQ(view.refreshComponentForCell(10, 3, false, editor.release()), nullptr);
}

// The name editor takes no more characters than a name stores, and shows the name without its padding, so
// there is room to type after it.
TEST_F(ProgramListViewTest, TheNameEditorTakesTwelveCharacters)
{
    std::unique_ptr<juce::Component> editor(cell(3, 2));
    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(editor.get());
    ASSERT_NE(wrapper, nullptr);
    juce::Component screen; // the editor takes the keyboard, which needs a window
    screen.setSize(300, 30);
    screen.addAndMakeVisible(wrapper);
    screen.addToDesktop(0);
    screen.setVisible(true);
    wrapper->label.showEditor();
    auto* field = wrapper->label.getCurrentTextEditor();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->getText(), "P003");

    field->moveCaretToEnd();
    field->insertTextAtCaret(" Warm Pad 2024");
    EXPECT_EQ(field->getText(), "P003 Warm Pa");
    field->selectAll();
    field->insertTextAtCaret("Warm Pad 2024!");
    EXPECT_EQ(field->getText(), "Warm Pad 202");

    wrapper->label.hideEditor(false);
    EXPECT_EQ(library().getProgramData(3).getName(), "Warm Pad 202");
}
