#include "files/ZipLibraryFileWriter.h"

#include "data/FavoriteData.h"
#include "data/PresetData.h"
#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "data/XmlText.h"
#include "files/FileReplacer.h"
#include "files/FileWriter.h"

namespace x47390_file
{
namespace
{
juce::MemoryBlock documentBytes(const juce::XmlElement& element)
{
    const auto text = data::toDocumentText(element);
    return juce::MemoryBlock(text.toRawUTF8(), text.getNumBytesAsUTF8());
}
} // namespace

void ZipLibraryFileWriter::addLiveset(const x47390_data::FavoriteData& liveset)
{
    builder.addEntry(livesetMemberName, documentBytes(*liveset.createXml()), {});
    livesetNames.emplace_back(livesetMemberName);
}

void ZipLibraryFileWriter::addPresetInformation(const x47390_data::PresetInformation& information)
{
    juce::XmlElement root("sonavire_Preset");
    data::addTextChild(root, "DataID", information.dataID);
    data::addTextChild(root, "Name", information.name);
    data::addTextChild(root, "Author", information.author);
    data::addTextChild(root, "Version", juce::String(information.version));
    data::addTextChild(root, "NumOfProg", juce::String(information.numOfProg));
    data::addTextChild(root, "Date", information.date);
    data::addTextChild(root, "Prefix", information.prefix);
    data::addTextChild(root, "Copyright", information.copyright);
    builder.addEntry(presetInformationMemberName, documentBytes(root), {});
    presetInformationNames.emplace_back(presetInformationMemberName);
}

void ZipLibraryFileWriter::addNumbered(const char* prefix, const char* binaryExtension,
                                       const char* informationExtension, const void* binary, size_t binarySize,
                                       const juce::XmlElement& information, std::vector<FileInformation>& list)
{
    const auto base = prefix + juce::String::formatted("%03d", (int) list.size());
    builder.addEntry(base + binaryExtension, juce::MemoryBlock(binary, binarySize), {});
    builder.addEntry(base + informationExtension, documentBytes(information), {});
    list.emplace_back(base);
}

void ZipLibraryFileWriter::addProgram(const x47390_data::ProgramData& program)
{
    addNumbered("Prog_", ".prog_bin", ".prog_info", program.binary.data(), program.binary.size(),
                *program.information.createXml(), programNames);
}

void ZipLibraryFileWriter::addTuneScale(const x47390_data::TuneScaleData& scale)
{
    addNumbered("TunS_", ".TunS_bin", ".TunS_info", scale.notes.data(), scale.notes.size(),
                *scale.information.createXml(), tuneScaleNames);
}

void ZipLibraryFileWriter::addTuneOct(const x47390_data::TuneOctData& octave)
{
    addNumbered("TunO_", ".TunO_bin", ".TunO_info", octave.notes.data(), octave.notes.size(),
                *octave.information.createXml(), tuneOctNames);
}

std::unique_ptr<juce::XmlElement> ZipLibraryFileWriter::createIndex(bool withLiveset) const
{
    auto root = std::make_unique<juce::XmlElement>("VexoMSLibrarian_Data");
    root->createNewChildElement("Product")->addTextElement("sonavire");
    auto* contents = root->createNewChildElement("Contents");
    if (withLiveset)
        contents->setAttribute("NumLivesetData", (int) livesetNames.size());
    contents->setAttribute("NumProgramData", (int) programNames.size());
    contents->setAttribute("NumPresetInformation", (int) presetInformationNames.size());
    contents->setAttribute("NumTuneScaleData", (int) tuneScaleNames.size());
    contents->setAttribute("NumTuneOctData", (int) tuneOctNames.size());

    auto addPair = [contents](const char* tag, const juce::String& base, const char* binaryTag,
                              const char* binaryExtension, const char* informationExtension)
    {
        auto* element = contents->createNewChildElement(tag);
        element->createNewChildElement("Information")->addTextElement(base + informationExtension);
        element->createNewChildElement(binaryTag)->addTextElement(base + binaryExtension);
    };

    if (withLiveset)
        for (const auto& name : livesetNames)
            contents->createNewChildElement("LivesetData")->createNewChildElement("File")->addTextElement(name.name);
    for (const auto& name : presetInformationNames)
        contents->createNewChildElement("PresetInformation")->createNewChildElement("File")->addTextElement(name.name);
    for (const auto& name : programNames)
        addPair("ProgramData", name.name, "ProgramBinary", ".prog_bin", ".prog_info");
    for (const auto& name : tuneScaleNames)
        addPair("TuneScaleData", name.name, "TuneScaleBinary", ".TunS_bin", ".TunS_info");
    for (const auto& name : tuneOctNames)
        addPair("TuneOctData", name.name, "TuneOctBinary", ".TunO_bin", ".TunO_info");
    return root;
}

bool ZipLibraryFileWriter::buildArchive(bool withLiveset, juce::MemoryBlock& archive)
{
    if (!built)
    {
        builder.addEntry(indexMemberName, documentBytes(*createIndex(withLiveset)), {});
        built = true;
    }
    juce::MemoryOutputStream out(archive, false);
    out.preallocate(builder.getMaximumArchiveSize());
    return builder.writeToStream(out);
}

int ZipLibraryFileWriter::write(const juce::File& target, bool withLiveset)
{
    juce::MemoryBlock archive;
    if (!buildArchive(withLiveset, archive))
        return file::WriteError::writeData;
    return file::FileReplacer::replaceWithData(target, archive.getData(), archive.getSize());
}

int ZipLibraryFileWriter::writeLibrary(const juce::File& target)
{
    return write(target, true);
}

int ZipLibraryFileWriter::writeSubset(const juce::File& target)
{
    return write(target, false);
}
} // namespace x47390_file
