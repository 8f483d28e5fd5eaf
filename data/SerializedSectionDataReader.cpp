#include "data/SerializedSectionDataReader.h"

#include "data/SerializedDataHeader.h"

namespace data
{
SerializedSectionDataReader::SerializedSectionDataReader(const SerializedData& sourceData)
    : source(sourceData), stream(sourceData.getData(), sourceData.getSize(), false)
{
}

bool SerializedSectionDataReader::read()
{
    const juce::int64 length = (juce::int64) source.getSize();
    const auto p0 = stream.getPosition();

    SerializedDataHeaderReader container(stream);
    if (container.read() != 0)
        return false;

    // The container's own size must fit the block too: the bytes are foreign.
    if (container.dataSize < 0 || p0 + serializedHeaderSize + container.dataSize > length)
        return false;

    tag = container.tag;
    reserved1 = (juce::int32)(juce::uint16) container.reserved1;
    reserved2 = (juce::int32)(juce::uint16) container.reserved2;
    reserved3 = (juce::int32)(juce::uint16) container.reserved3;

    // Every section needs at least a header, so a huge count fails once the headers run out.
    for (juce::int32 i = 0; i < container.count; ++i)
    {
        const auto p = stream.getPosition();

        SerializedDataHeaderReader header(stream);
        if (header.read() != 0)
            return false;

        const auto payloadStart = stream.getPosition();
        if (header.dataSize < 0 || payloadStart + header.dataSize > length)
            return false;

        SerializedSection section;
        section.tag = header.tag;
        section.reserved1 = header.reserved1;
        section.reserved2 = header.reserved2;
        section.reserved3 = header.reserved3;
        section.payload.append(static_cast<const char*>(source.getData()) + payloadStart, (size_t) header.dataSize);
        sections.push_back(std::move(section));

        // The next header follows the payload as if the header were 32 bytes, whatever its size field said.
        stream.setPosition(juce::jlimit<juce::int64>(0, length, p + serializedHeaderSize + header.dataSize));
    }

    stream.setPosition(juce::jlimit<juce::int64>(0, length, p0 + serializedHeaderSize + container.dataSize));
    return true;
}
} // namespace data
