#include "data/SerializedDataHeader.h"
#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"

#include <gtest/gtest.h>

#include <vector>

using data::SerializedData;
using data::SerializedSectionDataReader;
using data::SerializedSectionDataWriter;

namespace
{
using Bytes = std::vector<juce::uint8>;

Bytes bytesOf(const juce::MemoryBlock& block)
{
    auto* p = static_cast<const juce::uint8*>(block.getData());
    return Bytes(p, p + block.getSize());
}

void putLE(Bytes& out, juce::uint64 value, int size)
{
    for (int i = 0; i < size; ++i)
        out.push_back((juce::uint8)(value >> (8 * i)));
}

// A header as a foreign writer might have made it.
Bytes header(const std::string& tag, juce::uint16 headerSize, juce::int32 dataSize, juce::int32 count)
{
    Bytes out(8, 0);
    std::copy(tag.begin(), tag.begin() + (long) std::min<size_t>(8, tag.size()), out.begin());
    putLE(out, headerSize, 2);
    putLE(out, (juce::uint32) dataSize, 4);
    putLE(out, 0, 6);
    putLE(out, (juce::uint32) count, 4);
    putLE(out, 0, 4);
    putLE(out, 0xFFFFFFFFu, 4);
    return out;
}

SerializedData blockOf(const std::vector<Bytes>& parts)
{
    SerializedData block;
    for (auto& part : parts)
        block.append(part.data(), part.size());
    return block;
}

juce::uint32 le32(const Bytes& b, size_t at)
{
    return (juce::uint32) b[at] | ((juce::uint32) b[at + 1] << 8) | ((juce::uint32) b[at + 2] << 16) |
           ((juce::uint32) b[at + 3] << 24);
}
} // namespace

TEST(SerializedContainer, EmptyContainerIsOneHeader)
{
    SerializedData block;
    SerializedSectionDataWriter writer(block);
    writer.finish("snvrProg");

    const Bytes expected = {'s', 'n', 'v', 'r', 'P', 'r', 'o', 'g', 32, 0, 0, 0, 0,    0,    0,    0,
                            0,   0,   0,   0,   0,   0,   0,   0,   0,  0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(bytesOf(block), expected);

    SerializedSectionDataReader reader(block);
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getTag(), "snvrProg");
    EXPECT_TRUE(reader.getSections().empty());
}

TEST(SerializedContainer, OneSectionLayout)
{
    Bytes payload(336);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = (juce::uint8) i;

    SerializedData block;
    SerializedSectionDataWriter writer(block);
    writer.addSection("snvrPrgD", payload.data(), payload.size());
    writer.finish("snvrProg");

    const auto b = bytesOf(block);
    ASSERT_EQ(b.size(), 400u);
    EXPECT_EQ(le32(b, 10), 368u); // container data size
    EXPECT_EQ(le32(b, 20), 1u);   // container count
    EXPECT_EQ(std::string(b.begin() + 32, b.begin() + 40), "snvrPrgD");
    EXPECT_EQ(b[40], 32);
    EXPECT_EQ(le32(b, 42), 336u); // section data size
    EXPECT_EQ(le32(b, 52), 1u);   // section count
    EXPECT_EQ(le32(b, 60), 0xFFFFFFFFu);
    EXPECT_EQ(Bytes(b.begin() + 64, b.end()), payload);
}

TEST(SerializedContainer, WriterAppendsAfterExistingBytes)
{
    SerializedData block;
    block.append("xyz", 3);
    SerializedSectionDataWriter writer(block);
    writer.addSection("a", "12", 2);
    writer.finish("c");
    const auto b = bytesOf(block);
    ASSERT_EQ(b.size(), 3u + 32 + 32 + 2);
    EXPECT_EQ(b[3], 'c');
    EXPECT_EQ(le32(b, 3 + 10), 34u);
}

TEST(SerializedContainer, RoundTripKeepsOrderTagsAndPayloads)
{
    struct Case
    {
        std::string written, read;
    };
    const Case cases[] = {
        {"a", "a"},
        {"snvrPrgI", "snvrPrgI"},  // eight characters: no NUL in the field
        {"snvrPrgIX", "snvrPrgI"}, // nine: cut to eight
        {"", ""},
    };

    SerializedData block;
    SerializedSectionDataWriter writer(block);
    int n = 0;
    for (auto& c : cases)
    {
        const std::string payload(static_cast<size_t>(n++ * 5), 'p');
        writer.addSection(c.written, payload.data(), payload.size());
    }
    writer.finish("container");

    SerializedSectionDataReader reader(block);
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getTag(), "containe");
    ASSERT_EQ(reader.getSections().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i)
    {
        EXPECT_EQ(reader.getSections()[i].tag, cases[i].read);
        EXPECT_EQ(reader.getSections()[i].payload.getSize(), i * 5);
    }
    EXPECT_NE(reader.getSections()[2].tag, "snvrPrgIX");
}

TEST(SerializedContainer, LargerHeaderSizeMovesPayloadButNotNextSection)
{
    // Section 1 says its header is 40 bytes: its payload starts 8 bytes later, yet the
    // next header is still found at its start + 32 + data size.
    Bytes first = header("one", 40, 12, 1);
    Bytes firstPayload = {0, 0, 0, 0, 0, 0, 0, 0, 'A', 'B', 'C', 'D'};
    Bytes second = header("two", 32, 2, 1);
    Bytes secondPayload = {'X', 'Y'};
    auto block = blockOf({header("box", 32, 32 + 12 + 32 + 2, 2), first, firstPayload, second, secondPayload});

    SerializedSectionDataReader reader(block);
    ASSERT_TRUE(reader.read());
    ASSERT_EQ(reader.getSections().size(), 2u);
    // The payload runs from the header's start + 40 into the next header's tag bytes.
    EXPECT_EQ(bytesOf(reader.getSections()[0].payload), (Bytes{'A', 'B', 'C', 'D', 't', 'w', 'o', 0, 0, 0, 0, 0}));
    EXPECT_EQ(reader.getSections()[1].tag, "two");
    EXPECT_EQ(bytesOf(reader.getSections()[1].payload), secondPayload);
}

TEST(SerializedContainer, BadContainersAreRefused)
{
    const Bytes okSection = header("s", 32, 4, 1);
    const Bytes full = header("box", 32, 0, 0);
    const Bytes four = {1, 2, 3, 4};
    struct Case
    {
        const char* what;
        SerializedData block;
    };
    const Case cases[] = {
        {"empty block", SerializedData()},
        {"header cut short", blockOf({Bytes(full.begin(), full.begin() + 31)})},
        {"header cut before its count", blockOf({Bytes(full.begin(), full.begin() + 20)})},
        {"more sections declared than present", blockOf({header("box", 32, 36, 2), okSection, four})},
        {"huge count", blockOf({header("box", 32, 36, 0x7FFFFFFF), okSection, four})},
        {"payload past the end", blockOf({header("box", 32, 36, 1), header("s", 32, 5, 1), four})},
        {"oversized payload", blockOf({header("box", 32, 36, 1), header("s", 32, 0x7FFFFFFF, 1), four})},
        {"negative payload size", blockOf({header("box", 32, 36, 1), header("s", 32, -4, 1), four})},
        {"container size past the end", blockOf({header("box", 32, 37, 1), okSection, four})},
        {"negative container size", blockOf({header("box", 32, -1, 1), okSection, four})},
        {"header size below 32", blockOf({header("box", 32, 36, 1), header("s", 8, 4, 1), four})},
        {"header size past the end", blockOf({header("box", 32, 36, 1), header("s", 200, 4, 1), four})},
    };
    for (auto& c : cases)
    {
        SerializedSectionDataReader reader(c.block);
        EXPECT_FALSE(reader.read()) << c.what;
    }

    // The same bytes with consistent sizes read.
    auto good = blockOf({header("box", 32, 36, 1), okSection, four});
    SerializedSectionDataReader reader(good);
    EXPECT_TRUE(reader.read());
}

TEST(SerializedContainer, BytesAfterTheLastSectionAreIgnored)
{
    auto block = blockOf({header("box", 32, 36, 1), header("s", 32, 4, 1), Bytes{1, 2, 3, 4}, Bytes(50, 0xEE)});
    SerializedSectionDataReader reader(block);
    ASSERT_TRUE(reader.read());
    ASSERT_EQ(reader.getSections().size(), 1u);
    EXPECT_EQ(bytesOf(reader.getSections()[0].payload), (Bytes{1, 2, 3, 4}));
}

TEST(SerializedContainer, HeaderReaderLeavesStreamAfterHeaderSize)
{
    auto block = blockOf({header("abcdefgh", 36, 7, 3), Bytes(4, 0)});
    juce::MemoryInputStream in(block, false);
    data::SerializedDataHeaderReader h(in);
    ASSERT_EQ(h.read(), 0);
    EXPECT_EQ(h.tag, "abcdefgh");
    EXPECT_EQ(h.headerSize, 36);
    EXPECT_EQ(h.dataSize, 7);
    EXPECT_EQ(h.count, 3);
    EXPECT_EQ(in.getPosition(), 36);
}
