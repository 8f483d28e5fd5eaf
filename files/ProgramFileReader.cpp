#include "files/ProgramFileReader.h"

#include "data/ProgramData.h"
#include "files/ZipLibraryFileReader.h"

namespace x47390_file
{
int ProgramFileReader::read(const juce::File& file)
{
    ZipLibraryFileReader reader(file);
    if (const int code = reader.parse())
        return code;
    if (reader.programEntries.empty())
        return file::ReadError::programDataMissing;
    *record = reader.programEntries.front().program;
    return file::ReadError::noError;
}
} // namespace x47390_file
