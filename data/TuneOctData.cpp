#include "data/TuneOctData.h"

#include "data/ProgramData.h"
#include "data/TuneTableData.h"

namespace x47390_data
{
namespace
{
const tuneTable::Names names{"sonavire_TuneOctInformation",
                             {"sonavire_TuneOctInformation", "dorvantin_TuneOctInformation",
                              "quintaval_TuneOctInformation", "dorvantinzq_TuneOctInformation"},
                             "snvrTunO",
                             "snvrTOcD",
                             "snvrTOcI"};
} // namespace

const TuneOctNotes identityTuneOct = tuneTable::makeIdentity<tuneOctSize>();

std::unique_ptr<juce::XmlElement> TuneOctInformation::createXml() const
{
    return data::createInformationXml(names.writtenRoot, programmer, comment);
}

void TuneOctInformation::appendDocument(std::string& out) const
{
    data::appendInformationDocument(out, names.writtenRoot, programmer, comment);
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
    return tuneTable::loadInformation(*this, root, names);
}

juce::String TuneOctData::createInformationText() const
{
    return data::toDocumentText(*information.createXml());
}

data::SerializedData TuneOctData::serialize() const
{
    return tuneTable::serialize(*this, names);
}

bool TuneOctData::deserialize(const data::SerializedData& source)
{
    return tuneTable::deserialize(*this, source, names);
}
} // namespace x47390_data
