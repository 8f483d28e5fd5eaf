#include "files/FileReplacer.h"
#include "files/FileExtensionChecker.h"
#include "files/FileWriter.h"
#include "tests/files/FileSavingTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace ziptest;
using file::FileReplacer;

namespace
{
int replace(const juce::File& target, const juce::String& text)
{
    return FileReplacer::replaceWithData(target, text.toRawUTF8(), text.getNumBytesAsUTF8());
}
} // namespace

TEST(FileReplacer, CreatesAndReplacesWithoutLeavingTemporaryFiles)
{
    testsupport::TemporaryFolder folder;
    const auto target = folder.file("lib.snvrlib");

    EXPECT_EQ(replace(target, "first"), file::WriteError::noError);
    EXPECT_EQ(target.loadFileAsString(), "first");

    chmod(target.getFullPathName().toRawUTF8(), 0640);
    EXPECT_EQ(replace(target, "second, longer than the first"), file::WriteError::noError);
    EXPECT_EQ(target.loadFileAsString(), "second, longer than the first");
    struct stat info
    {
    };
    ASSERT_EQ(stat(target.getFullPathName().toRawUTF8(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "a replaced file keeps its permissions";

    EXPECT_EQ(replace(target, "3"), file::WriteError::noError);
    EXPECT_EQ(target.loadFileAsString(), "3") << "a shorter file must not keep the old tail";
    EXPECT_EQ(folderListing(folder.get()), juce::StringArray{"lib.snvrlib"});
}

TEST(FileReplacer, SavingThroughALinkKeepsTheLink)
{
    testsupport::TemporaryFolder folder;
    const auto real = folder.file("real.snvrlib");
    const auto link = folder.file("link.snvrlib");
    ASSERT_TRUE(real.replaceWithText("old"));
    ASSERT_TRUE(real.createSymbolicLink(link, true));

    EXPECT_EQ(replace(link, "new"), file::WriteError::noError);
    EXPECT_TRUE(link.isSymbolicLink());
    EXPECT_EQ(real.loadFileAsString(), "new");
    EXPECT_EQ(folderListing(folder.get()), (juce::StringArray{"link.snvrlib", "real.snvrlib"}));
}

// Every failure keeps the previous file exactly as it was and leaves nothing else behind.
TEST(FileReplacer, FailedSavesKeepTheOldFile)
{
    testsupport::TemporaryFolder folder;
    const auto regular = folder.file("regular");
    ASSERT_TRUE(regular.replaceWithText("a file, not a folder"));
    const auto existingFolder = folder.file("folder.snvrlib");
    ASSERT_TRUE(existingFolder.createDirectory());

    EXPECT_EQ(replace(regular.getChildFile("lib.snvrlib"), "x"), file::WriteError::openFile) << "parent is a file";
    EXPECT_EQ(replace(folder.file("missing/lib.snvrlib"), "x"), file::WriteError::openFile) << "no such folder";
    EXPECT_EQ(replace(existingFolder, "x"), file::WriteError::openFile) << "target is a folder";
    EXPECT_TRUE(existingFolder.isDirectory());

    const auto target = folder.file("lib.snvrlib");
    ASSERT_TRUE(target.replaceWithText("the old library"));
    {
        DiskFullSimulation full;
        const juce::String big = juce::String::repeatedString("0123456789", 2000);
        EXPECT_EQ(replace(target, big), file::WriteError::writeData);
    }
    EXPECT_EQ(target.loadFileAsString(), "the old library");

    {
        ImmutableFile locked(target);
        if (locked.isImmutable())
        {
            EXPECT_EQ(replace(target, "new"), file::WriteError::deleteFile);
        }
    }
    EXPECT_EQ(target.loadFileAsString(), "the old library");
    EXPECT_EQ(folderListing(folder.get()), (juce::StringArray{"folder.snvrlib", "lib.snvrlib", "regular"}));
}

// A folder that takes no new file: replacing a file in it is the existing file that cannot be replaced (1),
// making a new one there is the file that cannot be opened (2).
TEST(FileReplacer, AFolderThatRefusesNewFiles)
{
    testsupport::TemporaryFolder temp;
    const auto folder = temp.file("locked");
    ASSERT_TRUE(folder.createDirectory());
    const auto existing = folder.getChildFile("lib.snvrlib");
    ASSERT_TRUE(existing.replaceWithText("the old library"));

    ImmutableFile locked(folder);
    if (!locked.isImmutable())
        GTEST_SKIP() << "the file system cannot lock a folder";

    EXPECT_EQ(replace(existing, "new"), file::WriteError::deleteFile);
    EXPECT_EQ(replace(folder.getChildFile("other.snvrlib"), "new"), file::WriteError::openFile);
    EXPECT_EQ(existing.loadFileAsString(), "the old library");
    EXPECT_EQ(folderListing(folder), juce::StringArray{"lib.snvrlib"});
}

TEST(FileExtensionChecker, ReplacesTheExtension)
{
    const juce::File folder("/home/user/music");
    struct Case
    {
        const char* extension;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {".snvrprog", "sound.txt", "sound.snvrprog"},
        {"snvrprog", "sound.txt", "sound.snvrprog"},
        {".snvrlib", "my.lib.backup", "my.lib.snvrlib"},
        {".snvrlib", "plain", "plain.snvrlib"},
        {".snvrlib", "already.snvrlib", "already.snvrlib"},
        {".snvrtuns", ".hidden", ".hidden.snvrtuns"},
        {".kbm", "map.", "map.kbm"},
    };
    for (const auto& c : cases)
    {
        file::FileExtensionChecker checker(c.extension);
        const auto result = checker.getFileWithExtension(folder.getChildFile(c.name));
        EXPECT_EQ(result, folder.getChildFile(c.expected)) << c.extension << " " << c.name;
    }
    EXPECT_EQ(file::FileExtensionChecker("snvrprog").getExtension(), ".snvrprog");
}
