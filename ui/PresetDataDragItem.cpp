#include "ui/PresetDataDragItem.h"

namespace ui
{
namespace
{
constexpr int programBits = 10;
constexpr int programMask = (1 << programBits) - 1;
} // namespace

int presetDragKey(int libraryIndex, int programIndex) noexcept
{
    return (juce::jmax(0, libraryIndex) << programBits) | (programIndex & programMask);
}

int presetKeyLibraryIndex(int key) noexcept
{
    return key >= 0 ? key >> programBits : -1;
}

int presetKeyProgramIndex(int key) noexcept
{
    return key & programMask;
}

juce::var PresetDataDragItem::toDescription() const
{
    juce::Array<juce::var> keyArray;
    keyArray.ensureStorageAllocated((int) keys.size());
    for (const int key : keys)
        keyArray.add(key);

    juce::Array<juce::var> description;
    description.add(typeName);
    description.add(keyArray);
    return description;
}
} // namespace ui
