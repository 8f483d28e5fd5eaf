#pragma once

#include "data/SerializedData.h"

#include <juce_core/juce_core.h>

#include <string>

namespace data
{
// Writes one container into a SerializedData: construct, addSection any number of times, finish once.
class SerializedSectionDataWriter
{
public:
    // Starts the container at the current end of the target's bytes.
    explicit SerializedSectionDataWriter(SerializedData& target);
    virtual ~SerializedSectionDataWriter();

    void addSection(const std::string& tag, const juce::MemoryBlock& payload);
    void addSection(const std::string& tag, const void* payload, size_t size);

    // Writes the container header over the placeholder at the container's start.
    void finish(const std::string& containerTag);

private:
    SerializedData& target;
    juce::MemoryOutputStream stream;
    juce::int64 containerStart;
    juce::int32 totalSize = 0;
    juce::int32 sectionCount = 0;

    JUCE_DECLARE_NON_COPYABLE(SerializedSectionDataWriter)
};
} // namespace data
