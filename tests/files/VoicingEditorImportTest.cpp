#include "data/LibraryData.h"
#include "files/VoicingEditorFileHeaderReaderWriter.h"
#include "files/VoicingEditorLibraryDataImporter.h"
#include "tests/files/OlderEditorTestFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using x47390_file::VoicingEditorLibraryDataImporter;

namespace
{
using olderEditorTest::OlderEditorFileWriter;

struct Import
{
    int result;
    std::unique_ptr<x47390_data::LibraryData> library;
};

Import importBytes(const juce::MemoryBlock& bytes)
{
    testsupport::TemporaryFolder folder;
    const auto file = folder.file("library.snvre_all");
    {
        juce::FileOutputStream out(file); // replaceWithData would delete an empty file
        out.write(bytes.getData(), bytes.getSize());
    }
    auto library = std::make_unique<x47390_data::LibraryData>();
    const int result = VoicingEditorLibraryDataImporter(library.get()).read(file);
    return {result, std::move(library)};
}
} // namespace

TEST(VoicingEditorImport, TakesAllProgramsAndTheirTexts)
{
    OlderEditorFileWriter writer;
    const auto imported = importBytes(writer.build());
    ASSERT_EQ(imported.result, 0);
    for (int i = 0; i < 500; ++i)
    {
        const auto& program = imported.library->getProgramData(i);
        ASSERT_EQ(program.binary, writer.programs[(size_t) i].binary) << i;
        EXPECT_EQ(program.getName(), juce::String::formatted("Old %03d", i).paddedRight(' ', 12));
        EXPECT_EQ(program.md5, x47390_data::md5Text(program.binary.data(), program.binary.size()));
        EXPECT_EQ(program.information.programmer, juce::String(writer.programs[(size_t) i].programmer));
        EXPECT_EQ(program.information.comment, juce::String(writer.programs[(size_t) i].comment));
    }
}

TEST(VoicingEditorImport, FullTextFieldsKeepTheirBytesAndCutCharactersAreDropped)
{
    OlderEditorFileWriter writer;
    writer.programs[0].programmer = std::string(30, 'P');
    writer.programs[0].comment = std::string(70, 'C');
    // "é" is two bytes in UTF-8; the 24th byte is the first half of one.
    writer.programs[1].programmer = std::string(23, 'x') + "\xC3\xA9";
    writer.programs[2].comment = "caf\xC3\xA9";
    writer.programs[3].comment = "bad \xFF byte";
    const auto imported = importBytes(writer.build());
    ASSERT_EQ(imported.result, 0);
    const auto& library = *imported.library;
    EXPECT_EQ(library.getProgramData(0).information.programmer, juce::String(std::string(24, 'P')));
    EXPECT_EQ(library.getProgramData(0).information.comment, juce::String(std::string(64, 'C')));
    EXPECT_EQ(library.getProgramData(1).information.programmer, juce::String(std::string(23, 'x')));
    EXPECT_EQ(library.getProgramData(2).information.comment, juce::String::fromUTF8("caf\xC3\xA9"));
    EXPECT_EQ(library.getProgramData(3).information.comment.length(), 10);
}

TEST(VoicingEditorImport, OtherChunksAreSkippedWhereverTheyStand)
{
    for (int position = 0; position < 3; ++position)
    {
        OlderEditorFileWriter writer;
        writer.before.assign((size_t) position, "7390Othr");
        writer.after.assign((size_t) (2 - position), "7390Othr");
        const auto imported = importBytes(writer.build());
        ASSERT_EQ(imported.result, 0) << position;
        EXPECT_EQ(imported.library->getProgramData(499).binary, writer.programs[499].binary);
    }
}

TEST(VoicingEditorImport, BrokenFilesGiveTheirErrors)
{
    struct Case
    {
        const char* what;
        std::function<void(OlderEditorFileWriter&)> change;
        int result;
        int programsTaken;
    };
    const Case cases[] = {
        {"container named in full is cut to 8 bytes", [](auto& w) { w.containerTag = "47390AllD"; }, 5, 0},
        {"not a library", [](auto& w) { w.containerTag = "7390PrgD"; }, 5, 0},
        {"only two chunks", [](auto& w) { w.after.clear(); }, 3, 500},
        {"no program set",
         [](auto& w)
         {
             w.withProgramSet = false;
             w.after.push_back("7390Othr");
         },
         3, 0},
        {"program set of 499", [](auto& w) { w.programSetCount = 499; }, 12, 0},
        {"program set of 501", [](auto& w) { w.programSetCount = 501; }, 12, 0},
        {"program chunks missing from 250",
         [](auto& w)
         {
             w.programsWritten = 250;
             w.after.clear();
         },
         7, 250},
        {"a program chunk of another kind", [](auto& w) { w.programs[10].tag = "7390PrgS"; }, 8, 10},
        {"program set named by its first 8 characters", [](auto& w) { w.programSetTag = "47390PrgS"; }, 3, 0},
    };
    for (const auto& c : cases)
    {
        OlderEditorFileWriter writer;
        c.change(writer);
        const auto imported = importBytes(writer.build());
        EXPECT_EQ(imported.result, c.result) << c.what;
        for (int i = 0; i < 500; ++i)
        {
            const bool taken = imported.library->getProgramData(i).binary == writer.programs[(size_t) i].binary;
            ASSERT_EQ(taken, i < c.programsTaken) << c.what << ", program " << i;
        }
    }
}

TEST(VoicingEditorImport, TruncatedFilesAreErrorsWherevertheyAreCut)
{
    const auto full = OlderEditorFileWriter().build();
    const auto programSetStart = 32 + 32 + 40;
    const auto firstProgram = programSetStart + 32;
    const int programChunk = 32 + VoicingEditorLibraryDataImporter::programDataSize;
    struct Case
    {
        size_t length;
        int result;
    };
    const Case cases[] = {
        {0, 4},
        {10, 4},
        {31, 4},
        {32, 3},
        {programSetStart + 20, 3},
        {(size_t) firstProgram + 16, 7},
        {(size_t) firstProgram + 32 + 100, 7},
        {(size_t) firstProgram + 3 * programChunk - 1, 7},
        {full.getSize() - 60, 3},
    };
    for (const auto& c : cases)
    {
        const auto imported = importBytes(juce::MemoryBlock(full.getData(), c.length));
        EXPECT_EQ(imported.result, c.result) << "cut at " << c.length;
    }
}

TEST(VoicingEditorImport, MissingFileAndHostileSizes)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    EXPECT_EQ(VoicingEditorLibraryDataImporter(library.get()).read(juce::File("/nonexistent/old.snvre_all")), 1);

    // A chunk whose data size is negative would send the reader backwards.
    OlderEditorFileWriter writer;
    auto bytes = writer.build();
    auto* raw = static_cast<juce::uint8*>(bytes.getData());
    const juce::int32 negative = -64;
    std::memcpy(raw + 32 + 10, &negative, 4);
    EXPECT_EQ(importBytes(bytes).result, 3);

    // A program chunk that claims to be huge ends the program set past the end of the file.
    auto huge = writer.build();
    auto* hugeRaw = static_cast<juce::uint8*>(huge.getData());
    const juce::int32 big = 0x7FFFFFF0;
    std::memcpy(hugeRaw + 32 + 32 + 40 + 32 + 10, &big, 4);
    EXPECT_EQ(importBytes(huge).result, 7);
}

TEST(VoicingEditorImport, HeaderReaderNeedsAWholeHeaderAndFollowsItsSize)
{
    juce::MemoryOutputStream out;
    OlderEditorFileWriter::header(out, "ABCDEFGHIJ", 1234, 7);
    out.writeRepeatedByte(0, 8);
    auto bytes = out.getMemoryBlock();
    static_cast<juce::uint8*>(bytes.getData())[8] = 40; // header size 40

    juce::MemoryInputStream in(bytes, false);
    x47390_file::VoicingEditorFileHeaderReaderWriter header;
    ASSERT_EQ(header.read(in), 0);
    EXPECT_EQ(header.tag, "ABCDEFGH");
    EXPECT_EQ(header.dataSize, 1234);
    EXPECT_EQ(header.count, 7);
    EXPECT_EQ(in.getPosition(), 40);

    juce::MemoryInputStream shortStream(bytes.getData(), 31, false);
    EXPECT_EQ(header.read(shortStream), 1);
}
