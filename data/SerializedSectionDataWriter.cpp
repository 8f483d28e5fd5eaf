#include "data/SerializedSectionDataWriter.h"

#include "data/SerializedDataHeader.h"

namespace data
{
SerializedSectionDataWriter::SerializedSectionDataWriter(SerializedData& targetData)
    : target(targetData), stream(targetData, true), containerStart(stream.getPosition())
{
    for (int i = 0; i < serializedHeaderSize; ++i)
        stream.writeByte((char) 0xFF);
}

SerializedSectionDataWriter::~SerializedSectionDataWriter() = default;

void SerializedSectionDataWriter::addSection(const std::string& tag, const juce::MemoryBlock& payload)
{
    addSection(tag, payload.getData(), payload.getSize());
}

void SerializedSectionDataWriter::addSection(const std::string& tag, const void* payload, size_t size)
{
    SerializedDataHeaderWriter header(stream);
    header.tag = tag;
    header.dataSize = (juce::int32) size;
    header.count = 1;
    header.write();
    if (size > 0)
        stream.write(payload, size);

    ++sectionCount;
    totalSize += serializedHeaderSize + (juce::int32) size;
}

void SerializedSectionDataWriter::finish(const std::string& containerTag)
{
    const auto end = stream.getPosition();
    stream.setPosition(containerStart);

    SerializedDataHeaderWriter header(stream);
    header.tag = containerTag;
    header.dataSize = totalSize;
    header.count = sectionCount;
    header.write();

    stream.setPosition(end);
    stream.flush(); // trims the target to the bytes written
}
} // namespace data
