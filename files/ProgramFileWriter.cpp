#include "files/ProgramFileWriter.h"

#include "data/ProgramData.h"
#include "files/ZipLibraryFileWriter.h"

namespace x47390_file
{
int ProgramFileWriter::write(const juce::File& file)
{
    ZipLibraryFileWriter writer;
    writer.addProgram(*record);
    return writer.writeLibrary(file);
}
} // namespace x47390_file
