#include "files/TuneScaleFileReader.h"

#include "data/TuneScaleData.h"
#include "files/ZipLibraryFileReader.h"

namespace x47390_file
{
int TuneScaleFileReader::read(const juce::File& file)
{
    ZipLibraryFileReader reader(file);
    if (const int code = reader.parse())
        return code;
    if (reader.tuneScaleEntries.empty())
        return file::ReadError::tuneScaleDataMissing;
    record->copyNotesFrom(reader.tuneScaleEntries.front().scale);
    return file::ReadError::noError;
}
} // namespace x47390_file
