#include "files/VoicingEditorFileHeaderReaderWriter.h"

namespace x47390_file
{
namespace
{
std::uint16_t readLE16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::int32_t readLE32(const std::uint8_t* bytes)
{
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}
} // namespace

int VoicingEditorFileHeaderReaderWriter::read(juce::InputStream& stream)
{
    const juce::int64 start = stream.getPosition();
    std::uint8_t bytes[headerSize];
    // A header cut off by the end of the file is no header: its numbers would be guesses.
    if (stream.read(bytes, headerSize) != headerSize)
        return 1;

    size_t tagLength = 0;
    while (tagLength < 8 && bytes[tagLength] != 0)
        ++tagLength;
    tag.assign(reinterpret_cast<const char*>(bytes), tagLength);

    const std::uint16_t declaredHeaderSize = readLE16(bytes + 8);
    dataSize = readLE32(bytes + 10);
    for (int i = 0; i < 3; ++i)
        values16[i] = static_cast<std::int16_t>(readLE16(bytes + 14 + 2 * i));
    count = readLE32(bytes + 20);
    value = readLE32(bytes + 24);

    stream.setPosition(start + declaredHeaderSize);
    return 0;
}
} // namespace x47390_file
