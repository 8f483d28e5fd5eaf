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
constexpr int tuneOctNoteCount = 12;
constexpr int tuneOctSize = tuneOctNoteCount * 3;
using TuneOctNotes = std::array<juce::uint8, tuneOctSize>;

// Entry i is {i, 0, 0}: the twelve notes of the octave at equal temperament.
extern const TuneOctNotes identityTuneOct;

class TuneOctInformation
{
public:
    virtual ~TuneOctInformation() = default;

    // Root "sonavire_TuneOctInformation" with "Programmer" and "Comment" in that order.
    std::unique_ptr<juce::XmlElement> createXml() const;
    // The same document's text, appended to out.
    void appendDocument(std::string& out) const;

    juce::String programmer;
    juce::String comment;
};

// A user octave: 12 note entries, its texts and the MD5 text of the note bytes.
// A value: copies carry the MD5 text unchanged. Code that writes note bytes directly calls updateHash.
class TuneOctData : public data::Data, private data::SerializableData
{
public:
    TuneOctData();
    TuneOctData(const TuneOctData&) = default;
    TuneOctData& operator=(const TuneOctData&) = default;
    ~TuneOctData() override = default;

    void updateHash();

    // Installs a tuning the way the library does: the notes and the MD5 text, not the texts.
    void copyNotesFrom(const TuneOctData& source);

    // Accepts the sonavire root and those of the sibling instruments; false for any other root.
    bool loadInformationFromXml(const juce::XmlElement& root);
    juce::String createInformationText() const;

    data::SerializedData serialize() const override;
    bool deserialize(const data::SerializedData& source) override;

    TuneOctNotes notes;
    TuneOctInformation information;
    juce::String md5;
};
} // namespace x47390_data
