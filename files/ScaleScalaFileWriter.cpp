#include "files/ScaleScalaFileWriter.h"

#include "data/TuneScaleData.h"
#include "files/ScalaExportText.h"
#include "files/TextScalaFileWriter.h"

namespace x47390_file
{
juce::MemoryBlock ScaleScalaFileWriter::composeText(const x47390_data::TuneScaleData& scale)
{
    return ScalaExportText::compose(scale.notes.data(), x47390_data::tuneScaleNoteCount, false, 12800);
}

int ScaleScalaFileWriter::write(const juce::File& file)
{
    TextScalaFileWriter writer;
    writer.addScaleDataEntry(juce::String("ScalaS") + ".ScalaS_bin", composeText(*record));
    return writer.writeScaleEntries(file);
}
} // namespace x47390_file
