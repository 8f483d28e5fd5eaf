#include "data/ProgramData.h"

#include "data/Md5.h"
#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"
#include "data/XmlText.h"

#include <vector>

namespace x47390_data
{
// clang-format off
const ProgramBinary initProgramTemplate = {
    0x50, 0x52, 0x4F, 0x47, 0x49, 0x6E, 0x69, 0x74, 0x20, 0x50, 0x72, 0x6F, 0x67, 0x72, 0x61, 0x6D,
    0x02, 0x00, 0x02, 0x00, 0x40, 0xFF, 0x00, 0x3C, 0xB0, 0x04, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x01, 0x00, 0x66, 0x01, 0xFF, 0x01, 0xFF, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF,
    0x01, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x02, 0x00, 0x00,
    0x02, 0x00, 0x02, 0x02, 0x01, 0x00, 0x02, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x03, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0xFF, 0x03, 0x1E, 0x00, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0xA8, 0x02, 0x00, 0x02, 0x02, 0x1C, 0x00, 0x02,
    0x02, 0x64, 0xFF, 0x64, 0xFF, 0x64, 0xFF, 0x64, 0x64, 0xFF, 0xFF, 0x64, 0xFF, 0x00, 0xFF, 0x00,
    0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x78, 0x01, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF,
    0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x02, 0x00, 0x00, 0x02, 0x00,
    0x02, 0x02, 0x01, 0x00, 0x02, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x00, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x02,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0xFF, 0x03, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x02,
    0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0xA8, 0x02, 0x00, 0x02, 0x02, 0x1C, 0x00, 0x02, 0x02, 0x64,
    0xFF, 0x64, 0xFF, 0x64, 0xFF, 0x64, 0x64, 0xFF, 0xFF, 0x64, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00,
    0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x78, 0x01, 0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x50, 0x52, 0x45, 0x44,
};
// clang-format on

namespace
{
const char* const containerTag = "snvrProg";
const char* const binaryTag = "snvrPrgD";
const char* const informationTag = "snvrPrgI";
const char* const informationRoot = "sonavire_ProgramInformation";
} // namespace

namespace
{
juce::String hexText(const std::array<std::uint8_t, 16>& digest)
{
    char text[32];
    for (size_t i = 0; i < digest.size(); ++i)
    {
        text[i * 2] = "0123456789abcdef"[digest[i] >> 4];
        text[i * 2 + 1] = "0123456789abcdef"[digest[i] & 15];
    }
    return juce::String(juce::CharPointer_UTF8(text), juce::CharPointer_UTF8(text + sizeof(text)));
}
} // namespace

juce::String md5Text(const void* data, size_t size) { return hexText(md5Digest(data, size)); }

std::unique_ptr<juce::XmlElement> ProgramInformation::createXml() const
{
    return data::createInformationXml(informationRoot, programmer, comment);
}

ProgramData::ProgramData() : binary(initProgramTemplate)
{
    // Hashed once: records of 500 new programs are made for every preset library read.
    static const juce::String initProgramHash = md5Text(initProgramTemplate.data(), initProgramTemplate.size());
    md5 = initProgramHash;
}

void ProgramData::updateHash()
{
    md5 = md5Text(binary.data(), binary.size());
}

void ProgramData::updateHashes(ProgramData* const* programs, size_t count)
{
    std::vector<const std::uint8_t*> binaries(count);
    std::vector<std::array<std::uint8_t, 16>> digests(count);
    for (size_t i = 0; i < count; ++i)
        binaries[i] = programs[i]->binary.data();
    md5Digests(binaries.data(), count, programBinarySize, digests.data());
    for (size_t i = 0; i < count; ++i)
        programs[i]->md5 = hexText(digests[i]);
}

juce::String ProgramData::getName() const
{
    int length = 0;
    while (length < nameLength)
    {
        const auto byte = binary[(size_t) (nameOffset + length)];
        if (byte == 0 || byte >= 0x80)
            break;
        ++length;
    }
    return juce::String(reinterpret_cast<const char*>(binary.data() + nameOffset), (size_t) length);
}

void ProgramData::setName(const juce::String& name)
{
    const char* text = name.toRawUTF8();
    const auto length = std::min(std::strlen(text), (size_t) nameLength);
    std::memset(binary.data() + nameOffset, ' ', nameLength);
    std::memcpy(binary.data() + nameOffset, text, length);
    updateHash();
}

bool ProgramData::loadInformationFromXml(const juce::XmlElement& root)
{
    if (!data::tagNameIs(root, informationRoot))
        return false;
    data::readInformationTexts(root, information.programmer, information.comment);
    return true;
}

juce::String ProgramData::createInformationText() const
{
    return data::toDocumentText(*information.createXml());
}

data::SerializedData ProgramData::serialize() const
{
    return ProgramDataSerializer(*this).serialize();
}

data::SerializedData ProgramDataSerializer::serialize() const
{
    data::SerializedData result;
    data::SerializedSectionDataWriter writer(result);
    writer.addSection(binaryTag, program->binary.data(), program->binary.size());

    const auto text = program->createInformationText();
    const char* utf8 = text.toRawUTF8();
    writer.addSection(informationTag, utf8, std::strlen(utf8) + 1);

    writer.finish(containerTag);
    return result;
}

bool ProgramData::deserialize(const data::SerializedData& source)
{
    data::SerializedSectionDataReader reader(source);
    if (!reader.read() || reader.getTag() != containerTag)
        return false;

    // Clipboard bytes are foreign: build the result apart and install it only when every section read.
    ProgramData decoded(*this);
    decoded.binary = initProgramTemplate;

    for (const auto& section : reader.getSections())
    {
        if (section.tag == binaryTag)
        {
            decoded.binary.fill(0);
            if (section.payload.getSize() > 0)
                std::memcpy(decoded.binary.data(), section.payload.getData(),
                            std::min(section.payload.getSize(), decoded.binary.size()));
        }
        else if (section.tag == informationTag)
        {
            auto root = data::parseDocumentBytes(section.payload.getData(), section.payload.getSize());
            if (root == nullptr || !decoded.loadInformationFromXml(*root))
                return false;
        }
    }

    decoded.updateHash();
    *this = decoded;
    return true;
}

const ProgramData& getDefaultProgramData()
{
    static const ProgramData defaultProgram;
    return defaultProgram;
}
} // namespace x47390_data
