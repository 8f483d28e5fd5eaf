#include "app/ApplicationCommandIds.h"
#include "app/CJQZClipboard.h"
#include "app/EditCommands.h"
#include "data/ProgramEditActions.h"
#include "data/SerializedSectionDataWriter.h"
#include "data/UserUnitEditActions.h"
#include "tests/app/TransferCommandTestSupport.h"
#include "ui/ProgramTuningEditComponent.h"

using namespace transfercommandtest;
using namespace x47390_menu;

namespace
{
using EditCommands = TransferCommandTest;

x47390_data::ProgramData programNamed(const char* name, std::uint8_t fill)
{
    x47390_data::ProgramData program;
    std::fill(program.binary.begin() + 16, program.binary.end() - 4, fill);
    program.setName(name);
    program.information.programmer = "Someone";
    program.updateHash();
    return program;
}

void selectTab(int index) { ui::SelectedTabStatus::getInstance()->tabIndex = index; }

std::shared_ptr<platform::clipboard::Pasteboard> pasteboard() { return platform::clipboard::Pasteboard::getDefault(); }
} // namespace

TEST_F(EditCommands, UndoAndRedoActOnWholeTransactions)
{
    EXPECT_FALSE(performEditCommand(cmdUndo));
    EXPECT_FALSE(performEditCommand(cmdRedo));

    step("Two", new x47390_action::SetProgramNameAction(1, "One"), new x47390_action::SetProgramNameAction(2, "Two"));
    EXPECT_TRUE(performEditCommand(cmdUndo));
    EXPECT_EQ(library().getProgramData(1).getName(), "Init Program");
    EXPECT_EQ(library().getProgramData(2).getName(), "Init Program");
    EXPECT_FALSE(performEditCommand(cmdUndo));

    EXPECT_TRUE(performEditCommand(cmdRedo));
    EXPECT_EQ(library().getProgramData(2).getName().trimEnd(), "Two");
    EXPECT_FALSE(performEditCommand(cmdRedo));
}

TEST_F(EditCommands, CutThenPasteMovesAProgramAndTwoUndosRestoreBoth)
{
    const auto moved = programNamed("Moved", 0x11);
    step("Set", new x47390_action::SetProgramDataAction(2, moved));
    ui::SelectedProgramStatus::getInstance()->setSelection({2});

    EXPECT_TRUE(performEditCommand(cmdCut));
    EXPECT_EQ(undoManager().getUndoDescription(), "CutProgramData");
    EXPECT_EQ(library().getProgramData(2).getName(), "Init Program");
    EXPECT_EQ(library().getProgramData(2).information.programmer, "Someone"); // the texts stay

    ui::SelectedProgramStatus::getInstance()->setSelection({5});
    EXPECT_TRUE(performEditCommand(cmdPaste));
    EXPECT_EQ(undoManager().getUndoDescription(), "PasteProgramData");
    EXPECT_EQ(library().getProgramData(5).binary, moved.binary);
    EXPECT_EQ(library().getProgramData(5).md5, moved.md5);
    EXPECT_EQ(library().getProgramData(5).information.programmer, "Someone");

    ASSERT_TRUE(performEditCommand(cmdUndo));
    EXPECT_EQ(library().getProgramData(5).getName(), "Init Program");
    ASSERT_TRUE(performEditCommand(cmdUndo));
    EXPECT_EQ(library().getProgramData(2).binary, moved.binary);
}

TEST_F(EditCommands, CopyTakesTheFirstSelectedProgramOnTheProgramTabOnly)
{
    step("Set", new x47390_action::SetProgramDataAction(4, programNamed("Four", 4)),
         new x47390_action::SetProgramDataAction(9, programNamed("Nine", 9)));
    ui::SelectedProgramStatus::getInstance()->setSelection({4, 9});
    EXPECT_TRUE(performEditCommand(cmdCopy));
    EXPECT_EQ(undoManager().getUndoDescription(), "Set"); // copy records nothing

    const auto copied = CJQZClipboard().readProgram();
    ASSERT_TRUE(copied.has_value());
    EXPECT_EQ(copied->getName().trimEnd(), "Four");

    // A second copy replaces the first.
    ui::SelectedProgramStatus::getInstance()->setSelection({9});
    EXPECT_TRUE(performEditCommand(cmdCopy));
    EXPECT_EQ(CJQZClipboard().readProgram()->getName().trimEnd(), "Nine");

    for (int tab : {1, 4, 5})
    {
        selectTab(tab);
        ui::SelectedProgramStatus::getInstance()->setSelection({4});
        EXPECT_FALSE(performEditCommand(cmdCopy)) << tab;
        EXPECT_FALSE(performEditCommand(cmdCut)) << tab;
        EXPECT_FALSE(performEditCommand(cmdPaste)) << tab;
    }
    EXPECT_EQ(CJQZClipboard().readProgram()->getName().trimEnd(), "Nine");
    EXPECT_EQ(library().getProgramData(4).getName().trimEnd(), "Four");

    selectTab(0);
    ui::SelectedProgramStatus::getInstance()->setSelection({});
    EXPECT_FALSE(performEditCommand(cmdCopy));
    EXPECT_FALSE(performEditCommand(cmdCut));
    EXPECT_FALSE(performEditCommand(cmdPaste));
}

// Paste takes only a whole serialised program; anything else on the pasteboard changes nothing.
TEST_F(EditCommands, PasteRefusesWhatIsNoProgram)
{
    const auto program = programNamed("Real", 0x22);
    const auto serialized = program.serialize();
    auto container = [](const char* tag, const char* sectionTag, const juce::MemoryBlock& payload)
    {
        data::SerializedData bytes;
        {
            data::SerializedSectionDataWriter writer(bytes);
            writer.addSection(sectionTag, payload);
            writer.finish(tag);
        }
        return juce::MemoryBlock(bytes);
    };
    const char brokenXml[] = "<sonavire_ProgramInformation><Programmer>";
    const char goodXml[] = "<sonavire_ProgramInformation><Programmer>Me</Programmer></sonavire_ProgramInformation>";

    struct Case
    {
        const char* what;
        juce::String type;
        juce::MemoryBlock bytes;
    };
    const Case cases[] = {
        {"text only", "UTF8_STRING", juce::MemoryBlock("hello", 5)},
        {"empty bytes", CJQZClipboard::programDataType, juce::MemoryBlock()},
        {"garbage", CJQZClipboard::programDataType, juce::MemoryBlock("\x01\x02garbage bytes", 15)},
        {"cut short", CJQZClipboard::programDataType, juce::MemoryBlock(serialized.getData(), 40)},
        {"a library container", CJQZClipboard::programDataType, container("snvrLibr", "snvrPrgD", {})},
        {"broken information", CJQZClipboard::programDataType,
         container("snvrProg", "snvrPrgI", juce::MemoryBlock(brokenXml, sizeof(brokenXml) - 1))},
        {"no program section", CJQZClipboard::programDataType,
         container("snvrProg", "snvrPrgI", juce::MemoryBlock(goodXml, sizeof(goodXml)))},
        {"a 4-byte program section", CJQZClipboard::programDataType,
         container("snvrProg", "snvrPrgD", juce::MemoryBlock("PROG", 4))},
    };
    ui::SelectedProgramStatus::getInstance()->setSelection({6});
    step("Before", new x47390_action::SetProgramNameAction(6, "Kept"));
    setEdited(false); // as after a save
    const auto kept = library().getProgramData(6);
    instrument.clearLog();

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        pasteboard()->setData(c.type, c.bytes);
        EXPECT_FALSE(performEditCommand(cmdPaste));
        testsupport::drainMessageLoop();
        EXPECT_EQ(library().getProgramData(6).binary, kept.binary);
        EXPECT_EQ(library().getProgramData(6).information.programmer, kept.information.programmer);
        EXPECT_EQ(undoManager().getUndoDescription(), "Before");
        EXPECT_FALSE(isEdited());
        EXPECT_TRUE(instrument.getReceived().empty());
    }

    pasteboard()->setData(CJQZClipboard::programDataType, serialized);
    EXPECT_TRUE(performEditCommand(cmdPaste));
    EXPECT_EQ(library().getProgramData(6).binary, program.binary);
}

TEST_F(EditCommands, PasteWithAnEmptyPasteboardDoesNothing)
{
    ui::SelectedProgramStatus::getInstance()->setSelection({0});
    EXPECT_FALSE(performEditCommand(cmdPaste));
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(EditCommands, ClearEmptiesTheSelectedRowsOfTheShownListInOneStep)
{
    auto unit = [](const char* name)
    {
        const auto bytes = simulator::SimulatedInstrument::makeUnit(2, name, 64);
        x47390_data::UserUnitSlotData entry;
        entry.setLoadedUnit(juce::MemoryBlock(bytes.data(), bytes.size()));
        return entry;
    };
    struct Case
    {
        int tab;
        const char* transaction;
        std::function<void(const std::vector<int>&)> select;
        std::function<bool(int)> isCleared;
    };
    const std::vector<int> rows{1, 2, 3};
    const Case cases[] = {
        {0, "ClearProgramData", [](auto& r) { ui::SelectedProgramStatus::getInstance()->setSelection(r); },
         [](int i) { return library().getProgramData(i).getName() == "Init Program"; }},
        {1, "ClearUserOscData", [](auto& r) { ui::SelectedUserOscStatus::getInstance()->setSelection(r); },
         [](int i) { return userData().getUserOscData(i).payload.isEmpty(); }},
        {2, "ClearUserModFXData", [](auto& r) { ui::SelectedUserModFXStatus::getInstance()->setSelection(r); },
         [](int i) { return userData().getUserModFXData(i).payload.isEmpty(); }},
        {3, "ClearUserDelFXData", [](auto& r) { ui::SelectedUserDelFXStatus::getInstance()->setSelection(r); },
         [](int i) { return userData().getUserDelFXData(i).payload.isEmpty(); }},
        {4, "ClearUserRevFXData", [](auto& r) { ui::SelectedUserRevFXStatus::getInstance()->setSelection(r); },
         [](int i) { return userData().getUserRevFXData(i).payload.isEmpty(); }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.transaction);
        for (int i = 0; i < 5; ++i)
        {
            auto entry = unit("Unit");
            library().getProgramData(i).setName("Filled");
            userData().getUserOscData(i).setLoadedUnit(entry.payload);
            userData().getUserModFXData(i).setLoadedUnit(entry.payload);
            userData().getUserDelFXData(i).setLoadedUnit(entry.payload);
            userData().getUserRevFXData(i).setLoadedUnit(entry.payload);
        }
        selectTab(c.tab);
        c.select(rows);

        EXPECT_TRUE(performEditCommand(cmdClear));

        EXPECT_EQ(undoManager().getUndoDescription(), c.transaction);
        EXPECT_EQ(undoManager().getNumActionsInCurrentTransaction(), 3);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(c.isCleared(i), i >= 1 && i <= 3) << i;
        ASSERT_TRUE(performEditCommand(cmdUndo));
        for (int i = 0; i < 5; ++i)
            EXPECT_FALSE(c.isCleared(i)) << i;

        c.select({});
        EXPECT_FALSE(performEditCommand(cmdClear));
    }

    selectTab(5);
    ui::SelectedProgramStatus::getInstance()->setSelection({1});
    EXPECT_FALSE(performEditCommand(cmdClear));
}

TEST(ProgramTuningConversion, BytesAndItemsMatch)
{
    const std::pair<int, int> byteToItem[] = {
        {0, 1},   {1, 2},   {22, 23}, {23, 1},   {100, 1},  {127, 1},  {128, 24},
        {133, 29}, {134, 30}, {139, 35}, {140, 1}, {200, 1}, {255, 1},
    };
    for (const auto& [byte, item] : byteToItem)
        EXPECT_EQ(programTuningItemForByte(byte), item) << byte;

    const std::pair<int, int> itemToByte[] = {{1, 0}, {23, 22}, {24, 128}, {29, 133}, {30, 134}, {35, 139}};
    for (const auto& [item, byte] : itemToByte)
        EXPECT_EQ(programTuningByteForItem(item), byte) << item;
    for (int item = 1; item <= 35; ++item)
        EXPECT_EQ(programTuningItemForByte(programTuningByteForItem(item)), item);
}

TEST_F(EditCommands, ProgramTuningStoresTheChosenTuning)
{
    struct Case
    {
        int byteBefore;
        int itemShown;
        int itemChosen;
        int byteAfter;
    };
    const Case cases[] = {
        {0, 1, 24, 128}, {140, 1, 35, 139}, {50, 1, 23, 22}, {131, 27, 1, 0}, {137, 33, 30, 134},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.byteBefore);
        auto program = programNamed("Tuned", 0x30);
        program.binary[51] = (std::uint8_t) c.byteBefore;
        program.updateHash();
        step("Set", new x47390_action::SetProgramDataAction(12, program));
        ui::SelectedProgramStatus::getInstance()->setSelection({12, 20});
        int shown = -1;
        bool modalWhileShown = true;
        dialogScript = [&](juce::Component& content, const juce::String& title)
        {
            EXPECT_EQ(title, "Program Tuning");
            modalWhileShown = ui::ModalDialogState::getInstance()->isModalDialogOpen();
            auto& dialog = dynamic_cast<ProgramTuningEditComponent&>(content);
            shown = dialog.getTuningBox().getSelectedId();
            dialog.getTuningBox().setSelectedId(c.itemChosen);
            dialog.buttonClicked(&dialog.getOkButton());
            return 1;
        };

        EXPECT_TRUE(performEditCommand(cmdProgramTuning));

        EXPECT_EQ(shown, c.itemShown);
        EXPECT_FALSE(modalWhileShown);
        EXPECT_EQ(library().getProgramData(12).binary[51], c.byteAfter);
        EXPECT_EQ(library().getProgramData(12).md5, x47390_data::md5Text(library().getProgramData(12).binary.data(), 336));
        EXPECT_EQ(undoManager().getUndoDescription(), "PasteProgramData");
        ASSERT_TRUE(performEditCommand(cmdUndo));
        EXPECT_EQ(library().getProgramData(12).binary[51], c.byteBefore);
    }
}

TEST_F(EditCommands, ProgramTuningChangesNothingWhenNotConfirmed)
{
    step("Before", new x47390_action::SetProgramNameAction(3, "Three"));
    ui::SelectedProgramStatus::getInstance()->setSelection({3});
    const auto before = library().getProgramData(3).binary;

    // Cancel, the escape key, and a selection emptied while the dialog showed.
    const std::function<int(ProgramTuningEditComponent&)> answers[] = {
        [](ProgramTuningEditComponent& dialog)
        {
            dialog.getTuningBox().setSelectedId(30);
            dialog.buttonClicked(&dialog.getCancelButton());
            return 0;
        },
        [](ProgramTuningEditComponent&) { return 0; },
        [](ProgramTuningEditComponent& dialog)
        {
            dialog.getTuningBox().setSelectedId(30);
            dialog.buttonClicked(&dialog.getOkButton());
            ui::SelectedProgramStatus::getInstance()->setSelection({});
            return 1;
        },
    };
    for (const auto& answer : answers)
    {
        ui::SelectedProgramStatus::getInstance()->setSelection({3});
        dialogScript = [&](juce::Component& content, const juce::String&)
        { return answer(dynamic_cast<ProgramTuningEditComponent&>(content)); };
        EXPECT_FALSE(performEditCommand(cmdProgramTuning));
        EXPECT_EQ(library().getProgramData(3).binary, before);
        EXPECT_EQ(undoManager().getUndoDescription(), "Before");
    }

    ui::SelectedProgramStatus::getInstance()->setSelection({});
    dialogTitles.clear();
    EXPECT_FALSE(performEditCommand(cmdProgramTuning));
    EXPECT_TRUE(dialogTitles.isEmpty());
}
