#include "data/LibraryData.h"

#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"

#include <cstdio>

namespace x47390_data
{
namespace
{
const char* const containerTag = "snvrLibr";
const char* const programTag = "snvrProg";
const char* const liveSetTag = "snvrLive";
const char* const scaleTag = "snvrTunS";
const char* const octaveTag = "snvrTunO";
} // namespace

void LibraryData::initialise()
{
    const auto& initial = getDefaultProgramData();
    for (auto& program : programs)
    {
        program.binary = initial.binary;
        program.md5 = initial.md5;
    }
    favorites = FavoriteData();
    for (int i = 0; i < numTuneScales; ++i)
    {
        tuneScales[(size_t) i].notes = identityTuneScale;
        tuneScales[(size_t) i].updateHash();
    }
    for (int i = 0; i < numTuneOcts; ++i)
    {
        tuneOcts[(size_t) i].notes = identityTuneOct;
        tuneOcts[(size_t) i].updateHash();
    }
}

LibraryData& LibraryData::copyFrom(const LibraryData& source)
{
    if (this == &source)
        return *this;
    programs = source.programs;
    favorites = source.favorites;
    for (int i = 0; i < numTuneScales; ++i)
        tuneScales[(size_t) i].copyNotesFrom(source.tuneScales[(size_t) i]);
    for (int i = 0; i < numTuneOcts; ++i)
        tuneOcts[(size_t) i].copyNotesFrom(source.tuneOcts[(size_t) i]);
    return *this;
}

ProgramData& LibraryData::getProgramData(int programNumber)
{
    if ((unsigned) programNumber < (unsigned) numPrograms)
        return programs[(size_t) programNumber];
    std::printf("Program Number Error: %d\n", programNumber);
    return spareProgram;
}

TuneScaleData& LibraryData::getTuneScaleData(int scaleNumber)
{
    if ((unsigned) scaleNumber < (unsigned) numTuneScales)
        return tuneScales[(size_t) scaleNumber];
    std::printf("Tune Scale Number Error: %d\n", scaleNumber);
    return tuneScales[numTuneScales];
}

TuneOctData& LibraryData::getTuneOctData(int octaveNumber)
{
    if ((unsigned) octaveNumber < (unsigned) numTuneOcts)
        return tuneOcts[(size_t) octaveNumber];
    std::printf("Tune Oct Number Error: %d\n", octaveNumber);
    return tuneOcts[numTuneOcts];
}

const ProgramData& LibraryData::getProgramData(int programNumber) const
{
    return const_cast<LibraryData*>(this)->getProgramData(programNumber);
}

const TuneScaleData& LibraryData::getTuneScaleData(int scaleNumber) const
{
    return const_cast<LibraryData*>(this)->getTuneScaleData(scaleNumber);
}

const TuneOctData& LibraryData::getTuneOctData(int octaveNumber) const
{
    return const_cast<LibraryData*>(this)->getTuneOctData(octaveNumber);
}

data::SerializedData LibraryData::serialize() const
{
    data::SerializedData result;
    data::SerializedSectionDataWriter writer(result);
    auto add = [&writer](const char* tag, const data::SerializedData& part) { writer.addSection(tag, part); };
    for (auto& program : programs)
        add(programTag, program.serialize());
    add(liveSetTag, favorites.serialize());
    for (int i = 0; i < numTuneScales; ++i)
        add(scaleTag, tuneScales[(size_t) i].serialize());
    for (int i = 0; i < numTuneOcts; ++i)
        add(octaveTag, tuneOcts[(size_t) i].serialize());
    writer.finish(containerTag);
    return result;
}

bool LibraryData::deserialize(const data::SerializedData& source)
{
    data::SerializedSectionDataReader reader(source);
    if (!reader.read() || reader.getTag() != containerTag)
        return false;

    auto decoded = std::make_unique<LibraryData>(*this);
    int programCount = 0, scaleCount = 0, octaveCount = 0;
    for (const auto& section : reader.getSections())
    {
        const data::SerializedData part(section.payload.getData(), section.payload.getSize());
        bool ok = true;
        if (section.tag == programTag)
            ok = programCount < numPrograms && decoded->programs[(size_t) programCount++].deserialize(part);
        else if (section.tag == liveSetTag)
            ok = decoded->favorites.deserialize(part);
        else if (section.tag == scaleTag)
            ok = scaleCount < numTuneScales && decoded->tuneScales[(size_t) scaleCount++].deserialize(part);
        else if (section.tag == octaveTag)
            ok = octaveCount < numTuneOcts && decoded->tuneOcts[(size_t) octaveCount++].deserialize(part);
        if (!ok)
            return false;
    }

    programs = decoded->programs;
    favorites = decoded->favorites;
    tuneScales = decoded->tuneScales;
    tuneOcts = decoded->tuneOcts;
    return true;
}
} // namespace x47390_data
