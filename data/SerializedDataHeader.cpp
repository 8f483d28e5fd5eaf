#include "data/SerializedDataHeader.h"

namespace data
{
void SerializedDataHeaderWriter::write()
{
    const auto start = stream.getPosition();

    char tagBytes[serializedTagSize] = {};
    std::memcpy(tagBytes, tag.data(), std::min(tag.size(), (size_t) serializedTagSize));
    stream.write(tagBytes, serializedTagSize);
    stream.writeShort((short) serializedHeaderSize);
    stream.writeInt(dataSize);
    stream.writeShort(reserved1);
    stream.writeShort(reserved2);
    stream.writeShort(reserved3);
    stream.writeInt(count);
    stream.writeInt(reserved4);

    while (stream.getPosition() < start + serializedHeaderSize)
        stream.writeByte((char) 0xFF);
}

int SerializedDataHeaderReader::read()
{
    const auto start = stream.getPosition();
    const auto total = stream.getTotalLength();

    // Foreign bytes: a header cut short is refused rather than read as zeros.
    if (start < 0 || total - start < serializedHeaderSize)
        return 1;

    juce::uint8 raw[serializedHeaderSize];
    if (stream.read(raw, serializedHeaderSize) != serializedHeaderSize)
        return 1;

    size_t tagLength = 0;
    while (tagLength < (size_t) serializedTagSize && raw[tagLength] != 0)
        ++tagLength;
    tag.assign(reinterpret_cast<const char*>(raw), tagLength);

    headerSize = juce::ByteOrder::littleEndianShort(raw + 8);
    dataSize = (juce::int32) juce::ByteOrder::littleEndianInt(raw + 10);
    reserved1 = (juce::int16) juce::ByteOrder::littleEndianShort(raw + 14);
    reserved2 = (juce::int16) juce::ByteOrder::littleEndianShort(raw + 16);
    reserved3 = (juce::int16) juce::ByteOrder::littleEndianShort(raw + 18);
    count = (juce::int32) juce::ByteOrder::littleEndianInt(raw + 20);
    reserved4 = (juce::int32) juce::ByteOrder::littleEndianInt(raw + 24);

    if (headerSize < serializedHeaderSize || start + headerSize > total)
        return 1;

    stream.setPosition(start + headerSize);
    return 0;
}
} // namespace data
