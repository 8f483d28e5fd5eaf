#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace ui
{
// A preset key names one program of one loaded preset library: the library's index in the list of
// preset libraries above bit 10, the program number (0 to 499) in bits 0 to 9. The library index is
// not cut to six bits, so the 65th library and later ones keep keys of their own.
int presetDragKey(int libraryIndex, int programIndex) noexcept;
int presetKeyLibraryIndex(int key) noexcept;
int presetKeyProgramIndex(int key) noexcept;

// What a drag of preset programs carries: the type name and the keys of the dragged programs.
class PresetDataDragItem
{
public:
    static constexpr const char* dragTypeName = "PresetDataDragItem";

    virtual ~PresetDataDragItem() = default;

    // An array of the type name and an array of the keys.
    juce::var toDescription() const;

    bool valid = true;
    juce::String typeName{dragTypeName};
    std::vector<int> keys;
};
} // namespace ui
