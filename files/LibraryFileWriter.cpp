#include "files/LibraryFileWriter.h"

#include "data/LibraryData.h"
#include "files/ZipLibraryFileWriter.h"

namespace x47390_file
{
int LibraryFileWriter::write(const juce::File& file)
{
    const auto& library = *record;
    ZipLibraryFileWriter writer;
    writer.addLiveset(library.getFavoriteData());
    for (int i = 0; i < x47390_data::LibraryData::numPrograms; ++i)
        writer.addProgram(library.getProgramData(i));
    for (int i = 0; i < x47390_data::LibraryData::numTuneScales; ++i)
        writer.addTuneScale(library.getTuneScaleData(i));
    for (int i = 0; i < x47390_data::LibraryData::numTuneOcts; ++i)
        writer.addTuneOct(library.getTuneOctData(i));
    return writer.writeLibrary(file);
}
} // namespace x47390_file
