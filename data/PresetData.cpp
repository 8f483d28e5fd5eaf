#include "data/PresetData.h"

#include <cstdio>

namespace x47390_data
{
void PresetInformation::copyFrom(const PresetInformation& source)
{
    dataID = source.dataID;
    name = source.name;
    author = source.author;
    copyright = source.copyright;
    date = source.date;
    prefix = source.prefix;
    version = source.version;
    numOfProg = source.numOfProg;
}

PresetData::PresetData(const PresetData& source) : data::Data(), programs(source.programs)
{
    information.copyFrom(source.information);
}

PresetData& PresetData::operator=(const PresetData& source)
{
    if (this != &source)
    {
        programs = source.programs;
        information.copyFrom(source.information);
    }
    return *this;
}

ProgramData& PresetData::getProgramData(int programNumber)
{
    if ((unsigned) programNumber < (unsigned) numPrograms)
        return programs[(size_t) programNumber];
    std::printf("Preset Program Number Error: %d\n", programNumber);
    return spareProgram;
}

const ProgramData& PresetData::getProgramData(int programNumber) const
{
    return const_cast<PresetData*>(this)->getProgramData(programNumber);
}

PresetData& PresetLibrary::getPresetData(int index)
{
    if (index >= 0 && index < getNumPresetData())
        return *presets[(size_t) index];
    return fallback;
}

const PresetData& PresetLibrary::getPresetData(int index) const
{
    return const_cast<PresetLibrary*>(this)->getPresetData(index);
}

void PresetLibrary::addPresetData(const PresetData& source)
{
    presets.push_back(std::make_unique<PresetData>(source));
}

void PresetLibrary::addPresetData(std::unique_ptr<PresetData> preset)
{
    jassert(preset != nullptr);
    presets.push_back(std::move(preset));
}
} // namespace x47390_data
