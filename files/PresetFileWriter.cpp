#include "files/PresetFileWriter.h"

#include "data/PresetData.h"
#include "files/ZipLibraryFileWriter.h"

namespace x47390_file
{
PresetFileWriter::PresetFileWriter(const x47390_data::PresetData* source) : record(source) {}

PresetFileWriter::~PresetFileWriter() = default;

int PresetFileWriter::write(const juce::File& file)
{
    ZipLibraryFileWriter writer;
    writer.addPresetInformation(record->information);
    for (const auto& program : record->programs)
        writer.addProgram(program);
    return writer.writeLibrary(file);
}
} // namespace x47390_file
