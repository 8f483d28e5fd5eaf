#pragma once

#include <juce_core/juce_core.h>

#include <list>
#include <map>
#include <vector>

// What is dragged inside the main window and from the preset window, and the row arithmetic of drops.
//
// A drag description is an array whose element 0 is the type name. The list kinds carry an array of
// integers as element 1: [typeName, [n, n, ...]]; a live-set slot carries [typeName, bank, slot].
namespace ui
{
inline constexpr const char* programListDragItemTypeName = "ProgramListDragItem"; // program rows 0..499
inline constexpr const char* presetDataDragItemTypeName = "PresetDataDragItem";   // preset keys
inline constexpr const char* userListDragItemTypeName = "UserListDragItem";       // user-unit slot rows
inline constexpr const char* favoriteDataDragItemTypeName = "FavoriteDataDragItem";

// True for an array of at least two elements whose element 0 is a string equal to the type name
// (case-sensitive) and whose element 1 is an array.
bool isDragDescriptionOfType(const juce::String& typeName, const juce::var& description);

// The list form [typeName, [values...]].
juce::var makeListDragDescription(const juce::String& typeName, const std::vector<int>& values);
// Reads the list form whatever its type name; false (and nothing read) for any other shape.
bool readListDragDescription(const juce::var& description, juce::String& typeName, std::vector<int>& values);

// Program rows dragged from the program table.
class ProgramListDragItem
{
public:
    virtual ~ProgramListDragItem() = default;

    // Resets the item, then reads the list form; the type name is not compared.
    void fromDescription(const juce::var& description);
    juce::var toDescription() const;

    bool valid = false;
    juce::String typeName;
    std::vector<int> rows;
};

// A preset program in a drag: the preset library's index in the list of loaded libraries times 1024
// plus the program number. The library index is kept whole, so any number of loaded preset libraries
// can be told apart. Negative keys are invalid.
int makePresetDragKey(int libraryIndex, int programNumber); // -1 for a negative library or a bad program
int getPresetDragKeyLibrary(int key);                       // -1 for an invalid key
int getPresetDragKeyProgram(int key);                       // -1 for an invalid key

// Preset programs dragged from the preset window.
class PresetDataDragItem
{
public:
    virtual ~PresetDataDragItem() = default;

    void fromDescription(const juce::var& description);
    juce::var toDescription() const;

    bool valid = false;
    juce::String typeName{presetDataDragItemTypeName};
    std::vector<int> keys;
};

// A live-set slot dragged onto another slot: ["FavoriteDataDragItem", bank, slot].
class FavoriteDataDragItem
{
public:
    virtual ~FavoriteDataDragItem() = default;

    // Exactly three elements: the type name, then two integers.
    static bool isFavoriteDataDragItem(const juce::var& description);
    static juce::var makeDescription(int bank, int slot);

    // Reads the three-element form whatever its type name.
    void fromDescription(const juce::var& description);

    juce::var description;
    juce::String typeName;
    bool valid = false;
    int bank = 0;
    int slot = 0;
};

// Moving rows before an insert row. The rows stay in the caller's list; the result is the new order.
class DragInsertOrder
{
public:
    // allRows holds every row of the list, 0 to row count - 1, in order; it must outlive the object.
    explicit DragInsertOrder(const std::list<int>& allRows) : allRows(&allRows) {}
    virtual ~DragInsertOrder() = default;

    // insertRow is the row the moved rows go before (the row count: after the last). Moved rows that
    // are not in the list, or repeat, are left out. Afterwards newOrder[i] is the old row that moves to
    // position i, and movedPositions the new positions of the moved rows, in the order given.
    const std::vector<int>& computeNewOrder(int insertRow, const std::vector<int>& movedRows);

    // The rows 0 to count - 1.
    static std::list<int> makeRowList(int count);

    const std::list<int>* allRows;
    std::vector<int> newOrder;
    std::vector<int> movedPositions;
};

// Copying rows onto consecutive rows from the drop row on; a block that would run past the end
// moves up until it fits.
class DragCopyTarget
{
public:
    explicit DragCopyTarget(int numRows) : rowCount(numRows) {}
    virtual ~DragCopyTarget() = default;

    // Target row -> source row. Targets outside the list (more sources than rows) are left out.
    const std::map<int, int>& computeTargets(int dropRow, const std::vector<int>& sourceRows);

    int rowCount;
    std::map<int, int> targets;
};

// Copying preset programs onto the rows from the target row on; those beyond the last row are not copied.
class DragCopyPreset
{
public:
    explicit DragCopyPreset(int numRows) : rowCount(numRows) {}
    virtual ~DragCopyPreset() = default;

    // Target row -> preset key.
    const std::map<int, int>& computeTargets(int targetRow, const std::vector<int>& keys);

    int rowCount;
    std::map<int, int> targets;
};
} // namespace ui
