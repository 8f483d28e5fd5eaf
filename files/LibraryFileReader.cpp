#include "files/LibraryFileReader.h"

#include "data/LibraryData.h"
#include "files/ZipLibraryFileReader.h"

namespace x47390_file
{
int LibraryFileReader::read(const juce::File& file)
{
    ZipLibraryFileReader reader(file);
    if (const int code = reader.parse())
        return code;

    auto& library = *record;
    library.initialise();
    if (!reader.livesetEntries.empty())
        library.getFavoriteData() = reader.livesetEntries.front().liveset;

    // Records beyond the file's counts stay initial; entries beyond the library's size are ignored.
    for (size_t i = 0; i < reader.programEntries.size() && i < (size_t) x47390_data::LibraryData::numPrograms; ++i)
        library.getProgramData((int) i) = reader.programEntries[i].program;
    for (size_t i = 0; i < reader.tuneScaleEntries.size() && i < (size_t) x47390_data::LibraryData::numTuneScales; ++i)
        library.getTuneScaleData((int) i).copyNotesFrom(reader.tuneScaleEntries[i].scale);
    for (size_t i = 0; i < reader.tuneOctEntries.size() && i < (size_t) x47390_data::LibraryData::numTuneOcts; ++i)
        library.getTuneOctData((int) i).copyNotesFrom(reader.tuneOctEntries[i].octave);
    return file::ReadError::noError;
}
} // namespace x47390_file
