#include "files/PresetFileReader.h"

#include "data/PresetData.h"
#include "files/ZipLibraryFileReader.h"

#include <algorithm>

namespace x47390_file
{
PresetFileReader::PresetFileReader(x47390_data::PresetData* target) : record(target) {}

PresetFileReader::~PresetFileReader() = default;

int PresetFileReader::read(const juce::File& file)
{
    ZipLibraryFileReader reader(file);
    if (const int code = reader.parse())
        return code;

    auto& preset = *record;
    // Slots the file does not fill hold the initial program data; its hash is known already.
    const auto& initial = x47390_data::getDefaultProgramData();
    for (auto& program : preset.programs)
    {
        program.binary = initial.binary;
        program.md5 = initial.md5;
    }
    preset.information.copyFrom(x47390_data::PresetInformation());
    preset.information.version = 0;
    preset.information.numOfProg = x47390_data::PresetData::numPrograms;

    if (reader.presetInformationEntries.empty())
        return file::ReadError::presetInformationMissing;
    preset.information.copyFrom(reader.presetInformationEntries.front().information);

    const size_t count = std::min(reader.programEntries.size(), preset.programs.size());
    for (size_t i = 0; i < count; ++i)
        preset.programs[i] = reader.programEntries[i].program; // hashed as it was read
    return file::ReadError::noError;
}
} // namespace x47390_file
