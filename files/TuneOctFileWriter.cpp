#include "files/TuneOctFileWriter.h"

#include "data/TuneOctData.h"
#include "files/ZipLibraryFileWriter.h"

namespace x47390_file
{
int TuneOctFileWriter::write(const juce::File& file)
{
    ZipLibraryFileWriter writer;
    writer.addTuneOct(*record);
    return writer.writeSubset(file);
}
} // namespace x47390_file
