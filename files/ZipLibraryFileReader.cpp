#include "files/ZipLibraryFileReader.h"

#include "data/XmlText.h"
#include "files/FileReader.h"
#include "files/ZipLibraryFileWriter.h"

#include <cstring>

namespace x47390_file
{
namespace
{
using namespace file;

std::unique_ptr<juce::XmlElement> parseMember(const juce::MemoryBlock& bytes)
{
    return data::parseDocumentBytes(bytes.getData(), bytes.getSize());
}

// The text of the first child of that name (letter case ignored); false when there is none.
bool childText(const juce::XmlElement& parent, const char* name, juce::String& text)
{
    if (const auto* child = data::firstChildNamed(parent, name))
    {
        text = child->getAllSubText();
        return true;
    }
    return false;
}

template <class Entry>
void gatherPair(const juce::XmlElement& element, const char* binaryTag, std::vector<Entry>& list)
{
    Entry entry;
    if (childText(element, "Information", entry.informationName) && childText(element, binaryTag, entry.binaryName))
        list.push_back(std::move(entry));
}

// Checks the binary and information members of one program or tuning and reads them into the record.
template <class Record, size_t size>
int checkPair(const juce::MemoryBlock* binary, const juce::MemoryBlock* information, Record& record,
              std::array<juce::uint8, size>& target, int missing, int shortBinary, int badInformation)
{
    if (binary == nullptr || information == nullptr)
        return missing;
    if (binary->getSize() < size)
        return shortBinary;
    std::memcpy(target.data(), binary->getData(), size);
    record.updateHash();
    const auto root = parseMember(*information);
    if (root == nullptr || !record.loadInformationFromXml(*root))
        return badInformation;
    return ReadError::noError;
}
} // namespace

ZipLibraryFileReader::PresetInformationFileInformation::PresetInformationFileInformation()
{
    information.version = 0;
    information.numOfProg = 500;
}

ZipLibraryFileReader::ZipLibraryFileReader(const juce::File& file) : archive(file) {}

ZipLibraryFileReader::ZipLibraryFileReader(const juce::MemoryBlock& archiveBytes) : archive(archiveBytes) {}

const juce::MemoryBlock* ZipLibraryFileReader::member(const juce::String& name) const
{
    const auto found = archive.uncompressedData.find(name);
    return found != archive.uncompressedData.end() ? &found->second : nullptr;
}

int ZipLibraryFileReader::parse()
{
    if (archive.getNumEntries() == 0 || archive.uncompressAllEntries().failed())
        return ReadError::failedToUncompressZipFile;

    // An archive without an index is no library-type file.
    const auto* indexBytes = member(ZipLibraryFileWriter::indexMemberName);
    if (indexBytes == nullptr)
        return ReadError::failedToParseXmlDocument;
    const auto index = parseMember(*indexBytes);
    if (index == nullptr)
        return ReadError::failedToParseXmlDocument;

    const auto* product = data::firstChildNamed(*index, "Product");
    const auto* contents = data::firstChildNamed(*index, "Contents");
    if (!data::tagNameIs(*index, "VexoMSLibrarian_Data") || product == nullptr || contents == nullptr)
        return ReadError::invalidXmlDocument;

    // Sibling instruments' files share the format but carry no live set of ours.
    const auto productText = product->getAllSubText();
    bool withLiveset = true;
    if (productText.contains("sonavire"))
        withLiveset = true;
    else if (productText.contains("dorvantin") || productText.contains("quintaval"))
        withLiveset = false;
    else
        return ReadError::differentTargetDevice;

    gatherEntries(*contents, withLiveset);
    return checkEntries();
}

void ZipLibraryFileReader::gatherEntries(const juce::XmlElement& contents, bool withLiveset)
{
    for (const auto* element : contents.getChildIterator())
    {
        if (data::tagNameIs(*element, "LivesetData"))
        {
            FavoriteFileInformation entry;
            if (withLiveset && childText(*element, "File", entry.name))
                livesetEntries.push_back(std::move(entry));
        }
        else if (data::tagNameIs(*element, "PresetInformation"))
        {
            PresetInformationFileInformation entry;
            if (childText(*element, "File", entry.name))
                presetInformationEntries.push_back(std::move(entry));
        }
        else if (data::tagNameIs(*element, "ProgramData"))
        {
            gatherPair(*element, "ProgramBinary", programEntries);
        }
        else if (data::tagNameIs(*element, "TuneScaleData"))
        {
            gatherPair(*element, "TuneScaleBinary", tuneScaleEntries);
        }
        else if (data::tagNameIs(*element, "TuneOctData"))
        {
            gatherPair(*element, "TuneOctBinary", tuneOctEntries);
        }
    }
}

int ZipLibraryFileReader::checkEntries()
{
    for (auto& entry : livesetEntries)
    {
        const auto* bytes = member(entry.name);
        if (bytes == nullptr)
            return ReadError::livesetDataMissing;
        const auto root = parseMember(*bytes);
        if (root == nullptr || !entry.liveset.loadFromXml(*root))
            return ReadError::failedToReadLivesetData;
    }

    for (auto& entry : presetInformationEntries)
    {
        const auto* bytes = member(entry.name);
        if (bytes == nullptr)
            return ReadError::presetInformationMissing;
        const auto root = parseMember(*bytes);
        if (root == nullptr || !data::tagNameIs(*root, "sonavire_Preset"))
            return ReadError::failedToReadPresetInformation;
        auto& info = entry.information;
        juce::String text;
        childText(*root, "DataID", info.dataID);
        childText(*root, "Name", info.name);
        childText(*root, "Author", info.author);
        childText(*root, "Copyright", info.copyright);
        childText(*root, "Date", info.date);
        childText(*root, "Prefix", info.prefix);
        if (childText(*root, "Version", text))
            info.version = x47390_data::FavoriteData::parseEntry(text);
        if (childText(*root, "NumOfProg", text))
            info.numOfProg = x47390_data::FavoriteData::parseEntry(text);
    }

    for (auto& entry : programEntries)
        if (const int code = checkPair(member(entry.binaryName), member(entry.informationName), entry.program,
                                       entry.program.binary, ReadError::programDataMissing,
                                       ReadError::failedToReadProgramBinary, ReadError::failedToReadProgramInformation))
            return code;

    for (auto& entry : tuneScaleEntries)
        if (const int code =
                checkPair(member(entry.binaryName), member(entry.informationName), entry.scale, entry.scale.notes,
                          ReadError::tuneScaleDataMissing, ReadError::failedToReadTuneScaleBinary,
                          ReadError::failedToReadTuneScaleInformation))
            return code;

    for (auto& entry : tuneOctEntries)
        if (const int code = checkPair(member(entry.binaryName), member(entry.informationName), entry.octave,
                                       entry.octave.notes, ReadError::tuneOctDataMissing,
                                       ReadError::failedToReadTuneOctBinary, ReadError::failedToReadTuneOctInformation))
            return code;

    return ReadError::noError;
}
} // namespace x47390_file
