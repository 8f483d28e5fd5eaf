#include "data/TuneScaleData.h"

#include "data/ProgramData.h"
#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"
#include "data/XmlText.h"

namespace x47390_data
{
namespace
{
constexpr TuneScaleNotes makeIdentity()
{
    TuneScaleNotes notes{};
    for (int n = 0; n < tuneScaleNoteCount; ++n)
        notes[(size_t) n * 3] = (juce::uint8) n;
    return notes;
}

const char* const writtenRoot = "sonavire_TuneScaleInformation";
const char* const acceptedRoots[] = {"sonavire_TuneScaleInformation", "dorvantin_TuneScaleInformation",
                                     "quintaval_TuneScaleInformation", "dorvantinzq_TuneScaleInformation"};

// Our own container form; nothing outside this class reads it.
const char* const containerTag = "snvrTunS";
const char* const notesTag = "snvrTSnD";
const char* const informationTag = "snvrTSnI";
} // namespace

const TuneScaleNotes identityTuneScale = makeIdentity();

std::unique_ptr<juce::XmlElement> TuneScaleInformation::createXml() const
{
    return data::createInformationXml(writtenRoot, programmer, comment);
}

TuneScaleData::TuneScaleData() : notes(identityTuneScale)
{
    updateHash();
}

void TuneScaleData::updateHash()
{
    md5 = md5Text(notes.data(), notes.size());
}

void TuneScaleData::copyNotesFrom(const TuneScaleData& source)
{
    notes = source.notes;
    md5 = source.md5;
}

bool TuneScaleData::loadInformationFromXml(const juce::XmlElement& root)
{
    bool accepted = false;
    for (auto* name : acceptedRoots)
        accepted = accepted || data::tagNameIs(root, name);
    if (!accepted)
        return false;

    data::readInformationTexts(root, information.programmer, information.comment);
    return true;
}

juce::String TuneScaleData::createInformationText() const
{
    return data::toDocumentText(*information.createXml());
}

data::SerializedData TuneScaleData::serialize() const
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

bool TuneScaleData::deserialize(const data::SerializedData& source)
{
    data::SerializedSectionDataReader reader(source);
    if (!reader.read() || reader.getTag() != containerTag)
        return false;

    TuneScaleData decoded(*this);
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
