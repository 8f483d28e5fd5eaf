#include "files/ZipLibraryFileReader.h"

#include "data/LibraryData.h"
#include "data/XmlText.h"
#include "files/FileReader.h"
#include "files/PlainXml.h"
#include "files/ZipLibraryFileWriter.h"

#include <cstring>
#include <unordered_map>
#include <vector>

namespace x47390_file
{
namespace
{
using namespace file;

using Bytes = MemoryBasedZipUncompressor::MemberBytes;

// A full library's index is about 70 KB; a far larger one names more than any library holds.
constexpr size_t maximumIndexSize = 1024 * 1024;
// The general parser builds a large tree slowly: a document of ours is a few hundred bytes, and one far
// larger is refused like any document its reader does not take.
constexpr size_t maximumDocumentSize = 1024 * 1024;

std::unique_ptr<juce::XmlElement> parseMember(const Bytes& bytes)
{
    if (bytes.size > maximumDocumentSize)
        return nullptr;
    return data::parseDocumentBytes(bytes.data, bytes.size);
}

// The general parser's tree and the plain tree answer alike.
bool nameIs(const juce::XmlElement& element, const char* name) { return data::tagNameIs(element, name); }
bool nameIs(const PlainXmlNode& node, const char* name) { return node.nameIs(name); }
const juce::XmlElement* childNamed(const juce::XmlElement& parent, const char* name)
{
    return data::firstChildNamed(parent, name);
}
const PlainXmlNode* childNamed(const PlainXmlNode& parent, const char* name) { return parent.firstChildNamed(name); }

template <class Fn>
void forEachChildElement(const juce::XmlElement& parent, Fn&& fn)
{
    for (const auto* child : parent.getChildIterator())
        fn(*child);
}

template <class Fn>
void forEachChildElement(const PlainXmlNode& parent, Fn&& fn)
{
    parent.forEachChildElement(fn);
}

// The text of the first child of that name (letter case ignored); false when there is none.
template <class Node>
bool childText(const Node& parent, const char* name, juce::String& text)
{
    if (const auto* child = childNamed(parent, name))
    {
        text = child->getAllSubText();
        return true;
    }
    return false;
}

template <class Entry, class Node>
void gatherPair(const Node& element, const char* binaryTag, std::vector<Entry>& list)
{
    // Made in place: an entry holds a whole record, and records are copied, not moved.
    auto& entry = list.emplace_back();
    if (!childText(element, "Information", entry.informationName) || !childText(element, binaryTag, entry.binaryName))
        list.pop_back();
}

template <class Record>
bool readInformation(const Bytes& bytes, Record& record, PlainXmlDocument&)
{
    const auto root = parseMember(bytes);
    return root != nullptr && record.loadInformationFromXml(*root);
}

// Hundreds of program information documents: those in our writer's plain form are read without the
// general parser, to the same texts.
bool readInformation(const Bytes& bytes, x47390_data::ProgramData& program, PlainXmlDocument& document)
{
    const auto* root = document.parse(bytes.data, bytes.size);
    if (root == nullptr)
        return readInformation<x47390_data::ProgramData>(bytes, program, document);
    if (!root->nameIs("sonavire_ProgramInformation"))
        return false;
    childText(*root, "Programmer", program.information.programmer);
    childText(*root, "Comment", program.information.comment);
    return true;
}

// The records whose information was read, by the member it came from: an index may name one member for
// many records, and each member is parsed once.
template <class Record>
using ReadInformation = std::unordered_map<const Bytes*, const Record*>;

// Checks the binary and information members of one program or tuning and reads them into the record,
// all but its hash.
template <class Record, size_t size>
int checkPair(const Bytes* binary, const Bytes* information, Record& record, std::array<juce::uint8, size>& target,
              int missing, int shortBinary, int badInformation, PlainXmlDocument& document,
              ReadInformation<Record>& alreadyRead)
{
    if (binary == nullptr || information == nullptr)
        return missing;
    if (binary->size < size)
        return shortBinary;
    std::memcpy(target.data(), binary->data, size);
    if (const auto found = alreadyRead.find(information); found != alreadyRead.end())
    {
        record.information = found->second->information;
        return ReadError::noError;
    }
    if (!readInformation(*information, record, document))
        return badInformation;
    alreadyRead.emplace(information, &record);
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

const MemoryBasedZipUncompressor::MemberBytes* ZipLibraryFileReader::member(const juce::String& name) const
{
    return archive.findMember(std::string_view(name.toRawUTF8(), name.getNumBytesAsUTF8()));
}

int ZipLibraryFileReader::parse()
{
    // A file that is there but cannot be read is no damaged file.
    if (archive.wasRefused())
        return ReadError::openFile;
    if (archive.getNumEntries() == 0 || archive.inflateAllEntries().failed())
        return ReadError::failedToUncompressZipFile;

    // An archive without an index is no library-type file.
    const auto* indexBytes = member(ZipLibraryFileWriter::indexMemberName);
    if (indexBytes == nullptr)
        return ReadError::failedToParseXmlDocument;
    if (indexBytes->size > maximumIndexSize)
        return ReadError::invalidXmlDocument;
    // The index of a file we wrote is read without the general parser; any other through it.
    PlainXmlDocument document;
    if (const auto* plain = document.parse(indexBytes->data, indexBytes->size))
        return readIndex(*plain);
    const auto index = parseMember(*indexBytes);
    if (index == nullptr)
        return ReadError::failedToParseXmlDocument;
    return readIndex(*index);
}

template <class Node>
int ZipLibraryFileReader::readIndex(const Node& index)
{
    const auto* product = childNamed(index, "Product");
    const auto* contents = childNamed(index, "Contents");
    if (!nameIs(index, "VexoMSLibrarian_Data") || product == nullptr || contents == nullptr)
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

    // No file holds more than a library: 500 programs, one live set and the user tunings (and one preset
    // information). An index that names more is damaged, and its entries are not gathered.
    using x47390_data::LibraryData;
    const auto tooMany = [this]
    {
        return livesetEntries.size() > 1 || presetInformationEntries.size() > 1 ||
               programEntries.size() > (size_t) LibraryData::numPrograms ||
               tuneScaleEntries.size() > (size_t) LibraryData::numTuneScales ||
               tuneOctEntries.size() > (size_t) LibraryData::numTuneOcts;
    };
    programEntries.reserve((size_t) LibraryData::numPrograms + 1);
    forEachChildElement(*contents,
                        [&](const auto& element)
                        {
                            if (tooMany())
                                return;
                            if (nameIs(element, "LivesetData"))
                            {
                                FavoriteFileInformation entry;
                                if (withLiveset && childText(element, "File", entry.name))
                                    livesetEntries.push_back(std::move(entry));
                            }
                            else if (nameIs(element, "PresetInformation"))
                            {
                                PresetInformationFileInformation entry;
                                if (childText(element, "File", entry.name))
                                    presetInformationEntries.push_back(std::move(entry));
                            }
                            else if (nameIs(element, "ProgramData"))
                            {
                                gatherPair(element, "ProgramBinary", programEntries);
                            }
                            else if (nameIs(element, "TuneScaleData"))
                            {
                                gatherPair(element, "TuneScaleBinary", tuneScaleEntries);
                            }
                            else if (nameIs(element, "TuneOctData"))
                            {
                                gatherPair(element, "TuneOctBinary", tuneOctEntries);
                            }
                        });
    if (tooMany())
        return ReadError::invalidXmlDocument;
    return checkEntries();
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

    // One plain tree's storage serves every information document in turn.
    PlainXmlDocument document;
    ReadInformation<x47390_data::ProgramData> programInformation;
    for (auto& entry : programEntries)
        if (const int code = checkPair(member(entry.binaryName), member(entry.informationName), entry.program,
                                       entry.program.binary, ReadError::programDataMissing,
                                       ReadError::failedToReadProgramBinary, ReadError::failedToReadProgramInformation,
                                       document, programInformation))
            return code;
    // Hundreds of programs are hashed together.
    std::vector<x47390_data::ProgramData*> programs;
    programs.reserve(programEntries.size());
    for (auto& entry : programEntries)
        programs.push_back(&entry.program);
    x47390_data::ProgramData::updateHashes(programs.data(), programs.size());

    ReadInformation<x47390_data::TuneScaleData> scaleInformation;
    for (auto& entry : tuneScaleEntries)
    {
        if (const int code =
                checkPair(member(entry.binaryName), member(entry.informationName), entry.scale, entry.scale.notes,
                          ReadError::tuneScaleDataMissing, ReadError::failedToReadTuneScaleBinary,
                          ReadError::failedToReadTuneScaleInformation, document, scaleInformation))
            return code;
        entry.scale.updateHash();
    }

    ReadInformation<x47390_data::TuneOctData> octaveInformation;
    for (auto& entry : tuneOctEntries)
    {
        if (const int code = checkPair(member(entry.binaryName), member(entry.informationName), entry.octave,
                                       entry.octave.notes, ReadError::tuneOctDataMissing,
                                       ReadError::failedToReadTuneOctBinary, ReadError::failedToReadTuneOctInformation,
                                       document, octaveInformation))
            return code;
        entry.octave.updateHash();
    }

    return ReadError::noError;
}
} // namespace x47390_file
