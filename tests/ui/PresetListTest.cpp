#include "data/PresetDataChangeBroadcaster.h"
#include "tests/ui/ListTestSupport.h"
#include "ui/DragItems.h"
#include "ui/PresetListComponent.h"
#include "ui/SelectedProgramStatus.h"

namespace
{
class PresetList : public ListFixture
{
protected:
    // Libraries named "Library <i>" whose programs are named "L<i>P<program>"; the first one lists
    // 12 programs, the others a "NumOfProg" of 0, which stands for all 500.
    static void addPresetLibraries(int count)
    {
        auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
        for (int i = 0; i < count; ++i)
        {
            x47390_data::PresetData preset;
            preset.information.dataID = "ID-" + juce::String(i);
            preset.information.name = "Library " + juce::String(i);
            preset.information.numOfProg = i == 0 ? 12 : 0;
            for (int program = 0; program < 500; ++program)
                preset.getProgramData(program).setName("L" + juce::String(i) + "P" + juce::String(program));
            presets.addPresetData(preset);
        }
    }

    static juce::TreeViewItem& program(PresetListComponent& list, int library, int index)
    {
        return *list.getRootItem()->getSubItem(library)->getSubItem(index);
    }

    static std::vector<int> dragKeys(PresetListComponent& list, int library, int index)
    {
        const auto description = program(list, library, index).getDragSourceDescription();
        EXPECT_TRUE(description.isArray());
        EXPECT_EQ(description[0].toString(), "PresetDataDragItem");
        std::vector<int> keys;
        for (const auto& key : *description[1].getArray())
            keys.push_back((int) key);
        return keys;
    }
};
} // namespace

TEST_F(PresetList, TreeShowsEveryLibraryWithItsPrograms)
{
    addPresetLibraries(2);
    PresetListComponent list;

    auto& tree = list.getTreeView();
    EXPECT_EQ(tree.getName(), "Preset List");
    EXPECT_FALSE(tree.isRootItemVisible());
    EXPECT_TRUE(tree.isMultiSelectEnabled());
    EXPECT_EQ(list.getWidth(), 250);
    EXPECT_EQ(list.getHeight(), 500);

    auto* root = list.getRootItem();
    ASSERT_EQ(root->getNumSubItems(), 2);
    EXPECT_EQ(root->getSubItem(0)->getNumSubItems(), 12);
    EXPECT_EQ(root->getSubItem(1)->getNumSubItems(), 500);
    EXPECT_EQ(root->getSubItem(1)->getUniqueName(), "ID-1");
    EXPECT_FALSE(root->getSubItem(0)->isOpen());

    struct Row
    {
        int library, program;
        const char* text;
        const char* uniqueName;
    };
    for (const auto& row : {Row{0, 0, "[001] L0P0", "Preset:0-0"}, Row{0, 11, "[012] L0P11", "Preset:0-11"},
                            Row{1, 1, "[002] L1P1", "Preset:1-1"}, Row{1, 499, "[500] L1P499", "Preset:1-499"}})
    {
        auto* item = dynamic_cast<PresetDataItem*>(&program(list, row.library, row.program));
        ASSERT_NE(item, nullptr);
        // Names are twelve characters padded with blanks.
        EXPECT_EQ(item->getRowText().trimEnd(), juce::String(row.text).trimEnd()) << row.text;
        EXPECT_EQ(item->getUniqueName(), row.uniqueName);
        EXPECT_EQ(item->getItemHeight(), 25);
    }
    EXPECT_EQ(program(list, 1, 499).getDragSourceDescription()[0].toString(), "PresetDataDragItem");
    EXPECT_TRUE(root->getSubItem(0)->getDragSourceDescription().isVoid()); // no drag from a library row
}

TEST_F(PresetList, RowHeightAndLibrariesAreFollowedByRebuilding)
{
    addPresetLibraries(1);
    PresetListComponent list;
    list.getRootItem()->getSubItem(0)->setOpen(true);

    setRowHeight(40);
    ASSERT_EQ(list.getRootItem()->getNumSubItems(), 1);
    EXPECT_EQ(list.getRootItem()->getSubItem(0)->getItemHeight(), 40);
    EXPECT_EQ(program(list, 0, 3).getItemHeight(), 40);
    EXPECT_EQ(list.getTreeView().getRootItem(), list.getRootItem());

    // An import while the list is open: every library closed again.
    list.getRootItem()->getSubItem(0)->setOpen(true);
    addPresetLibraries(1);
    data::PresetDataChangeBroadcaster::getInstance()->notifyPresetDataChanged();
    drain();
    ASSERT_EQ(list.getRootItem()->getNumSubItems(), 2);
    EXPECT_FALSE(list.getRootItem()->getSubItem(0)->isOpen());
    EXPECT_EQ(list.getTreeView().getRootItem(), list.getRootItem());
}

TEST_F(PresetList, ClickingAProgramMakesItCurrentAndClearsTheProgramSelection)
{
    addPresetLibraries(2);
    PresetListComponent list;
    auto& holder = *x47390_data::CurrentProgramData::getInstance();
    ui::SelectedProgramStatus::getInstance()->setSelection({4});
    drain();
    midi().isCommunicating = false;
    const int handOversBefore = midi().getNumProgramHandOvers();

    program(list, 1, 22).setSelected(true, true);
    EXPECT_EQ(holder.getKind(), x47390_data::CurrentProgramData::presetProgram);
    EXPECT_EQ(holder.getPresetLibraryNumber(), 1);
    EXPECT_EQ(holder.getProgramNumber(), 22);
    EXPECT_EQ(holder.getProgramData().getName().trimEnd(), "L1P22");
    EXPECT_TRUE(ui::SelectedProgramStatus::getInstance()->selection.empty());
    EXPECT_EQ(midi().getNumProgramHandOvers(), handOversBefore + 1);

    // Deselecting sends nothing; selecting the current preset again sends nothing new either.
    ui::SelectedProgramStatus::getInstance()->setSelection({7});
    program(list, 1, 22).setSelected(false, true);
    program(list, 1, 22).setSelected(true, true);
    EXPECT_EQ(midi().getNumProgramHandOvers(), handOversBefore + 1);
    EXPECT_EQ(ui::SelectedProgramStatus::getInstance()->selection, std::vector<int>{7});

    // Several rows selected with modifiers: each new one becomes current in turn.
    program(list, 0, 2).setSelected(true, false);
    program(list, 0, 5).setSelected(true, false);
    EXPECT_EQ(holder.getPresetLibraryNumber(), 0);
    EXPECT_EQ(holder.getProgramNumber(), 5);
    EXPECT_EQ(midi().getNumProgramHandOvers(), handOversBefore + 3);
}

TEST_F(PresetList, DragCarriesTheKeysOfEverySelectedProgram)
{
    addPresetLibraries(2);
    PresetListComponent list;

    for (int row : {0, 1, 2})
        program(list, 1, row).setSelected(true, false);
    list.getRootItem()->getSubItem(0)->setSelected(true, false); // a library row adds nothing
    EXPECT_EQ(dragKeys(list, 1, 1), (std::vector<int>{1024, 1025, 1026}));

    program(list, 0, 7).setSelected(true, false);
    EXPECT_EQ(dragKeys(list, 1, 0), (std::vector<int>{7, 1024, 1025, 1026}));

    list.getTreeView().clearSelectedItems();
    EXPECT_TRUE(dragKeys(list, 0, 3).empty());
}

TEST_F(PresetList, KeysOfLibrariesBeyondTheSixtyFourthStayTheirOwn)
{
    addPresetLibraries(70);
    PresetListComponent list;
    program(list, 69, 499).setSelected(true, true);
    const auto keys = dragKeys(list, 69, 499);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(ui::getPresetDragKeyLibrary(keys[0]), 69);
    EXPECT_EQ(ui::getPresetDragKeyProgram(keys[0]), 499);
    EXPECT_NE(keys[0], ui::makePresetDragKey(5, 499));
}

TEST_F(PresetList, SelectedProgramRowsArePaintedDark)
{
    addPresetLibraries(1);
    PresetListComponent list;
    list.getRootItem()->getSubItem(0)->setOpen(true);
    program(list, 0, 1).setSelected(true, true);
    drain();

    const auto image = list.createComponentSnapshot(list.getLocalBounds());
    // Rows of 25: the library row, then program 0, then the selected program 1.
    EXPECT_EQ(image.getPixelAt(200, 25 + 3).getARGB(), 0xff111111u);
    EXPECT_EQ(image.getPixelAt(200, 50 + 3).getARGB(), 0xff333333u);
    // Row text is drawn light grey at the left.
    int lightPixels = 0;
    for (int x = 0; x < 120; ++x)
        for (int y = 50; y < 75; ++y)
            lightPixels += image.getPixelAt(x, y).getBrightness() > 0.6f ? 1 : 0;
    EXPECT_GT(lightPixels, 20);
}
