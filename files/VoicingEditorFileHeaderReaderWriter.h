#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <string>

namespace x47390_file
{
// One 32-byte chunk header of the older editor's library files (little-endian):
// tag (8 bytes), header size (uint16), data size (int32), three int16 values, count (int32), one int32.
class VoicingEditorFileHeaderReaderWriter
{
public:
    static constexpr int headerSize = 32;

    virtual ~VoicingEditorFileHeaderReaderWriter() = default;

    // Reads the header at the stream's position and moves the stream to the position + the header
    // size field. Returns 0, or 1 when the stream does not hold a whole header.
    int read(juce::InputStream& stream);

    std::string tag;
    std::int32_t count = 0;
    std::int32_t dataSize = 0;
    std::int32_t value = 0;
    std::int16_t values16[3] = {0, 0, 0};
};
} // namespace x47390_file
