#include "files/OctScalaFileWriter.h"

#include "data/TuneOctData.h"
#include "files/ScalaExportText.h"
#include "files/TextScalaFileWriter.h"

namespace x47390_file
{
juce::MemoryBlock OctScalaFileWriter::composeText(const x47390_data::TuneOctData& octave)
{
    return ScalaExportText::compose(octave.notes.data(), x47390_data::tuneOctNoteCount, true, 1200);
}

int OctScalaFileWriter::write(const juce::File& file)
{
    TextScalaFileWriter writer;
    writer.addScaleDataEntry(juce::String("ScalaO") + ".ScalaO_bin", composeText(*record));
    return writer.writeScaleEntries(file);
}
} // namespace x47390_file
