#include "files/FactoryPresetLibrary.h"

#include "FactoryPresetData.h"

namespace x47390_file
{
const void* getFactoryPresetLibraryData()
{
    return FactoryPresetData::FactoryPresets_snvrpreset;
}

size_t getFactoryPresetLibrarySize()
{
    return static_cast<size_t>(FactoryPresetData::FactoryPresets_snvrpresetSize);
}
} // namespace x47390_file
