#include "data/TuneOctData.h"

#include "data/ProgramData.h"
#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"
#include "data/XmlText.h"

namespace x47390_data
{
namespace
{
constexpr TuneOctNotes makeIdentity()
{
    TuneOctNotes notes{};
    for (int n = 0; n < tuneOctNoteCount; ++n)
        notes[(size_t) n * 3] = (juce::uint8) n;
    return notes;
}

const char* const writtenRoot = "sonavire_TuneOctInformation";
const char* const acceptedRoots[] = {"sonavire_TuneOctInformation", "dorvantin_TuneOctInformation",
                                     "quintaval_TuneOctInformation", "dorvantinzq_TuneOctInformation"};

// Our own container form; nothing outside this class reads it.
const char* const containerTag = "snvrTunO";
const char* const notesTag = "snvrTOcD";
const char* const informationTag = "snvrTOcI";
} // namespace

const TuneOctNotes identityTuneOct = makeIdentity();

std::unique_ptr<juce::XmlElement> TuneOctInformation::createXml() const
{
    return data::createInformationXml(writtenRoot, programmer, comment);
}

TuneOctData::TuneOctData() : notes(identityTuneOct)
{
    updateHash();
}

void TuneOctData::updateHash()
{
    md5 = md5Text(notes.data(), notes.size());
}

void TuneOctData::copyNotesFrom(const TuneOctData& source)
{
    notes = source.notes;
    md5 = source.md5;
}

bool TuneOctData::loadInformationFromXml(const juce::XmlElement& root)
{
    bool accepted = false;
    for (auto* name : acceptedRoots)
        accepted = accepted || data::tagNameIs(root, name);
    if (!accepted)
        return false;

    data::readInformationTexts(root, information.programmer, information.comment);
    return true;
}

juce::String TuneOctData::createInformationText() const
{
    return data::toDocumentText(*information.createXml());
}

data::SerializedData TuneOctData::serialize() const
{
    data::SerializedData result;
    data::SerializedSectionDataWriter writer(result);
    writer.addSection(notesTag, notes.data(), notes.size());
    const auto text = createInformationText();
    const char* utf8 = text.toRawUTF8();
    writer.addSection(informationTag, utf8, std::strlen(utf8) + 1);
    writer.finish(containerTag);
    return result;
}

bool TuneOctData::deserialize(const data::SerializedData& source)
{
    data::SerializedSectionDataReader reader(source);
    if (!reader.read() || reader.getTag() != containerTag)
        return false;

    TuneOctData decoded(*this);
    for (const auto& section : reader.getSections())
    {
        if (section.tag == notesTag)
        {
            if (section.payload.getSize() != decoded.notes.size())
                return false;
            std::memcpy(decoded.notes.data(), section.payload.getData(), decoded.notes.size());
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
} // namespace x47390_data
