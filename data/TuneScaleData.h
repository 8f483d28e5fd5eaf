#pragma once

#include "data/Data.h"
#include "data/SerializableData.h"

#include <juce_core/juce_core.h>

#include <array>
#include <memory>
#include <string>

namespace x47390_data
{
// Notes are 3-byte MIDI Tuning Standard entries: semitone, fraction high 7 bits, fraction low 7 bits.
constexpr int tuneScaleNoteCount = 128;
constexpr int tuneScaleSize = tuneScaleNoteCount * 3;
using TuneScaleNotes = std::array<juce::uint8, tuneScaleSize>;

// Entry n is {n, 0, 0}: every note at its own equal-tempered pitch.
extern const TuneScaleNotes identityTuneScale;

class TuneScaleInformation
{
public:
    virtual ~TuneScaleInformation() = default;

    // Root "sonavire_TuneScaleInformation" with "Programmer" and "Comment" in that order.
    std::unique_ptr<juce::XmlElement> createXml() const;
    // The same document's text, appended to out.
    void appendDocument(std::string& out) const;

    juce::String programmer;
    juce::String comment;
};

// A user scale: 128 note entries, its texts and the MD5 text of the note bytes.
// A value: copies carry the MD5 text unchanged. Code that writes note bytes directly calls updateHash.
class TuneScaleData : public data::Data, private data::SerializableData
{
public:
    TuneScaleData();
    TuneScaleData(const TuneScaleData&) = default;
    TuneScaleData& operator=(const TuneScaleData&) = default;
    ~TuneScaleData() override = default;

    void updateHash();

    // Installs a tuning the way the library does: the notes and the MD5 text, not the texts.
    void copyNotesFrom(const TuneScaleData& source);

    // Accepts the sonavire root and those of the sibling instruments; false for any other root.
    bool loadInformationFromXml(const juce::XmlElement& root);
    juce::String createInformationText() const;

    data::SerializedData serialize() const override;
    bool deserialize(const data::SerializedData& source) override;

    TuneScaleNotes notes;
    TuneScaleInformation information;
    juce::String md5;
};
} // namespace x47390_data
