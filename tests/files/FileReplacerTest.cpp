#include "files/FileReplacer.h"
#include "files/FileExtensionChecker.h"
#include "files/FileWriter.h"
#include "tests/files/FileSavingTestSupport.h"
#include "tests/support/UnusualFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A chain of links (in other folders too, relative or absolute) leads to the file that is replaced; every
// link stays a link. A loop of links is refused and changes nothing.
TEST(FileReplacer, SavingThroughAChainOfLinksReplacesTheFileAtItsEnd)
{
    testsupport::TemporaryFolder folder;
    const auto real = folder.file("real/real.snvrlib");
    ASSERT_TRUE(real.getParentDirectory().createDirectory());
    ASSERT_TRUE(real.replaceWithText("old"));
    const auto middle = folder.file("links/middle.snvrlib");
    ASSERT_TRUE(middle.getParentDirectory().createDirectory());
    ASSERT_EQ(symlink("../real/real.snvrlib", middle.getFullPathName().toRawUTF8()), 0);
    const auto first = folder.file("first.snvrlib");
    ASSERT_TRUE(middle.createSymbolicLink(first, true)); // absolute
    const auto outer = folder.file("outer.snvrlib");
    ASSERT_EQ(symlink("first.snvrlib", outer.getFullPathName().toRawUTF8()), 0);

    EXPECT_EQ(replace(outer, "new"), file::WriteError::noError);
    EXPECT_EQ(real.loadFileAsString(), "new");
    for (const auto& link : {outer, first, middle})
        EXPECT_TRUE(link.isSymbolicLink()) << link.getFileName();
    EXPECT_EQ(folderListing(real.getParentDirectory()), juce::StringArray{"real.snvrlib"});
    EXPECT_EQ(folderListing(middle.getParentDirectory()), juce::StringArray{"middle.snvrlib"});

    // A link to a file not there yet makes that file.
    const auto dangling = folder.file("dangling.snvrlib");
    ASSERT_EQ(symlink("links/later.snvrlib", dangling.getFullPathName().toRawUTF8()), 0);
    EXPECT_EQ(replace(dangling, "made"), file::WriteError::noError);
    EXPECT_EQ(folder.file("links/later.snvrlib").loadFileAsString(), "made");
    EXPECT_TRUE(dangling.isSymbolicLink());

    const auto loopA = folder.file("a.snvrlib");
    const auto loopB = folder.file("b.snvrlib");
    ASSERT_EQ(symlink("b.snvrlib", loopA.getFullPathName().toRawUTF8()), 0);
    ASSERT_EQ(symlink("a.snvrlib", loopB.getFullPathName().toRawUTF8()), 0);
    EXPECT_EQ(replace(loopA, "x"), file::WriteError::openFile);
    EXPECT_TRUE(loopA.isSymbolicLink() && loopB.isSymbolicLink());
}

// The rename that completes a save is made lasting too: the folder is flushed after the file.
TEST(FileReplacer, FlushesTheFolderAfterTheRename)
{
    testsupport::TemporaryFolder folder;
    const auto target = folder.file("lib.snvrlib");
    const auto folderPath = folder.get().getFullPathName().toStdString();
    for (const char* text : {"made", "replaced"})
    {
        const testsupport::FsyncRecorder flushes;
        ASSERT_EQ(replace(target, text), file::WriteError::noError);
        const auto paths = flushes.paths();
        ASSERT_FALSE(paths.empty()) << text;
        EXPECT_EQ(paths.back(), folderPath) << text;
        EXPECT_EQ(paths.front().rfind(folderPath + "/.lib.snvrlib.", 0), 0u) << text << ": " << paths.front();
    }
}

// A save removes the temporary files of our naming that ended processes left in its folder; files of a
// running process (this one included) and every other name stay.
TEST(FileReplacer, RemovesTheTemporaryFilesOfEndedProcesses)
{
    testsupport::TemporaryFolder folder;
    const auto ended = juce::String(testsupport::endedProcessId());
    const auto running = juce::String(getpid());
    const juce::StringArray stale{".lib.snvrlib." + ended + "-1a2b3c4d.tmp", ".other.snvrlib." + ended + "-0.tmp",
                                  "..hidden." + ended + "-ff.tmp"};
    const juce::StringArray kept{".lib.snvrlib." + running + "-1a2b3c4d.tmp", // this process's
                                 ".lib.snvrlib.1-abc.tmp",                      // a running process's
                                 ".lib.snvrlib." + ended + ".tmp",              // no random part
                                 ".lib.snvrlib." + ended + "-xyz.tmp",          // not hexadecimal
                                 "lib.snvrlib." + ended + "-1.tmp",             // not hidden
                                 "." + ended + "-1.tmp",                        // no name
                                 ".lib.snvrlib." + ended + "-1.tmp.bak",
                                 "notes.txt"};
    for (const auto& name : stale)
        ASSERT_TRUE(folder.file(name).replaceWithText("partial")) << name;
    for (const auto& name : kept)
        ASSERT_TRUE(folder.file(name).replaceWithText("keep")) << name;
    const auto otherFolder = folder.file("elsewhere");
    ASSERT_TRUE(otherFolder.createDirectory());
    ASSERT_TRUE(otherFolder.getChildFile(stale[0]).replaceWithText("another folder"));

    ASSERT_EQ(replace(folder.file("lib.snvrlib"), "saved"), file::WriteError::noError);
    auto expected = kept;
    expected.addArray({"elsewhere", "lib.snvrlib"});
    expected.sort(false);
    EXPECT_EQ(folderListing(folder.get()), expected);
    EXPECT_TRUE(otherFolder.getChildFile(stale[0]).existsAsFile()) << "only the saved file's folder is cleaned";

    file::FileReplacer::removeStaleTemporaries(otherFolder);
    EXPECT_EQ(folderListing(otherFolder), juce::StringArray());
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
