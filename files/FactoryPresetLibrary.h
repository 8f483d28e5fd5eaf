#pragma once

#include <cstddef>

namespace x47390_file
{
// The factory preset library built into the program: the bytes of a preset file.
const void* getFactoryPresetLibraryData();
size_t getFactoryPresetLibrarySize();
} // namespace x47390_file
