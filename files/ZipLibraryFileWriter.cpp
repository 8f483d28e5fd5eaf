#include "files/ZipLibraryFileWriter.h"

#include "data/FavoriteData.h"
#include "data/PresetData.h"
#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "data/XmlTextWriter.h"
#include "files/FileReplacer.h"
#include "files/FileWriter.h"

#include <cstdio>

namespace x47390_file
{
namespace
{
// "Prog_007.prog_info": a numbered member's name.
struct MemberName
{
    MemberName(const char* prefix, int number, const char* extension)
    {
        std::snprintf(text, sizeof(text), "%s%03d%s", prefix, number, extension);
    }
    char text[64];
};
} // namespace

const ZipLibraryFileWriter::NumberedKind ZipLibraryFileWriter::programKind{"Prog_", ".prog_bin", ".prog_info"};
const ZipLibraryFileWriter::NumberedKind ZipLibraryFileWriter::tuneScaleKind{"TunS_", ".TunS_bin", ".TunS_info"};
const ZipLibraryFileWriter::NumberedKind ZipLibraryFileWriter::tuneOctKind{"TunO_", ".TunO_bin", ".TunO_info"};

void ZipLibraryFileWriter::addDocument(const char* name)
{
    builder.addEntry(name, document.data(), document.size());
}

void ZipLibraryFileWriter::addLiveset(const x47390_data::FavoriteData& liveset)
{
    document.clear();
    liveset.appendDocument(document);
    addDocument(livesetMemberName);
    livesetNames.emplace_back(livesetMemberName);
}

void ZipLibraryFileWriter::addPresetInformation(const x47390_data::PresetInformation& information)
{
    document.clear();
    data::XmlTextWriter xml(document);
    xml.open("sonavire_Preset");
    xml.textElement("DataID", information.dataID);
    xml.textElement("Name", information.name);
    xml.textElement("Author", information.author);
    xml.textElement("Version", std::to_string(information.version).c_str());
    xml.textElement("NumOfProg", std::to_string(information.numOfProg).c_str());
    xml.textElement("Date", information.date);
    xml.textElement("Prefix", information.prefix);
    xml.textElement("Copyright", information.copyright);
    xml.close();
    addDocument(presetInformationMemberName);
    presetInformationNames.emplace_back(presetInformationMemberName);
}

// The information document is in document; the binary and its base name follow.
void ZipLibraryFileWriter::addNumbered(const NumberedKind& kind, const void* binary, size_t binarySize,
                                       std::vector<FileInformation>& list)
{
    const int number = (int) list.size();
    builder.addEntry(MemberName(kind.prefix, number, kind.binaryExtension).text, binary, binarySize);
    addDocument(MemberName(kind.prefix, number, kind.informationExtension).text);
    list.emplace_back(MemberName(kind.prefix, number, "").text);
}

void ZipLibraryFileWriter::addProgram(const x47390_data::ProgramData& program)
{
    document.clear();
    program.information.appendDocument(document);
    addNumbered(programKind, program.binary.data(), program.binary.size(), programNames);
}

void ZipLibraryFileWriter::addTuneScale(const x47390_data::TuneScaleData& scale)
{
    document.clear();
    scale.information.appendDocument(document);
    addNumbered(tuneScaleKind, scale.notes.data(), scale.notes.size(), tuneScaleNames);
}

void ZipLibraryFileWriter::addTuneOct(const x47390_data::TuneOctData& octave)
{
    document.clear();
    octave.information.appendDocument(document);
    addNumbered(tuneOctKind, octave.notes.data(), octave.notes.size(), tuneOctNames);
}

void ZipLibraryFileWriter::writeIndex(bool withLiveset)
{
    document.clear();
    data::XmlTextWriter xml(document);
    xml.open("VexoMSLibrarian_Data");
    xml.textElement("Product", "sonavire");
    xml.open("Contents");
    if (withLiveset)
        xml.attribute("NumLivesetData", (int) livesetNames.size());
    xml.attribute("NumProgramData", (int) programNames.size());
    xml.attribute("NumPresetInformation", (int) presetInformationNames.size());
    xml.attribute("NumTuneScaleData", (int) tuneScaleNames.size());
    xml.attribute("NumTuneOctData", (int) tuneOctNames.size());

    auto addFile = [&xml](const char* tag, const juce::String& name)
    {
        xml.open(tag);
        xml.textElement("File", name);
        xml.close();
    };
    auto addPairs = [&xml](const char* tag, const char* binaryTag, const NumberedKind& kind, size_t count)
    {
        for (int i = 0; i < (int) count; ++i)
        {
            xml.open(tag);
            xml.textElement("Information", MemberName(kind.prefix, i, kind.informationExtension).text);
            xml.textElement(binaryTag, MemberName(kind.prefix, i, kind.binaryExtension).text);
            xml.close();
        }
    };

    if (withLiveset)
        for (const auto& name : livesetNames)
            addFile("LivesetData", name.name);
    for (const auto& name : presetInformationNames)
        addFile("PresetInformation", name.name);
    addPairs("ProgramData", "ProgramBinary", programKind, programNames.size());
    addPairs("TuneScaleData", "TuneScaleBinary", tuneScaleKind, tuneScaleNames.size());
    addPairs("TuneOctData", "TuneOctBinary", tuneOctKind, tuneOctNames.size());
    xml.close();
    xml.close();
    addDocument(indexMemberName);
}

bool ZipLibraryFileWriter::buildArchive(bool withLiveset, juce::MemoryBlock& archive)
{
    if (!built)
    {
        writeIndex(withLiveset);
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
