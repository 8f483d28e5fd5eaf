#include "data/TuneScaleData.h"

#include "data/ProgramData.h"
#include "data/TuneTableData.h"

namespace x47390_data
{
namespace
{
const tuneTable::Names names{"sonavire_TuneScaleInformation",
                             {"sonavire_TuneScaleInformation", "dorvantin_TuneScaleInformation",
                              "quintaval_TuneScaleInformation", "dorvantinzq_TuneScaleInformation"},
                             "snvrTunS",
                             "snvrTSnD",
                             "snvrTSnI"};
} // namespace

const TuneScaleNotes identityTuneScale = tuneTable::makeIdentity<tuneScaleSize>();

std::unique_ptr<juce::XmlElement> TuneScaleInformation::createXml() const
{
    return data::createInformationXml(names.writtenRoot, programmer, comment);
}

void TuneScaleInformation::appendDocument(std::string& out) const
{
    data::appendInformationDocument(out, names.writtenRoot, programmer, comment);
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
    return tuneTable::loadInformation(*this, root, names);
}

juce::String TuneScaleData::createInformationText() const
{
    return data::toDocumentText(*information.createXml());
}

data::SerializedData TuneScaleData::serialize() const
{
    return tuneTable::serialize(*this, names);
}

bool TuneScaleData::deserialize(const data::SerializedData& source)
{
    return tuneTable::deserialize(*this, source, names);
}
} // namespace x47390_data
