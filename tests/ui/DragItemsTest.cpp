#include "ui/DragItems.h"

#include <gtest/gtest.h>

namespace
{
juce::var listDescription(const juce::var& first, const juce::var& second)
{
    return juce::Array<juce::var>{first, second};
}

juce::var intArray(std::initializer_list<int> values)
{
    juce::Array<juce::var> array;
    for (int v : values)
        array.add(v);
    return array;
}
} // namespace

TEST(DragInsertOrder, MovesRowsBeforeTheInsertRow)
{
    struct Case
    {
        int rowCount;
        int insertRow;
        std::vector<int> moved;
        std::vector<int> order;
        std::vector<int> positions;
    };
    const Case cases[] = {
        {10, 6, {2, 3}, {0, 1, 4, 5, 2, 3, 6, 7, 8, 9}, {4, 5}},
        {10, 0, {7}, {7, 0, 1, 2, 3, 4, 5, 6, 8, 9}, {0}},
        {10, 10, {1, 4}, {0, 2, 3, 5, 6, 7, 8, 9, 1, 4}, {8, 9}},     // at the row count: last
        {10, 4, {4}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {4}},            // onto its own place
        {10, 5, {4}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {4}},            // one below its own place
        {10, 3, {8, 1}, {0, 2, 8, 1, 3, 4, 5, 6, 7, 9}, {2, 3}},      // placed in the order given
        {10, 2, {3, 3, 42, -1}, {0, 1, 3, 2, 4, 5, 6, 7, 8, 9}, {2}}, // repeats and strangers have nothing to move
        {10, 99, {0}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, {9}},           // an insert row past the end means the end
        {3, 1, {}, {0, 1, 2}, {}},
    };
    for (const auto& c : cases)
    {
        const auto rows = ui::DragInsertOrder::makeRowList(c.rowCount);
        ui::DragInsertOrder order(rows);
        EXPECT_EQ(order.computeNewOrder(c.insertRow, c.moved), c.order) << "insert " << c.insertRow;
        EXPECT_EQ(order.newOrder, c.order);
        EXPECT_EQ(order.movedPositions, c.positions) << "insert " << c.insertRow;
        EXPECT_EQ(rows.size(), (size_t) c.rowCount) << "the caller's rows stay";
    }
}

TEST(DragCopyTarget, TargetsFollowTheDropRowAndMoveUpToFit)
{
    struct Case
    {
        int rowCount;
        int dropRow;
        std::vector<int> sources;
        std::map<int, int> targets;
    };
    const Case cases[] = {
        {500, 10, {3, 4, 5}, {{10, 3}, {11, 4}, {12, 5}}},
        {500, 498, {3, 4, 5}, {{497, 3}, {498, 4}, {499, 5}}},
        {500, 499, {0, 1}, {{498, 0}, {499, 1}}},
        {500, 7, {7}, {{7, 7}}},
        {500, 7, {}, {}},
        {2, 0, {0, 1, 1}, {{0, 1}, {1, 1}}}, // more sources than rows: only targets inside the list
    };
    for (const auto& c : cases)
    {
        ui::DragCopyTarget copy(c.rowCount);
        EXPECT_EQ(copy.computeTargets(c.dropRow, c.sources), c.targets) << "drop " << c.dropRow;
    }
}

TEST(DragCopyPreset, PresetsBeyondTheLastRowAreNotCopied)
{
    ui::DragCopyPreset copy(500);
    EXPECT_EQ(copy.computeTargets(498, {1024, 1025, 1026}), (std::map<int, int>{{498, 1024}, {499, 1025}}));
    EXPECT_EQ(copy.computeTargets(0, {7}), (std::map<int, int>{{0, 7}}));
    EXPECT_TRUE(copy.computeTargets(-1, {7}).empty());
    EXPECT_TRUE(copy.computeTargets(3, {}).empty());
}

TEST(DragDescriptions, OnlyWellFormedListsHaveAType)
{
    const juce::var good = listDescription("ProgramListDragItem", intArray({2, 3}));
    EXPECT_TRUE(ui::isDragDescriptionOfType("ProgramListDragItem", good));
    EXPECT_FALSE(ui::isDragDescriptionOfType("programlistdragitem", good)) << "case-sensitive";
    EXPECT_FALSE(ui::isDragDescriptionOfType("PresetDataDragItem", good));

    const juce::var malformed[] = {
        juce::var("ProgramListDragItem"),
        juce::var(),
        juce::Array<juce::var>{juce::var("ProgramListDragItem")},
        listDescription(5, intArray({1})),
        listDescription("ProgramListDragItem", 2),
        ui::FavoriteDataDragItem::makeDescription(1, 2),
    };
    for (const auto& description : malformed)
    {
        EXPECT_FALSE(ui::isDragDescriptionOfType("ProgramListDragItem", description));
        EXPECT_FALSE(ui::isDragDescriptionOfType("FavoriteDataDragItem", description));
        ui::ProgramListDragItem item;
        item.valid = true;
        item.typeName = "left over";
        item.rows = {9};
        item.fromDescription(description);
        EXPECT_FALSE(item.valid);
        EXPECT_TRUE(item.typeName.isEmpty());
        EXPECT_TRUE(item.rows.empty());
    }
}

TEST(DragDescriptions, ProgramItemsReadAndWriteTheListForm)
{
    const juce::var description = listDescription("ProgramListDragItem", intArray({2, 3}));
    ui::ProgramListDragItem item;
    item.fromDescription(description);
    EXPECT_TRUE(item.valid);
    EXPECT_EQ(item.typeName, "ProgramListDragItem");
    EXPECT_EQ(item.rows, (std::vector<int>{2, 3}));
    EXPECT_EQ(item.toDescription(), description);

    // The type name is not compared: callers test the kind first.
    item.fromDescription(listDescription("UserListDragItem", intArray({})));
    EXPECT_TRUE(item.valid);
    EXPECT_EQ(item.typeName, "UserListDragItem");
    EXPECT_TRUE(item.rows.empty());
}

TEST(DragDescriptions, PresetKeysCarryLibraryAndProgramWhole)
{
    EXPECT_EQ(ui::makePresetDragKey(1, 5), 1029);
    EXPECT_EQ(ui::getPresetDragKeyLibrary(1029), 1);
    EXPECT_EQ(ui::getPresetDragKeyProgram(1029), 5);
    EXPECT_EQ(ui::makePresetDragKey(1, 0), 1024);

    // Libraries beyond the 64th stay apart instead of folding onto the first ones.
    const int key = ui::makePresetDragKey(64, 499);
    EXPECT_EQ(ui::getPresetDragKeyLibrary(key), 64);
    EXPECT_EQ(ui::getPresetDragKeyProgram(key), 499);
    EXPECT_NE(key, ui::makePresetDragKey(0, 499));

    EXPECT_EQ(ui::makePresetDragKey(-1, 0), -1);
    EXPECT_EQ(ui::makePresetDragKey(0, -1), -1);
    EXPECT_EQ(ui::makePresetDragKey(0, 1024), -1);
    EXPECT_EQ(ui::getPresetDragKeyLibrary(-1), -1);
    EXPECT_EQ(ui::getPresetDragKeyProgram(-5), -1);

    ui::PresetDataDragItem item;
    item.valid = true;
    item.keys = {1024, 1025, 1026};
    const auto description = item.toDescription();
    EXPECT_TRUE(ui::isDragDescriptionOfType("PresetDataDragItem", description));
    ui::PresetDataDragItem read;
    read.fromDescription(description);
    EXPECT_TRUE(read.valid);
    EXPECT_EQ(read.keys, item.keys);
}

TEST(DragDescriptions, FavoriteItemsHaveExactlyThreeElements)
{
    const auto description = ui::FavoriteDataDragItem::makeDescription(2, 5);
    EXPECT_TRUE(ui::FavoriteDataDragItem::isFavoriteDataDragItem(description));
    ui::FavoriteDataDragItem item;
    item.fromDescription(description);
    EXPECT_TRUE(item.valid);
    EXPECT_EQ(item.typeName, "FavoriteDataDragItem");
    EXPECT_EQ(item.bank, 2);
    EXPECT_EQ(item.slot, 5);
    EXPECT_EQ(item.description, description);

    const juce::var others[] = {
        juce::Array<juce::var>{juce::var("FavoriteDataDragItem"), juce::var(1)},
        juce::Array<juce::var>{juce::var("FavoriteDataDragItem"), juce::var(1), juce::var(2), juce::var(3)},
        juce::Array<juce::var>{juce::var("FavoriteDataDragItem"), juce::var("1"), juce::var(2)},
        juce::Array<juce::var>{juce::var("OtherItem"), juce::var(1), juce::var(2)},
        listDescription("ProgramListDragItem", intArray({1, 2})),
    };
    for (const auto& other : others)
        EXPECT_FALSE(ui::FavoriteDataDragItem::isFavoriteDataDragItem(other));

    ui::FavoriteDataDragItem unread;
    unread.fromDescription(others[0]);
    EXPECT_FALSE(unread.valid);
    EXPECT_TRUE(unread.typeName.isEmpty());
}
