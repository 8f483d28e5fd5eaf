#include "files/TextScalaFileWriter.h"

#include "files/FileReplacer.h"
#include "files/FileWriter.h"

namespace x47390_file
{
void TextScalaFileWriter::addScaleDataEntry(const juce::String& name, const juce::MemoryBlock& text)
{
    scaleFileInformation.emplace_back(name.upToFirstOccurrenceOf(".", false, false));
    scaleEntries.emplace_back(name, text);
}

void TextScalaFileWriter::addDataEntry(const juce::String& name, const juce::MemoryBlock& text)
{
    entries.emplace_back(name, text);
}

int TextScalaFileWriter::writeScaleEntries(const juce::File& file)
{
    return writeText(file, scaleEntries);
}

int TextScalaFileWriter::writeEntries(const juce::File& file)
{
    return writeText(file, entries);
}

bool TextScalaFileWriter::copyDataEntry(const DataEntry& entry, juce::MemoryOutputStream& out)
{
    constexpr size_t chunkSize = 2048;
    const auto* bytes = static_cast<const char*>(entry.text.getData());
    for (size_t done = 0; done < entry.text.getSize();)
    {
        const size_t chunk = juce::jmin(chunkSize, entry.text.getSize() - done);
        if (!out.write(bytes + done, chunk))
            return false;
        done += chunk;
    }
    return true;
}

int TextScalaFileWriter::writeText(const juce::File& file, const std::vector<DataEntry>& list)
{
    juce::MemoryOutputStream text;
    text << "! " << file.getFileName() << "\r\n";
    for (const auto& entry : list)
    {
        if (!copyDataEntry(entry, text))
            return file::WriteError::writeData;
    }
    return file::FileReplacer::replaceWithData(file, text.getData(), text.getDataSize());
}
} // namespace x47390_file
