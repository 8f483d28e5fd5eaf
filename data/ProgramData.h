#pragma once

#include "data/Data.h"
#include "data/ProgramInformation.h"
#include "data/SerializableData.h"

#include <juce_core/juce_core.h>

#include <array>

namespace x47390_data
{
constexpr int programBinarySize = 336;
using ProgramBinary = std::array<juce::uint8, programBinarySize>;

// The binary every new program starts with; its name is "Init Program".
extern const ProgramBinary initProgramTemplate;

// One program: the 336-byte binary as the instrument stores it, its texts and the MD5 text of the binary.
// A value: copies carry the MD5 text unchanged. Code that writes binary bytes directly calls updateHash.
class ProgramData : public data::Data, private data::SerializableData
{
public:
    static constexpr int nameOffset = 4;
    static constexpr int nameLength = 12;
    static constexpr int tuningOffset = 51;

    ProgramData();
    ProgramData(const ProgramData&) = default;
    ProgramData& operator=(const ProgramData&) = default;
    ~ProgramData() override = default;

    void updateHash();
    // updateHash for many programs at once, several times faster than one by one.
    static void updateHashes(ProgramData* const* programs, size_t count);

    // The name bytes up to the first byte that is 0 or 0x80 and above; trailing spaces stay.
    juce::String getName() const;
    // Stores the first 12 bytes of the text's UTF-8 form, padded with spaces ("%-12.12s").
    void setName(const juce::String& name);

    // Takes Programmer and Comment from a "sonavire_ProgramInformation" document; false for another root.
    bool loadInformationFromXml(const juce::XmlElement& root);

    // The information document text written into files and into the information section.
    juce::String createInformationText() const;

    // The program container: "snvrProg" with sections "snvrPrgD" (binary) and "snvrPrgI" (information).
    data::SerializedData serialize() const override;
    // Reads a program container; the record changes only when the whole container reads and its program section
    // holds exactly one program binary.
    bool deserialize(const data::SerializedData& source) override;

    ProgramBinary binary;
    ProgramInformation information;
    juce::String md5; // 32 lowercase hexadecimal digits
};

// MD5 of a byte range as 32 lowercase hexadecimal digits.
juce::String md5Text(const void* data, size_t size);

// The process-wide default program, for holders whose selection names no program. Never changed.
const ProgramData& getDefaultProgramData();

// Serializes a program into its container.
class ProgramDataSerializer
{
public:
    explicit ProgramDataSerializer(const ProgramData& programToWrite) : program(&programToWrite) {}
    virtual ~ProgramDataSerializer() = default;
    data::SerializedData serialize() const;

private:
    const ProgramData* program;
};
} // namespace x47390_data
