#include "ui/DragItems.h"

#include <algorithm>
#include <limits>
#include <set>

namespace ui
{
namespace
{
bool isListForm(const juce::var& description)
{
    const auto* array = description.getArray();
    return array != nullptr && array->size() >= 2 && array->getReference(0).isString() &&
           array->getReference(1).isArray();
}

bool isFavoriteForm(const juce::var& description)
{
    const auto* array = description.getArray();
    return array != nullptr && array->size() == 3 && array->getReference(0).isString() &&
           array->getReference(1).isInt() && array->getReference(2).isInt();
}

constexpr int presetProgramBits = 10;
constexpr int presetProgramMask = (1 << presetProgramBits) - 1;
} // namespace

bool isDragDescriptionOfType(const juce::String& typeName, const juce::var& description)
{
    return isListForm(description) && (*description.getArray())[0].toString() == typeName;
}

juce::var makeListDragDescription(const juce::String& typeName, const std::vector<int>& values)
{
    juce::Array<juce::var> list;
    list.ensureStorageAllocated((int) values.size());
    for (int value : values)
        list.add(value);
    return juce::Array<juce::var>{juce::var(typeName), juce::var(list)};
}

bool readListDragDescription(const juce::var& description, juce::String& typeName, std::vector<int>& values)
{
    if (!isListForm(description))
        return false;
    const auto& array = *description.getArray();
    typeName = array[0].toString();
    const auto& list = *array.getReference(1).getArray();
    values.clear();
    values.reserve((size_t) list.size());
    for (const auto& value : list)
        values.push_back((int) value);
    return true;
}

void ProgramListDragItem::fromDescription(const juce::var& description)
{
    valid = false;
    typeName.clear();
    rows.clear();
    valid = readListDragDescription(description, typeName, rows);
}

juce::var ProgramListDragItem::toDescription() const { return makeListDragDescription(typeName, rows); }

int makePresetDragKey(int libraryIndex, int programNumber)
{
    if (libraryIndex < 0 || libraryIndex > (std::numeric_limits<int>::max() >> presetProgramBits) ||
        programNumber < 0 || programNumber > presetProgramMask)
        return -1;
    return (libraryIndex << presetProgramBits) | programNumber;
}

int getPresetDragKeyLibrary(int key) { return key < 0 ? -1 : key >> presetProgramBits; }

int getPresetDragKeyProgram(int key) { return key < 0 ? -1 : key & presetProgramMask; }

void PresetDataDragItem::fromDescription(const juce::var& description)
{
    valid = false;
    typeName.clear();
    keys.clear();
    valid = readListDragDescription(description, typeName, keys);
}

juce::var PresetDataDragItem::toDescription() const { return makeListDragDescription(typeName, keys); }

bool FavoriteDataDragItem::isFavoriteDataDragItem(const juce::var& description)
{
    return isFavoriteForm(description) && (*description.getArray())[0].toString() == favoriteDataDragItemTypeName;
}

juce::var FavoriteDataDragItem::makeDescription(int bank, int slot)
{
    return juce::Array<juce::var>{juce::var(favoriteDataDragItemTypeName), juce::var(bank), juce::var(slot)};
}

void FavoriteDataDragItem::fromDescription(const juce::var& source)
{
    description = source;
    typeName.clear();
    valid = false;
    if (!isFavoriteForm(source))
        return;
    const auto& array = *source.getArray();
    typeName = array[0].toString();
    bank = (int) array[1];
    slot = (int) array[2];
    valid = true;
}

const std::vector<int>& DragInsertOrder::computeNewOrder(int insertRow, const std::vector<int>& movedRows)
{
    newOrder.clear();
    movedPositions.clear();

    std::list<int> remaining(*allRows);
    std::list<int> toMove(movedRows.begin(), movedRows.end());
    std::set<int> removed;

    int n = insertRow;
    int kept = 0;
    for (auto it = remaining.begin(); it != remaining.end();)
    {
        const auto found = std::find(toMove.begin(), toMove.end(), *it);
        if (found == toMove.end())
        {
            ++it;
            ++kept;
            continue;
        }
        removed.insert(*it);
        toMove.erase(found);
        it = remaining.erase(it);
        if (kept < n)
            --n;
    }
    n = std::clamp(n, 0, (int) remaining.size());

    newOrder.reserve(allRows->size());
    auto it = remaining.begin();
    for (int i = 0; i < n; ++i)
        newOrder.push_back(*it++);
    for (int row : movedRows)
    {
        // Rows that were not in the list, and repeats, have nothing to move.
        if (removed.erase(row) == 0)
            continue;
        movedPositions.push_back((int) newOrder.size());
        newOrder.push_back(row);
    }
    newOrder.insert(newOrder.end(), it, remaining.end());
    return newOrder;
}

std::list<int> DragInsertOrder::makeRowList(int count)
{
    std::list<int> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(i);
    return rows;
}

const std::map<int, int>& DragCopyTarget::computeTargets(int dropRow, const std::vector<int>& sourceRows)
{
    targets.clear();
    const int count = (int) sourceRows.size();
    if (count == 0)
        return targets;
    const int first = std::min(rowCount - count, dropRow);
    for (int i = 0; i < count; ++i)
        if (first + i >= 0 && first + i < rowCount)
            targets[first + i] = sourceRows[(size_t) i];
    return targets;
}

const std::map<int, int>& DragCopyPreset::computeTargets(int targetRow, const std::vector<int>& keys)
{
    targets.clear();
    if (targetRow < 0)
        return targets;
    const int count = std::min((int) keys.size(), rowCount - targetRow);
    for (int i = 0; i < count; ++i)
        targets[targetRow + i] = keys[(size_t) i];
    return targets;
}
} // namespace ui
