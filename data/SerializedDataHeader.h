#pragma once

#include <juce_core/juce_core.h>

#include <string>

namespace data
{
// Every container and section header is 32 bytes: 8 tag bytes, then little-endian numbers, then FF fill.
constexpr int serializedHeaderSize = 32;
constexpr int serializedTagSize = 8;

class SerializedDataHeaderWriter
{
public:
    explicit SerializedDataHeaderWriter(juce::OutputStream& output) : stream(output) {}
    virtual ~SerializedDataHeaderWriter() = default;

    // Writes the header at the stream's current position.
    void write();

    std::string tag;
    juce::int32 count = 0;
    juce::int32 dataSize = 0;
    juce::int32 reserved4 = 0;
    juce::int16 reserved1 = 0;
    juce::int16 reserved2 = 0;
    juce::int16 reserved3 = 0;

private:
    juce::OutputStream& stream;
};

class SerializedDataHeaderReader
{
public:
    explicit SerializedDataHeaderReader(juce::InputStream& input) : stream(input) {}
    virtual ~SerializedDataHeaderReader() = default;

    // Returns 0 on success, 1 on failure. The header must lie whole inside the stream and its
    // header size must be at least 32 and stay inside the stream; afterwards the stream stands
    // at the header's start plus its header size.
    int read();

    std::string tag;
    juce::uint16 headerSize = 0;
    juce::int32 count = 0;
    juce::int32 dataSize = 0;
    juce::int32 reserved4 = 0;
    juce::int16 reserved1 = 0;
    juce::int16 reserved2 = 0;
    juce::int16 reserved3 = 0;

private:
    juce::InputStream& stream;
};
} // namespace data
