#include "files/UserUnitFileReader.h"

#include "data/UserData.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/UnitManifestValidation.h"

#include <boost/property_tree/json_parser.hpp>
#include <boost/regex.hpp>

#include <cstring>
#include <sstream>

namespace x47390_file
{
namespace
{
// The working state of one read.
class ZipUserUnitFileReader
{
public:
    explicit ZipUserUnitFileReader(const juce::File& file) : archive(file) {}
    virtual ~ZipUserUnitFileReader() = default;

    int read(juce::MemoryBlock& blob);

    juce::String message;

private:
    int fail(int code, const juce::String& text)
    {
        message = text;
        return code;
    }

    UnitHeaderRecord header{};
    juce::MemoryBlock payload;
    juce::String manifestName;
    juce::String payloadName;
    MemoryBasedZipUncompressor archive;
};

int ZipUserUnitFileReader::read(juce::MemoryBlock& blob)
{
    if (archive.wasRefused())
        return fail(file::ReadError::openFile, "The file cannot be read.");
    const auto uncompressed = archive.uncompressAllEntries();
    if (uncompressed.failed())
        return fail(file::ReadError::failedToUncompressZipFile, uncompressed.getErrorMessage());
    if (archive.entries.size() < 2)
        return fail(file::ReadError::invalidUserUnitFile, "The archive holds fewer than two members.");

    // Everything lives in the folder of the first member.
    static const boost::regex folderPattern("([^/]+/).*");
    const std::string firstName = archive.entries.front().name.toStdString();
    boost::smatch match;
    if (!boost::regex_match(firstName, match, folderPattern))
        return fail(file::ReadError::invalidUserUnitFile, "The first member is not inside a folder.");
    const auto folder = juce::String::fromUTF8(match.str(1).c_str());

    manifestName = folder + "manifest.json";
    payloadName = folder + "payload.bin";
    if (archive.findEntryIndex(manifestName) < 0)
        return fail(file::ReadError::userUnitFileMissingManifest, "No " + manifestName + ".");
    if (archive.findEntryIndex(payloadName) < 0)
        return fail(file::ReadError::userUnitFileMissingPayload, "No " + payloadName + ".");

    std::string manifestText;
    if (const auto found = archive.uncompressedData.find(manifestName); found != archive.uncompressedData.end())
    {
        const auto* bytes = static_cast<const char*>(found->second.getData());
        const size_t size = found->second.getSize();
        manifestText.assign(bytes, size > 0 ? strnlen(bytes, size) : 0);
    }
    if (const auto found = archive.uncompressedData.find(payloadName); found != archive.uncompressedData.end())
        payload = found->second;

    boost::property_tree::ptree manifest;
    try
    {
        std::istringstream stream(manifestText);
        boost::property_tree::read_json(stream, manifest);
    }
    catch (const std::exception& e)
    {
        return fail(file::ReadError::failedToParseUserUnitManifest, e.what());
    }

    std::string validation;
    const auto record = validateUnitManifest(manifest, validation);
    if (record == nullptr)
        return fail(file::ReadError::failedToParseUserUnitManifest, juce::String(validation));
    header = *record;

    const auto payloadSize = static_cast<juce::uint32>(payload.getSize());
    juce::MemoryOutputStream out(payload.getSize() + unitheader::blobHeaderSize + 4 + unitheader::blobTrailerSize);
    out.write(header.data(), unitheader::blobHeaderSize);
    out.writeInt(static_cast<int>(payloadSize));
    out.write(payload.getData(), payload.getSize());
    out.writeRepeatedByte(0, unitheader::blobTrailerSize);
    juce::MemoryBlock built(out.getData(), out.getDataSize());

    const auto* bytes = static_cast<const juce::uint8*>(built.getData());
    const unsigned moduleWord = static_cast<unsigned>(bytes[0] | (bytes[1] << 8));
    const unsigned module = moduleWord & 0x7F;
    if (moduleWord > 1023 || module > 4)
        return fail(file::ReadError::failedToReadUserUnitFile, "Invalid module word.");
    bool nameEnds = false;
    for (size_t i = unitheader::nameOffset; i < unitheader::nameOffset + unitheader::nameFieldSize; ++i)
        nameEnds = nameEnds || bytes[i] == 0;
    if (!nameEnds)
        return fail(file::ReadError::failedToReadUserUnitFile, "The unit name is not terminated.");
    if (payload.getSize() < 4 || std::memcmp(payload.getData(), unitPayloadMagics.data() + module * 4, 4) != 0)
        return fail(file::ReadError::failedToReadUserUnitFile, "The payload is not a unit of the manifest's module.");

    blob = std::move(built);
    return file::ReadError::noError;
}
} // namespace

UserUnitFileReader::UserUnitFileReader(x47390_data::UserUnitData* target) : record(target) {}

UserUnitFileReader::~UserUnitFileReader() = default;

int UserUnitFileReader::read(const juce::File& file)
{
    ZipUserUnitFileReader reader(file);
    juce::MemoryBlock blob;
    const int code = reader.read(blob);
    message = reader.message;
    if (code != file::ReadError::noError)
        return code;
    record->unitData = std::move(blob);
    record->message = {};
    return code;
}
} // namespace x47390_file
