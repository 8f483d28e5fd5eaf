#pragma once

#include "data/SerializedData.h"

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

namespace data
{
// One parsed section, its payload copied out of the source.
class SerializedSection
{
public:
    virtual ~SerializedSection() = default;

    std::string tag;
    juce::int16 reserved1 = 0;
    juce::int16 reserved2 = 0;
    juce::int16 reserved3 = 0;
    juce::MemoryBlock payload;
};

// Reads the container at the start of a SerializedData. The source must outlive the reader.
class SerializedSectionDataReader
{
public:
    explicit SerializedSectionDataReader(const SerializedData& source);
    virtual ~SerializedSectionDataReader() = default;

    // True when the container and every section it declares lie whole inside the block.
    // On false, use nothing of the reader.
    bool read();

    const std::string& getTag() const noexcept { return tag; }
    juce::int32 getReserved1() const noexcept { return reserved1; }
    juce::int32 getReserved2() const noexcept { return reserved2; }
    juce::int32 getReserved3() const noexcept { return reserved3; }
    const std::vector<SerializedSection>& getSections() const noexcept { return sections; }

private:
    const SerializedData& source;
    juce::MemoryInputStream stream;
    std::vector<SerializedSection> sections;
    std::string tag;
    juce::int32 reserved1 = 0;
    juce::int32 reserved2 = 0;
    juce::int32 reserved3 = 0;

    JUCE_DECLARE_NON_COPYABLE(SerializedSectionDataReader)
};
} // namespace data
