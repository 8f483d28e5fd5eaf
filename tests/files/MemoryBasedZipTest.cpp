#include "files/MemoryBasedZipBuilder.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/ZipCrc32.h"
#include "tests/files/ZipTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace ziptest;

namespace
{
juce::MemoryBlock randomBytes(size_t size, juce::int64 seed)
{
    juce::Random random(seed);
    juce::MemoryBlock block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = (char) random.nextInt(256);
    return block;
}

juce::MemoryBlock build(const std::vector<std::pair<juce::String, juce::MemoryBlock>>& members)
{
    MemoryBasedZipBuilder builder;
    for (const auto& [name, data] : members)
        builder.addEntry(name, data, {});
    juce::MemoryOutputStream out;
    EXPECT_TRUE(builder.writeToStream(out));
    return out.getMemoryBlock();
}

std::vector<std::pair<juce::String, juce::MemoryBlock>> sampleMembers()
{
    return {{"first.xml", bytesOf("<?xml version=\"1.0\"?>\r\n<a/>\r\n")},
            {"Prog_000.prog_bin", randomBytes(336, 1)},
            {"empty.bin", {}},
            {juce::String::fromUTF8("n\xc3\xa4me \xe2\x99\xaa.txt"), bytesOf("utf-8 name")},
            {"big.bin", randomBytes(300000, 2)},
            {"zeros.bin", juce::MemoryBlock(100000, true)}};
}

juce::File writeFile(const testsupport::TemporaryFolder& folder, const juce::String& name,
                     const juce::MemoryBlock& bytes)
{
    auto file = folder.file(name);
    EXPECT_TRUE(file.replaceWithData(bytes.getData(), bytes.getSize()));
    return file;
}
} // namespace

TEST(MemoryBasedZip, EmptyArchiveIsTheEndRecordAlone)
{
    const auto zip = build({});
    ASSERT_EQ(zip.getSize(), 22u);
    EXPECT_EQ(u32At(zip, 0), 0x06054b50u);
    for (size_t i = 4; i < 22; ++i)
        EXPECT_EQ(zip[i], 0) << i;

    MemoryBasedZipUncompressor reader(zip);
    EXPECT_EQ(reader.getNumEntries(), 0);
    EXPECT_FALSE(reader.isDamaged());
    EXPECT_TRUE(reader.uncompressAllEntries().wasOk());
}

TEST(MemoryBasedZip, HeaderFieldsOfOneMember)
{
    const auto data = bytesOf("hello hello hello hello");
    const auto zip = build({{"a.txt", data}});
    const auto crc = (juce::uint32) crc32(0, reinterpret_cast<const Bytef*>(data.getData()), (uInt) data.getSize());

    // Local header.
    EXPECT_EQ(u32At(zip, 0), 0x04034b50u);
    EXPECT_EQ(u16At(zip, 4), 10);
    EXPECT_EQ(u16At(zip, 6), 0);
    EXPECT_EQ(u16At(zip, 8), 8);
    EXPECT_EQ(u16At(zip, 10), 0);
    EXPECT_EQ(u16At(zip, 12), 16929);
    EXPECT_EQ(u32At(zip, 14), crc);
    const auto compressedSize = u32At(zip, 18);
    EXPECT_EQ(u32At(zip, 22), data.getSize());
    EXPECT_EQ(u16At(zip, 26), 5);
    EXPECT_EQ(u16At(zip, 28), 0);
    EXPECT_EQ(juce::String::fromUTF8(static_cast<const char*>(zip.getData()) + 30, 5), "a.txt");

    // The member's bytes are raw deflate data.
    juce::MemoryBlock inflated(data.getSize());
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
    auto compressedCopy = zip;
    z.next_in = reinterpret_cast<Bytef*>(static_cast<char*>(compressedCopy.getData()) + 35);
    z.avail_in = compressedSize;
    z.next_out = reinterpret_cast<Bytef*>(inflated.getData());
    z.avail_out = (uInt) inflated.getSize();
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    inflateEnd(&z);
    EXPECT_EQ(inflated, data);

    // Central record: the same common fields behind "version made by" 20.
    const size_t dir = 35 + compressedSize;
    EXPECT_EQ(u32At(zip, dir), 0x02014b50u);
    EXPECT_EQ(u16At(zip, dir + 4), 20);
    EXPECT_EQ(
        0, memcmp(static_cast<const char*>(zip.getData()) + 4, static_cast<const char*>(zip.getData()) + dir + 6, 26));
    for (size_t at = dir + 32; at < dir + 42; ++at)
        EXPECT_EQ(zip[at], 0) << at;
    EXPECT_EQ(u32At(zip, dir + 42), 0u);
    const size_t end = dir + 46 + 5;

    // End record.
    ASSERT_EQ(zip.getSize(), end + 22);
    EXPECT_EQ(u32At(zip, end), 0x06054b50u);
    EXPECT_EQ(u16At(zip, end + 4), 0);
    EXPECT_EQ(u16At(zip, end + 6), 0);
    EXPECT_EQ(u16At(zip, end + 8), 1);
    EXPECT_EQ(u16At(zip, end + 10), 1);
    EXPECT_EQ(u32At(zip, end + 12), 51u);
    EXPECT_EQ(u32At(zip, end + 16), dir);
    EXPECT_EQ(u16At(zip, end + 20), 0);
}

TEST(MemoryBasedZip, RoundTripKeepsOrderBytesAndNames)
{
    const auto members = sampleMembers();
    const auto zip = build(members);
    EXPECT_EQ(build(members), zip) << "the same members must give the same bytes";

    testsupport::TemporaryFolder folder;
    MemoryBasedZipUncompressor reader(writeFile(folder, "t.zip", zip));
    ASSERT_EQ(reader.getNumEntries(), (int) members.size());
    for (size_t i = 0; i < members.size(); ++i)
    {
        const auto& entry = reader.getEntry((int) i);
        EXPECT_EQ(entry.name, members[i].first);
        EXPECT_EQ(entry.uncompressedSize, members[i].second.getSize());
        EXPECT_TRUE(entry.compressed);
        EXPECT_EQ(entry.modificationTime, juce::Time(2013, 0, 1, 0, 0, 0, 0, true));
        EXPECT_EQ(reader.findEntryIndex(members[i].first), (int) i);
    }
    EXPECT_EQ(reader.findEntryIndex("FIRST.XML"), -1);

    ASSERT_TRUE(reader.uncompressAllEntries().wasOk());
    ASSERT_EQ(reader.uncompressedData.size(), members.size());
    for (const auto& [name, data] : members)
        EXPECT_EQ(reader.uncompressedData.at(name), data) << name;
}

TEST(MemoryBasedZip, DuplicateNamesAreBothWrittenAndTheFirstIsRead)
{
    const auto zip = build({{"x", bytesOf("first")}, {"y", bytesOf("other")}, {"x", bytesOf("second")}});
    MemoryBasedZipUncompressor reader(zip);
    ASSERT_EQ(reader.getNumEntries(), 3);
    EXPECT_EQ(reader.findEntryIndex("x"), 0);
    ASSERT_TRUE(reader.uncompressAllEntries().wasOk());
    EXPECT_EQ(reader.uncompressedData.size(), 2u);
    EXPECT_EQ(reader.uncompressedData.at("x"), bytesOf("first"));
}

TEST(MemoryBasedZip, FolderEntriesAreListedButHaveNoContent)
{
    const auto zip = build({{"dir/", {}}, {"dir/file", bytesOf("content")}});
    MemoryBasedZipUncompressor reader(zip);
    ASSERT_EQ(reader.getNumEntries(), 2);
    ASSERT_TRUE(reader.uncompressAllEntries().wasOk());
    EXPECT_EQ(reader.uncompressedData.count("dir/"), 0u);
    EXPECT_EQ(reader.uncompressedData.at("dir/file"), bytesOf("content"));
}

TEST(MemoryBasedZip, NotAnArchiveOpensEmpty)
{
    testsupport::TemporaryFolder folder;
    for (const auto& [name, bytes] : std::vector<std::pair<juce::String, juce::MemoryBlock>>{
             {"text.zip", bytesOf("This is not a zip file, only some text that is long enough.")},
             {"short.zip", bytesOf("PK")},
             {"empty.zip", {}}})
    {
        MemoryBasedZipUncompressor reader(writeFile(folder, name, bytes));
        EXPECT_EQ(reader.getNumEntries(), 0) << name;
        EXPECT_TRUE(reader.uncompressAllEntries().wasOk()) << name;
        EXPECT_TRUE(reader.uncompressedData.empty());
    }
    MemoryBasedZipUncompressor missing(folder.file("missing.zip"));
    EXPECT_EQ(missing.getNumEntries(), 0);
}

TEST(MemoryBasedZip, ArchiveCommentWithinTheSearchWindow)
{
    auto zip = build({{"a", bytesOf("alpha")}});
    const auto endRecord = zip.getSize() - 22;

    auto withComment = zip;
    juce::String comment;
    for (int i = 0; i < 100; ++i)
        comment << "comment PK" << juce::String::charToString(5) << juce::String::charToString(6);
    comment = comment.substring(0, 1000);
    withComment.append(comment.toRawUTF8(), 1000);
    putU16(withComment, endRecord + 20, 1000);
    MemoryBasedZipUncompressor reader(withComment);
    ASSERT_EQ(reader.getNumEntries(), 1);
    ASSERT_TRUE(reader.uncompressAllEntries().wasOk());
    EXPECT_EQ(reader.uncompressedData.at("a"), bytesOf("alpha"));

    // An end record buried deeper than the search window is not found.
    auto buried = zip;
    buried.append(juce::MemoryBlock(1100, true).getData(), 1100);
    MemoryBasedZipUncompressor far(buried);
    EXPECT_EQ(far.getNumEntries(), 0);
}

TEST(MemoryBasedZip, ArchivesWrittenHerePassUnzip)
{
    if (!haveTool("unzip"))
        GTEST_SKIP() << "unzip is not installed";
    testsupport::TemporaryFolder folder;
    const auto file = writeFile(folder, "t.zip", build(sampleMembers()));
    juce::String output;
    EXPECT_EQ(runShell("unzip -t '" + file.getFullPathName() + "'", &output), 0) << output;
    EXPECT_EQ(runShell("cd '" + folder.get().getFullPathName() + "' && unzip -q t.zip -d out", &output), 0) << output;
    juce::MemoryBlock extracted;
    EXPECT_TRUE(folder.get().getChildFile("out/big.bin").loadFileAsData(extracted));
    EXPECT_EQ(extracted, sampleMembers()[4].second);
}

// Archives re-packed by common tools: other member order, extra fields, stored members, data descriptors,
// folder entries and a comment.
TEST(MemoryBasedZip, ForeignArchivesOpen)
{
    if (!haveTool("zip"))
        GTEST_SKIP() << "zip is not installed";
    testsupport::TemporaryFolder folder;
    const auto dir = folder.get().getFullPathName();
    const auto a = randomBytes(5000, 3);
    const auto b = bytesOf("hello, hello, hello\n");
    writeFile(folder, "a.bin", a);
    folder.file("sub").createDirectory();
    writeFile(folder, "sub/b.txt", b);

    struct Case
    {
        const char* label;
        const char* command;
    };
    const Case cases[] = {
        {"deflated, extra fields", "zip -q -X- out.zip sub/b.txt a.bin"},
        {"stored", "zip -q -0 out.zip a.bin sub/b.txt"},
        {"data descriptors", "zip -q - a.bin sub/b.txt | cat > out.zip"},
        {"folder entries and comment", "zip -q -r out.zip sub a.bin && echo 'a comment' | zip -q -z out.zip"},
        {"best compression", "zip -q -9 out.zip sub/b.txt a.bin"},
    };
    for (const auto& c : cases)
    {
        folder.file("out.zip").deleteFile();
        juce::String output;
        ASSERT_EQ(runShell("cd '" + dir + "' && " + c.command, &output), 0) << c.label << output;
        MemoryBasedZipUncompressor reader(folder.file("out.zip"));
        EXPECT_FALSE(reader.isDamaged()) << c.label;
        ASSERT_TRUE(reader.uncompressAllEntries().wasOk()) << c.label;
        ASSERT_EQ(reader.uncompressedData.count("a.bin"), 1u) << c.label;
        EXPECT_EQ(reader.uncompressedData.at("a.bin"), a) << c.label;
        ASSERT_EQ(reader.uncompressedData.count("sub/b.txt"), 1u) << c.label;
        EXPECT_EQ(reader.uncompressedData.at("sub/b.txt"), b) << c.label;
    }
}

// Names that are not UTF-8 come from tools writing a single-byte code page: each byte becomes its character,
// also in the longest name a record can hold.
TEST(MemoryBasedZip, NamesInASingleByteCodePageStayReadable)
{
    for (const size_t length : {3, 65535})
    {
        auto zip = build({{juce::String::repeatedString("a", (int) length), bytesOf("content")}});
        const auto central = centralRecordOf(zip, 0);
        ASSERT_EQ(u16At(zip, central + 28), length);
        for (size_t i = 0; i < length; ++i)
        {
            zip[30 + i] = (char) (0xE0 + i % 3); // local header name
            zip[central + 46 + i] = (char) (0xE0 + i % 3);
        }

        MemoryBasedZipUncompressor reader(zip);
        ASSERT_EQ(reader.getNumEntries(), 1) << length;
        const auto& name = reader.getEntry(0).name;
        ASSERT_EQ((size_t) name.length(), length);
        EXPECT_TRUE(name.startsWith(juce::String::fromUTF8("\xc3\xa0\xc3\xa1\xc3\xa2"))) << length;
        ASSERT_TRUE(reader.uncompressAllEntries().wasOk()) << length;
        EXPECT_EQ(reader.uncompressedData.at(name), bytesOf("content"));
    }
}

// Every kind of damage leaves the archive unreadable as a whole: nothing of it reaches the caller.
TEST(MemoryBasedZip, DamagedArchivesAreRefused)
{
    const auto good = build({{"one", randomBytes(2000, 4)}, {"two", bytesOf("second member, second member")}});
    const size_t local0 = 0;
    const size_t central0 = centralRecordOf(good, 0);
    const size_t central1 = centralRecordOf(good, 1);
    const size_t endRecord = good.getSize() - 22;
    const auto compressed0 = u32At(good, local0 + 18);

    struct Case
    {
        const char* label;
        std::function<void(juce::MemoryBlock&)> damage;
    };
    const std::vector<Case> cases = {
        {"central CRC wrong", [&](auto& z) { putU32(z, central0 + 16, u32At(z, central0 + 16) ^ 1); }},
        {"compressed byte flipped", [&](auto& z) { z[local0 + 30 + 3 + compressed0 / 2] ^= 0x55; }},
        {"declared size too small (bomb)", [&](auto& z) { putU32(z, central0 + 24, 100); }},
        {"declared size too large", [&](auto& z) { putU32(z, central0 + 24, 2001); }},
        {"huge declared size", [&](auto& z) { putU32(z, central0 + 24, 0xfffffff0u); }},
        {"compressed size past the end", [&](auto& z) { putU32(z, central1 + 20, 0x7fffffffu); }},
        {"local header offset past the end", [&](auto& z) { putU32(z, central1 + 42, 0xfffffff0u); }},
        {"local header signature", [&](auto& z) { z[local0] = 'X'; }},
        {"central record signature", [&](auto& z) { z[central1] = 'X'; }},
        {"name length past the directory", [&](auto& z) { putU16(z, central1 + 28, 0xffff); }},
        {"more records counted than present", [&](auto& z) { putU16(z, endRecord + 10, 3); }},
        {"directory offset past the end", [&](auto& z) { putU32(z, endRecord + 16, 0x7ffffff0u); }},
        {"unsupported method", [&](auto& z) { putU16(z, central0 + 10, 12); }},
        {"encrypted", [&](auto& z) { putU16(z, central0 + 8, 1); }},
        {"stored with sizes that differ", [&](auto& z) { putU16(z, central0 + 10, 0); }},
    };
    for (const auto& c : cases)
    {
        auto zip = good;
        c.damage(zip);
        MemoryBasedZipUncompressor reader(zip);
        const auto result = reader.uncompressAllEntries();
        EXPECT_TRUE(result.failed()) << c.label;
        EXPECT_TRUE(reader.uncompressedData.empty()) << c.label;
    }

    // Cut anywhere: either nothing is found or the archive is refused; never a partial member.
    for (size_t size = 0; size < good.getSize(); size += 7)
    {
        juce::MemoryBlock cut(good.getData(), size);
        MemoryBasedZipUncompressor reader(cut);
        const auto result = reader.uncompressAllEntries();
        EXPECT_TRUE(reader.getNumEntries() == 0 || result.failed()) << size;
        EXPECT_TRUE(reader.uncompressedData.empty()) << size;
    }
}

TEST(MemoryBasedZip, InALargeArchiveTheFirstDamagedMemberIsTheOneNamed)
{
    // Enough members and bytes that the reader shares them among threads.
    std::vector<std::pair<juce::String, juce::MemoryBlock>> members;
    for (int i = 0; i < 64; ++i)
        members.push_back({"m" + juce::String(i), randomBytes(8000, 100 + i)});
    const auto good = build(members);
    {
        MemoryBasedZipUncompressor reader(good);
        ASSERT_TRUE(reader.uncompressAllEntries().wasOk());
        for (const auto& [name, data] : members)
            EXPECT_EQ(reader.uncompressedData.at(name), data) << name;
    }
    for (const auto& damaged : std::vector<std::vector<int>>{{40, 10}, {63}, {0, 63}, {10, 11, 12}})
    {
        auto zip = good;
        for (const int index : damaged)
        {
            const auto central = centralRecordOf(zip, index);
            putU32(zip, central + 16, u32At(zip, central + 16) ^ 1);
        }
        const auto first = *std::min_element(damaged.begin(), damaged.end());
        MemoryBasedZipUncompressor reader(zip);
        const auto result = reader.uncompressAllEntries();
        EXPECT_EQ(result.getErrorMessage(), "CRC mismatch: m" + juce::String(first));
        EXPECT_TRUE(reader.uncompressedData.empty());
        EXPECT_EQ(reader.findMember("m1"), nullptr);
    }
}

TEST(MemoryBasedZip, SizeLimits)
{
    // A real bomb: a small archive whose member inflates far beyond the limit.
    juce::MemoryBlock zeros((size_t) MemoryBasedZipUncompressor::maximumUncompressedSize + 1, true);
    const auto bomb = build({{"bomb", zeros}});
    zeros.reset();
    EXPECT_LT(bomb.getSize(), 200000u);
    MemoryBasedZipUncompressor bombReader(bomb);
    ASSERT_EQ(bombReader.getNumEntries(), 1);
    EXPECT_TRUE(bombReader.uncompressAllEntries().failed());

    // Many members that are small each but too large together.
    auto several = build({{"a", juce::MemoryBlock(1000, true)}, {"b", juce::MemoryBlock(1000, true)}});
    putU32(several, centralRecordOf(several, 0) + 24, 40 * 1024 * 1024);
    putU32(several, centralRecordOf(several, 1) + 24, 40 * 1024 * 1024);
    MemoryBasedZipUncompressor severalReader(several);
    EXPECT_TRUE(severalReader.uncompressAllEntries().failed());

    // An archive file beyond the limit is not even read.
    testsupport::TemporaryFolder folder;
    auto big = folder.file("big.zip");
    {
        auto archive = build({{"a", bytesOf("alpha")}});
        juce::FileOutputStream out(big);
        ASSERT_TRUE(out.openedOk());
        ASSERT_TRUE(out.setPosition(MemoryBasedZipUncompressor::maximumArchiveSize));
        out.write(archive.getData(), archive.getSize());
    }
    MemoryBasedZipUncompressor bigReader(big);
    EXPECT_EQ(bigReader.getNumEntries(), 0);
    EXPECT_TRUE(bigReader.isDamaged());
    EXPECT_TRUE(bigReader.uncompressAllEntries().failed());
}

// The member checksum, folded where the processor can, is zlib's for every length around the folding widths and
// at every alignment of the data.
TEST(MemoryBasedZip, MemberChecksumIsZlibsForEveryLengthAndAlignment)
{
    std::vector<unsigned char> bytes(1100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = (unsigned char) (i * 167 + 13);
    for (size_t offset = 0; offset < 4; ++offset)
        for (size_t size = 0; size + offset <= bytes.size(); size += size < 300 ? 1 : 53)
        {
            const auto* p = bytes.data() + offset;
            ASSERT_EQ(zipCrc32Of(p, size), (juce::uint32) crc32(crc32(0L, Z_NULL, 0), p, (uInt) size))
                << "size " << size << ", offset " << offset;
        }
}
