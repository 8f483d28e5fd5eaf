#include "data/FavoriteData.h"

#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"
#include "data/XmlText.h"
#include "data/XmlTextWriter.h"

#include <limits>

namespace x47390_data
{
namespace
{
const char* const rootName = "sonavire_Liveset";
const char* const containerTag = "snvrLive";
const char* const entriesTag = "snvrLivD";
constexpr size_t entriesSize = FavoriteData::numBanks * FavoriteData::numSlots * 4;
} // namespace

FavoriteData::FavoriteData()
{
    for (auto& bank : entries)
        bank.fill(emptyEntry);
}

std::unique_ptr<juce::XmlElement> FavoriteData::createXml() const
{
    auto root = std::make_unique<juce::XmlElement>(rootName);
    for (auto& bank : entries)
    {
        auto* bankElement = root->createNewChildElement("Bank");
        for (int value : bank)
            data::addTextChild(*bankElement, "Data", juce::String(value));
    }
    return root;
}

void FavoriteData::appendDocument(std::string& out) const
{
    data::XmlTextWriter xml(out);
    xml.open(rootName);
    for (auto& bank : entries)
    {
        xml.open("Bank");
        for (int value : bank)
            xml.textElement("Data", std::to_string(value).c_str());
        xml.close();
    }
    xml.close();
}

juce::String FavoriteData::createDocumentText() const
{
    return data::toDocumentText(*createXml());
}

int FavoriteData::parseEntry(const juce::String& text)
{
    auto p = text.getCharPointer();
    while (!p.isEmpty() && p.isWhitespace())
        ++p;

    bool negative = false;
    if (*p == '-' || *p == '+')
    {
        negative = *p == '-';
        ++p;
    }

    // Accumulate towards the sign so that the most negative value is reachable; stop at the limit.
    constexpr juce::int64 maxMagnitude = (juce::int64) std::numeric_limits<int>::max() + 1;
    juce::int64 magnitude = 0;
    while (*p >= '0' && *p <= '9')
    {
        magnitude = std::min(maxMagnitude, magnitude * 10 + (juce::int64)(*p - '0'));
        ++p;
    }

    if (negative)
        return (int) -magnitude;
    return (int) std::min<juce::int64>(magnitude, std::numeric_limits<int>::max());
}

bool FavoriteData::loadFromXml(const juce::XmlElement& root)
{
    if (!data::tagNameIs(root, rootName))
        return false;

    int bank = 0;
    for (auto* bankElement : root.getChildIterator())
    {
        if (!data::tagNameIs(*bankElement, "Bank"))
            continue;
        if (bank >= numBanks)
            break;

        int slot = 0;
        for (auto* dataElement : bankElement->getChildIterator())
        {
            if (!data::tagNameIs(*dataElement, "Data"))
                continue;
            if (slot >= numSlots)
                break;
            entries[(size_t) bank][(size_t) slot++] = parseEntry(dataElement->getAllSubText());
        }
        ++bank;
    }
    return true;
}

data::SerializedData FavoriteData::serialize() const
{
    juce::MemoryOutputStream out;
    for (auto& bank : entries)
        for (int value : bank)
            out.writeInt(value);

    data::SerializedData result;
    data::SerializedSectionDataWriter writer(result);
    writer.addSection(entriesTag, out.getData(), out.getDataSize());
    writer.finish(containerTag);
    return result;
}

bool FavoriteData::deserialize(const data::SerializedData& source)
{
    data::SerializedSectionDataReader reader(source);
    if (!reader.read() || reader.getTag() != containerTag)
        return false;

    FavoriteData decoded(*this);
    for (const auto& section : reader.getSections())
    {
        if (section.tag != entriesTag)
            continue;
        if (section.payload.getSize() != entriesSize)
            return false;
        juce::MemoryInputStream in(section.payload, false);
        for (auto& bank : decoded.entries)
            for (auto& value : bank)
                value = in.readInt();
    }
    *this = decoded;
    return true;
}
} // namespace x47390_data
