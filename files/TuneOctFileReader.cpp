#include "files/TuneOctFileReader.h"

#include "data/TuneOctData.h"
#include "files/ZipLibraryFileReader.h"

namespace x47390_file
{
int TuneOctFileReader::read(const juce::File& file)
{
    ZipLibraryFileReader reader(file);
    if (const int code = reader.parse())
        return code;
    if (reader.tuneOctEntries.empty())
        return file::ReadError::tuneOctDataMissing;
    record->copyNotesFrom(reader.tuneOctEntries.front().octave);
    return file::ReadError::noError;
}
} // namespace x47390_file
