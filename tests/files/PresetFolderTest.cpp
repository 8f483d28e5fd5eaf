#include "app/PreferencesData.h"
#include "data/DataCenter.h"
#include "data/PresetData.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "files/FileReader.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileReader.h"
#include "files/PresetFileWriter.h"
#include "files/ProgramFileWriter.h"
#include "files/ZipLibraryFileWriter.h"
#include "tests/support/UnusualFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using x47390_file::PresetFileManager;

namespace
{
// Every test gets its own preferences folder (XDG_CONFIG_HOME) and temporary folder (TMPDIR), and a
// fresh manager, as at a new start of the program.
class PresetFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", config.get().getFullPathName().toRawUTF8(), 1);
        setenv("TMPDIR", temporary.get().getFullPathName().toRawUTF8(), 1);
    }

    void TearDown() override
    {
        restart();
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("TMPDIR");
    }

    static void restart() { delete PresetFileManager::getInstanceWithoutCreating(); }

    static PresetFileManager& manager() { return *PresetFileManager::getInstance(); }

    static std::unique_ptr<x47390_data::PresetData> makePreset(const juce::String& dataID, const juce::String& name)
    {
        auto preset = std::make_unique<x47390_data::PresetData>();
        preset->information.dataID = dataID;
        preset->information.name = name;
        preset->information.numOfProg = 500;
        preset->programs[0].setName(name);
        return preset;
    }

    juce::File writePreset(const juce::String& dataID, const juce::String& name)
    {
        const auto file = sources.file(name + juce::String(++written) + ".snvrpreset");
        EXPECT_EQ(x47390_file::PresetFileWriter(makePreset(dataID, name).get()).write(file), 0);
        return file;
    }

    static juce::StringArray indexEntries()
    {
        juce::StringArray entries;
        for (auto* entry : manager().getIndexRoot()->getChildIterator())
            entries.add(entry->getChildElementAllSubText("DataID", {}) + " -> " +
                        entry->getChildElementAllSubText("File", {}));
        return entries;
    }

    static juce::StringArray indexEntriesOnDisk()
    {
        juce::StringArray entries;
        const auto root = juce::parseXML(PresetFileManager::getIndexFile());
        if (root != nullptr)
            for (auto* entry : root->getChildIterator())
                entries.add(entry->getChildElementAllSubText("DataID", {}) + " -> " +
                            entry->getChildElementAllSubText("File", {}));
        return entries;
    }

    static juce::String firstProgramName(const juce::File& file)
    {
        auto preset = std::make_unique<x47390_data::PresetData>();
        if (x47390_file::PresetFileReader(preset.get()).read(file) != 0)
            return "(unreadable)";
        return preset->programs[0].getName().trimEnd();
    }

    static juce::StringArray folderContents(const juce::File& folder)
    {
        juce::StringArray names;
        for (const auto& file :
             folder.findChildFiles(juce::File::findFilesAndDirectories + juce::File::ignoreHiddenFiles, false))
            names.add(file.getFileName());
        names.sort(false);
        return names;
    }

    testsupport::TemporaryFolder config;
    testsupport::TemporaryFolder temporary;
    testsupport::TemporaryFolder sources;
    int written = 0;
};
} // namespace

TEST_F(PresetFolder, LivesInThePreferencesFolder)
{
    EXPECT_EQ(PresetFileManager::getPresetFolder(),
              config.get().getChildFile("VEXO sonavire Sound Librarian").getChildFile("Preset Data"));
    EXPECT_TRUE(PresetFileManager::getPresetFolder().isDirectory());
    EXPECT_EQ(PresetFileManager::getIndexFile().getFileName(), "PresetFileInformation.xml");
    EXPECT_EQ(manager().getIndexRoot()->getTagName(), "sonavire_PresetInformation");
    EXPECT_EQ(manager().getIndexRoot()->getNumChildElements(), 0);
}

TEST_F(PresetFolder, FirstStartInstallsTheFactoryLibraryOnce)
{
    ASSERT_TRUE(manager().installFactoryPresetLibrary());
    EXPECT_EQ(indexEntries(), juce::StringArray("SNVR-FACTORY-0001 -> SNVR-FACTORY-0001.isnvrpreset"));
    EXPECT_EQ(indexEntriesOnDisk(), indexEntries());
    EXPECT_EQ(folderContents(temporary.get()), juce::StringArray()) << "the temporary copy is gone";

    x47390_data::PresetLibrary libraries;
    ASSERT_EQ(manager().reloadPresetLibraries(libraries), 0);
    ASSERT_EQ(libraries.getNumPresetData(), 1);
    const auto& factory = libraries.getPresetData(0);
    EXPECT_EQ(factory.information.name, "Factory Library");
    EXPECT_EQ(factory.information.numOfProg, 500);
    EXPECT_EQ(factory.information.version, 1);
    juce::StringArray names;
    for (const auto& program : factory.programs)
    {
        EXPECT_EQ(program.md5, x47390_data::md5Text(program.binary.data(), program.binary.size()));
        names.addIfNotAlreadyThere(program.getName());
    }
    EXPECT_EQ(names.size(), 500) << "every factory program has a name of its own";
    EXPECT_EQ(factory.programs[0].getName(), "Warm Pad 1  ");

    // The next start reads the index and installs nothing.
    restart();
    EXPECT_EQ(indexEntries().size(), 1);
    EXPECT_FALSE(manager().installFactoryPresetLibrary());
    EXPECT_EQ(indexEntries().size(), 1);
}

TEST_F(PresetFolder, ImportAddsNewLibrariesAndReplacesByDataID)
{
    ASSERT_TRUE(manager().importPresetFile(writePreset("Bank-A", "First")));
    ASSERT_TRUE(manager().importPresetFile(writePreset("Bank-B", "Second")));
    EXPECT_EQ(indexEntries(), juce::StringArray({"Bank-A -> Bank-A.isnvrpreset", "Bank-B -> Bank-B.isnvrpreset"}));

    // The same DataID in another letter case replaces the registered file and adds no entry.
    ASSERT_TRUE(manager().importPresetFile(writePreset("bank-a", "Replaced")));
    EXPECT_EQ(indexEntries(), juce::StringArray({"Bank-A -> Bank-A.isnvrpreset", "Bank-B -> Bank-B.isnvrpreset"}));
    EXPECT_EQ(indexEntriesOnDisk(), indexEntries());
    EXPECT_EQ(firstProgramName(PresetFileManager::getPresetFolder().getChildFile("Bank-A.isnvrpreset")), "Replaced");

    x47390_data::PresetLibrary libraries;
    ASSERT_EQ(manager().reloadPresetLibraries(libraries), 0);
    ASSERT_EQ(libraries.getNumPresetData(), 2);
    EXPECT_EQ(libraries.getPresetData(0).information.dataID, "bank-a");
    EXPECT_EQ(libraries.getPresetData(1).programs[0].getName().trimEnd(), "Second");
}

TEST_F(PresetFolder, ReplacingKeepsTheRegisteredFileName)
{
    const auto folder = PresetFileManager::getPresetFolder();
    writePreset("Any", "Registered").copyFileTo(folder.getChildFile("Hand Named.isnvrpreset"));
    auto* entry = manager().getIndexRoot()->createNewChildElement("Preset");
    entry->createNewChildElement("DataID")->addTextElement("Any");
    entry->createNewChildElement("File")->addTextElement("Hand Named.isnvrpreset");

    ASSERT_TRUE(manager().importPresetFile(writePreset("ANY", "Newer")));
    EXPECT_EQ(firstProgramName(folder.getChildFile("Hand Named.isnvrpreset")), "Newer");
    EXPECT_FALSE(folder.getChildFile("ANY.isnvrpreset").exists());
    EXPECT_EQ(indexEntries().size(), 1);
}

TEST_F(PresetFolder, ImportingTheInstalledFileItselfKeepsIt)
{
    ASSERT_TRUE(manager().importPresetFile(writePreset("Self", "Original")));
    const auto installed = PresetFileManager::getPresetFolder().getChildFile("Self.isnvrpreset");
    const auto before = installed.loadFileAsString();
    ASSERT_TRUE(manager().importPresetFile(installed));
    EXPECT_EQ(installed.loadFileAsString(), before);
    EXPECT_EQ(firstProgramName(installed), "Original");
    EXPECT_EQ(indexEntries().size(), 1);
}

TEST_F(PresetFolder, FilesThatAreNoPresetLibrariesAreRefused)
{
    const auto programFile = sources.file("program.snvrprog");
    x47390_data::ProgramData program;
    ASSERT_EQ(x47390_file::ProgramFileWriter(&program).write(programFile), 0);
    const auto textFile = sources.file("notes.snvrpreset");
    textFile.replaceWithText("hello");

    for (const auto& file : {programFile, textFile, sources.file("missing.snvrpreset")})
        EXPECT_FALSE(manager().importPresetFile(file)) << file.getFileName();
    EXPECT_EQ(indexEntries().size(), 0);
    EXPECT_EQ(folderContents(PresetFileManager::getPresetFolder()), juce::StringArray());
}

TEST_F(PresetFolder, DataIDsNeverLeaveThePresetFolder)
{
    struct Case
    {
        const char* dataID;
        bool imported;
        const char* fileName;
    };
    const Case cases[] = {
        {"../../outside", false, ""},
        {"/etc/passwd", true, "_etc_passwd.isnvrpreset"},
        {"..", false, ""},
        {".hidden", false, ""},
        {"", false, ""},
        {"a/b\\c:d*e?f", true, "a_b_c_d_e_f.isnvrpreset"},
        {"Line\nbreak", true, "Line_break.isnvrpreset"},
        {"Name with spaces_and-dots.v2", true, "Name with spaces_and-dots.v2.isnvrpreset"},
    };
    for (const auto& c : cases)
    {
        const bool imported = manager().importPresetFile(writePreset(c.dataID, "Hostile"));
        EXPECT_EQ(imported, c.imported) << c.dataID;
        if (c.imported)
        {
            EXPECT_TRUE(PresetFileManager::getPresetFolder().getChildFile(c.fileName).existsAsFile()) << c.dataID;
            EXPECT_EQ(indexEntries()[indexEntries().size() - 1], juce::String(c.dataID) + " -> " + c.fileName);
        }
    }
    EXPECT_EQ(folderContents(config.get()), juce::StringArray("VEXO sonavire Sound Librarian"));
    EXPECT_FALSE(config.get().getChildFile("outside.isnvrpreset").exists());
}

TEST_F(PresetFolder, DataIDsThatMakeTheSameFileNameKeepTheirOwnFiles)
{
    ASSERT_TRUE(manager().importPresetFile(writePreset(juce::String::fromUTF8("日本"), "Japan")));
    ASSERT_TRUE(manager().importPresetFile(writePreset(juce::String::fromUTF8("中国"), "China")));
    ASSERT_TRUE(manager().importPresetFile(writePreset("__", "Underscores")));
    juce::StringArray expected;
    expected.add(juce::String::fromUTF8("日本 -> __.isnvrpreset"));
    expected.add(juce::String::fromUTF8("中国 -> ___2.isnvrpreset"));
    expected.add("__ -> ___3.isnvrpreset");
    EXPECT_EQ(indexEntries(), expected);
    x47390_data::PresetLibrary libraries;
    ASSERT_EQ(manager().reloadPresetLibraries(libraries), 0);
    ASSERT_EQ(libraries.getNumPresetData(), 3);
    EXPECT_EQ(libraries.getPresetData(0).programs[0].getName().trimEnd(), "Japan");
    EXPECT_EQ(libraries.getPresetData(1).programs[0].getName().trimEnd(), "China");
}

TEST_F(PresetFolder, HostileIndexFileTextsAreNeverUsedAsPaths)
{
    const auto outside = config.get().getChildFile("outside.isnvrpreset");
    writePreset("Outside", "Outside").copyFileTo(outside);

    auto index = std::make_unique<juce::XmlElement>("sonavire_PresetInformation");
    for (const char* name : {"../outside.isnvrpreset", "/etc/hosts", "", ".."})
    {
        auto* entry = index->createNewChildElement("Preset");
        entry->createNewChildElement("DataID")->addTextElement(juce::String("ID ") + name);
        entry->createNewChildElement("File")->addTextElement(name);
    }
    index->createNewChildElement("Preset")->createNewChildElement("DataID")->addTextElement("No file");
    ASSERT_TRUE(index->writeTo(PresetFileManager::getIndexFile()));
    restart();

    for (auto* entry : manager().getIndexRoot()->getChildIterator())
    {
        const auto file = manager().getInstalledFile(*entry);
        if (file != juce::File())
        {
            EXPECT_EQ(file.getParentDirectory(), PresetFileManager::getPresetFolder());
        }
    }
    EXPECT_EQ(manager().getInstalledFile(*manager().getIndexRoot()->getChildElement(1)).getFileName(), "_etc_hosts");
    EXPECT_EQ(manager().getInstalledFile(*manager().getIndexRoot()->getChildElement(0)), juce::File());
    EXPECT_EQ(manager().getInstalledFile(*manager().getIndexRoot()->getChildElement(4)), juce::File());

    x47390_data::PresetLibrary libraries;
    EXPECT_EQ(manager().reloadPresetLibraries(libraries), file::ReadError::failedToUncompressZipFile);
    EXPECT_EQ(libraries.getNumPresetData(), 0);

    // Re-importing a library whose entry names no usable file gives the entry a safe one.
    ASSERT_TRUE(manager().importPresetFile(writePreset("ID ../outside.isnvrpreset", "Repaired")));
    EXPECT_EQ(indexEntriesOnDisk()[0], "ID ../outside.isnvrpreset -> ID .._outside.isnvrpreset.isnvrpreset");
    EXPECT_EQ(firstProgramName(outside), "Outside");
    ASSERT_TRUE(manager().importPresetFile(writePreset("No file", "Has one now")));
    EXPECT_EQ(indexEntriesOnDisk()[4], "No file -> No file.isnvrpreset");
    EXPECT_EQ(indexEntries().size(), 5);
}

TEST_F(PresetFolder, ALongNameInTheIndexIsMadeSafeInLinearTime)
{
    // Made a character at a time into a juce::String this took minutes, well past a hang's deadline.
    const auto started = juce::Time::getMillisecondCounterHiRes();
    const auto safe = PresetFileManager::makeSafeFileName(juce::String::repeatedString("ab/", 300000));
    EXPECT_LT(juce::Time::getMillisecondCounterHiRes() - started, (double) testsupport::hangMs);
    EXPECT_EQ(safe, juce::String::repeatedString("ab_", 300000));
}

TEST_F(PresetFolder, ABrokenIndexIsKeptAsideAndANewOneStarted)
{
    PresetFileManager::getIndexFile().replaceWithText("<sonavire_PresetInformation><Preset>");
    restart();
    EXPECT_EQ(manager().getIndexRoot()->getNumChildElements(), 0);
    const auto kept = PresetFileManager::getPresetFolder().getChildFile("PresetFileInformation.xml.bak");
    EXPECT_EQ(kept.loadFileAsString(), "<sonavire_PresetInformation><Preset>");

    ASSERT_TRUE(manager().installFactoryPresetLibrary());
    EXPECT_EQ(indexEntriesOnDisk().size(), 1);
}

// At start the folder loses what saves that a crash cut short left behind, and a FIFO in place of the
// index holds nothing up: it is put aside like any index that cannot be read.
TEST_F(PresetFolder, StartRemovesStaleTemporariesAndPassesOverAFifoIndex)
{
    ASSERT_TRUE(manager().importPresetFile(writePreset("One", "One")));
    restart();
    const auto folder = PresetFileManager::getPresetFolder();
    const auto ended = juce::String(testsupport::endedProcessId());
    const juce::StringArray stale{".PresetFileInformation.xml." + ended + "-1f2e.tmp",
                                  ".One.isnvrpreset." + ended + "-0.tmp"};
    const juce::StringArray kept{".One.isnvrpreset.1-0.tmp", "notes.tmp"};
    for (const auto& name : stale)
        ASSERT_TRUE(folder.getChildFile(name).replaceWithText("partial"));
    for (const auto& name : kept)
        ASSERT_TRUE(folder.getChildFile(name).replaceWithText("keep"));

    manager();
    for (const auto& name : stale)
        EXPECT_FALSE(folder.getChildFile(name).exists()) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(folder.getChildFile(name).exists()) << name;
    EXPECT_EQ(indexEntries(), juce::StringArray{"One -> One.isnvrpreset"});

    restart();
    const auto index = PresetFileManager::getIndexFile();
    ASSERT_TRUE(index.deleteFile());
    ASSERT_TRUE(testsupport::makeFifo(index));
    {
        const testsupport::FifoRelease release(index);
        EXPECT_EQ(manager().getIndexRoot()->getNumChildElements(), 0);
        EXPECT_FALSE(release.wasNeeded());
    }
    EXPECT_TRUE(folder.getChildFile("PresetFileInformation.xml.bak").exists());
}

TEST_F(PresetFolder, AFailedIndexWriteIsAFailedImport)
{
    manager();
    ASSERT_TRUE(PresetFileManager::getIndexFile().createDirectory());
    EXPECT_FALSE(manager().importPresetFile(writePreset("Lost", "Lost")));
    EXPECT_EQ(indexEntries().size(), 0);
    EXPECT_FALSE(PresetFileManager::getPresetFolder().getChildFile("Lost.isnvrpreset").exists());
}

TEST_F(PresetFolder, ReloadStopsAtTheFirstLibraryThatCannotBeRead)
{
    ASSERT_TRUE(manager().importPresetFile(writePreset("One", "One")));
    ASSERT_TRUE(manager().importPresetFile(writePreset("Two", "Two")));
    ASSERT_TRUE(manager().importPresetFile(writePreset("Three", "Three")));
    ASSERT_TRUE(PresetFileManager::getPresetFolder().getChildFile("Two.isnvrpreset").deleteFile());

    x47390_data::PresetLibrary libraries;
    EXPECT_EQ(manager().reloadPresetLibraries(libraries), file::ReadError::failedToUncompressZipFile);
    ASSERT_EQ(libraries.getNumPresetData(), 1);
    EXPECT_EQ(libraries.getPresetData(0).information.dataID, "One");
}

TEST_F(PresetFolder, ReloadIntoTheDataCentreTellsTheObserversOnlyOnSuccess)
{
    struct Observer : data::PresetDataChangeBroadcasterObserver
    {
        void presetDataChanged() override { ++calls; }
        int calls = 0;
    } observer;
    auto* broadcaster = data::PresetDataChangeBroadcaster::getInstance();
    broadcaster->addListener(&observer);

    ASSERT_TRUE(manager().installFactoryPresetLibrary());
    ASSERT_TRUE(manager().importPresetFile(writePreset("Second", "Second")));
    auto& libraries = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    EXPECT_EQ(manager().reloadPresetLibraries(), 0);
    EXPECT_EQ(libraries.getNumPresetData(), 2);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return observer.calls == 1; }));

    ASSERT_TRUE(PresetFileManager::getPresetFolder().getChildFile("Second.isnvrpreset").deleteFile());
    EXPECT_EQ(manager().reloadPresetLibraries(), file::ReadError::failedToUncompressZipFile);
    EXPECT_EQ(libraries.getNumPresetData(), 1);
    testsupport::drainMessageLoop();
    EXPECT_EQ(observer.calls, 1);

    broadcaster->removeListener(&observer);
    libraries.clear();
}

TEST_F(PresetFolder, ManyLibrariesReloadInIndexOrderUpToTheFirstUnreadableOne)
{
    // More libraries than reading threads, each with texts of its own.
    juce::StringArray ids;
    for (int i = 0; i < 11; ++i)
    {
        auto preset = makePreset("Many" + juce::String(i), "Many" + juce::String(i));
        preset->programs[3].information.comment = "comment of " + juce::String(i);
        const auto file = sources.file("many" + juce::String(i) + ".snvrpreset");
        ASSERT_EQ(x47390_file::PresetFileWriter(preset.get()).write(file), 0);
        ASSERT_TRUE(manager().importPresetFile(file));
        ids.add("Many" + juce::String(i));
    }

    x47390_data::PresetLibrary libraries;
    ASSERT_EQ(manager().reloadPresetLibraries(libraries), 0);
    ASSERT_EQ(libraries.getNumPresetData(), 11);
    for (int i = 0; i < 11; ++i)
    {
        const auto& preset = libraries.getPresetData(i);
        EXPECT_EQ(preset.information.dataID, ids[i]);
        EXPECT_EQ(preset.programs[0].getName().trim(), ids[i]);
        EXPECT_EQ(preset.programs[3].information.comment, "comment of " + juce::String(i));
        EXPECT_EQ(preset.programs[4].information.comment, "");
        EXPECT_EQ(preset.programs[0].md5, x47390_data::md5Text(preset.programs[0].binary.data(), 336));
    }

    ASSERT_TRUE(PresetFileManager::getPresetFolder().getChildFile("Many7.isnvrpreset").replaceWithText("broken"));
    EXPECT_EQ(manager().reloadPresetLibraries(libraries), file::ReadError::failedToUncompressZipFile);
    EXPECT_EQ(libraries.getNumPresetData(), 7);
}
