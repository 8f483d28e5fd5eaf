#pragma once

#include "data/Data.h"
#include "data/SerializableData.h"

#include <juce_core/juce_core.h>

#include <array>
#include <memory>
#include <string>

namespace x47390_data
{
// The live set: 4 banks of 8 program numbers; 500 marks an empty slot. Values are not checked.
class FavoriteData : public data::Data, private data::SerializableData
{
public:
    static constexpr int numBanks = 4;
    static constexpr int numSlots = 8;
    static constexpr int emptyEntry = 500;

    FavoriteData();
    FavoriteData(const FavoriteData&) = default;
    FavoriteData& operator=(const FavoriteData&) = default;
    ~FavoriteData() override = default;

    // Root "sonavire_Liveset", four "Bank" elements of eight "Data" elements each.
    std::unique_ptr<juce::XmlElement> createXml() const;
    // The same document's text, appended to out.
    void appendDocument(std::string& out) const;
    juce::String createDocumentText() const;

    // Fills the entries the document names, in document order; extra banks and slots are ignored.
    bool loadFromXml(const juce::XmlElement& root);

    data::SerializedData serialize() const override;
    bool deserialize(const data::SerializedData& source) override;

    // Decimal text as the live-set document holds it: white space, optional sign, digits; saturates.
    static int parseEntry(const juce::String& text);

    std::array<std::array<int, numSlots>, numBanks> entries; // bank-major
};
} // namespace x47390_data
