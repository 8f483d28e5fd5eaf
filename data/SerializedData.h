#pragma once

#include <juce_core/juce_core.h>

namespace data
{
// A byte block in the tagged-section container form.
class SerializedData : public juce::MemoryBlock
{
public:
    using juce::MemoryBlock::MemoryBlock;
    SerializedData() = default;
    SerializedData(const SerializedData&) = default;
    SerializedData(SerializedData&&) = default;
    SerializedData& operator=(const SerializedData&) = default;
    SerializedData& operator=(SerializedData&&) = default;
    virtual ~SerializedData() = default;
};
} // namespace data
