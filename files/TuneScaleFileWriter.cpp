#include "files/TuneScaleFileWriter.h"

#include "data/TuneScaleData.h"
#include "files/ZipLibraryFileWriter.h"

namespace x47390_file
{
int TuneScaleFileWriter::write(const juce::File& file)
{
    ZipLibraryFileWriter writer;
    writer.addTuneScale(*record);
    return writer.writeSubset(file);
}
} // namespace x47390_file
