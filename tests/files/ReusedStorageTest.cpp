// Readers hand their large blocks on to the next reader on the same thread; what one file left in them
// never shows in the next.
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/ProgramFileReader.h"
#include "files/ProgramFileWriter.h"
#include "files/ReusedStorage.h"
#include "tests/files/LibraryFileTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>

TEST(ReusedStorage, BlocksStayWithTheirThread)
{
    // On a thread of its own, whose spares start empty.
    std::thread([] {
        juce::uint8* first = nullptr;
        {
            reusedStorage::Bytes block;
            first = block.allocate(300000);
            ASSERT_NE(first, nullptr);
            std::memset(first, 0xab, 300000);
        }
        reusedStorage::Bytes again;
        EXPECT_EQ(again.allocate(200000), first) << "a smaller block fits in the one given back";
        EXPECT_EQ(again.size(), 200000u);

        // Growing keeps what the block holds; truncating keeps the start.
        std::memcpy(again.data(), "0123456789", 10);
        ASSERT_NE(again.grow(1000000), nullptr);
        EXPECT_EQ(again.size(), 1000000u);
        EXPECT_EQ(std::memcmp(again.data(), "0123456789", 10), 0);
        again.truncate(4);
        EXPECT_EQ(again.size(), 4u);

        // Another thread never gets this thread's blocks.
        again.release();
        juce::uint8* elsewhere = nullptr;
        std::thread([&] {
            reusedStorage::Bytes block;
            elsewhere = block.allocate(200000);
        }).join();
        EXPECT_NE(elsewhere, first);
        reusedStorage::Bytes last;
        EXPECT_EQ(last.allocate(100), first);

        // A vector given back lends its room, empty, to the next one taken.
        auto numbers = reusedStorage::takeVector<int>();
        numbers.assign(5000, 7);
        reusedStorage::giveBackVector(numbers);
        const auto next = reusedStorage::takeVector<int>();
        EXPECT_TRUE(next.empty());
        EXPECT_GE(next.capacity(), 5000u);
    }).join();
}

TEST(ReusedStorage, FilesReadInTurnKeepNothingOfTheOneBefore)
{
    testsupport::TemporaryFolder folder;
    auto full = std::make_unique<x47390_data::LibraryData>();
    ziptest::fillLibrary(*full);
    const auto libraryFile = folder.file("full.snvrlib");
    ASSERT_EQ(x47390_file::LibraryFileWriter(full.get()).write(libraryFile), 0);
    auto program = ziptest::makeProgram(3);
    program.information.comment = "short";
    const auto programFile = folder.file("one.snvrprog");
    ASSERT_EQ(x47390_file::ProgramFileWriter(&program).write(programFile), 0);
    const auto damaged = folder.file("damaged.snvrlib");
    juce::MemoryBlock bytes;
    libraryFile.loadFileAsData(bytes);
    damaged.replaceWithData(bytes.getData(), bytes.getSize() - 100);

    auto readLibrary = [&]
    {
        auto read = std::make_unique<x47390_data::LibraryData>();
        EXPECT_EQ(x47390_file::LibraryFileReader(read.get()).read(libraryFile), 0);
        for (int i = 0; i < x47390_data::LibraryData::numPrograms; ++i)
        {
            EXPECT_EQ(read->getProgramData(i).binary, full->getProgramData(i).binary) << i;
            EXPECT_EQ(read->getProgramData(i).information.comment, full->getProgramData(i).information.comment) << i;
            EXPECT_EQ(read->getProgramData(i).md5, full->getProgramData(i).md5) << i;
        }
    };
    auto readProgram = [&]
    {
        x47390_data::ProgramData read;
        EXPECT_EQ(x47390_file::ProgramFileReader(&read).read(programFile), 0);
        EXPECT_EQ(read.binary, program.binary);
        EXPECT_EQ(read.information.comment, "short");
    };

    readLibrary();
    readProgram();
    auto untouched = std::make_unique<x47390_data::LibraryData>();
    EXPECT_EQ(x47390_file::LibraryFileReader(untouched.get()).read(damaged), file::ReadError::failedToUncompressZipFile);
    readLibrary();
    readProgram();

    // Several threads at once, each with its own blocks.
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t)
        readers.emplace_back([&] {
            for (int round = 0; round < 3; ++round)
            {
                readLibrary();
                readProgram();
            }
        });
    for (auto& reader : readers)
        reader.join();
}
