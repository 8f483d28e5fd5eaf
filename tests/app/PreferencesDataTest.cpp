#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "tests/support/UnusualFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>

#include <sys/resource.h>

using x47390_preferences::PreferencesData;

namespace
{
// Each test gets its own config home and a store made fresh from it.
class PreferencesDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        deleteStore();
        setenv("XDG_CONFIG_HOME", configHome().getFullPathName().toRawUTF8(), 1);
    }

    void TearDown() override { deleteStore(); }

    static void deleteStore() { delete PreferencesData::getInstanceWithoutCreating(); }

    // Deletes the store (which saves it) and makes it again from the file.
    static PreferencesData& reload()
    {
        deleteStore();
        return *PreferencesData::getInstance();
    }

    juce::File configHome() const { return temp.file("config"); }
    juce::File folder() const { return configHome().getChildFile("VEXO sonavire Sound Librarian"); }
    juce::File file() const { return folder().getChildFile("PreferencesData.xml"); }

    void writeFile(const std::string& bytes) const
    {
        ASSERT_TRUE(folder().createDirectory());
        ASSERT_TRUE(file().replaceWithData(bytes.data(), bytes.size()));
    }

    testsupport::TemporaryFolder temp;
};
} // namespace

TEST_F(PreferencesDataTest, FirstUseCreatesTheFolderAndStartsEmpty)
{
    ASSERT_FALSE(configHome().exists());

    auto& store = *PreferencesData::getInstance();

    EXPECT_TRUE(folder().isDirectory());
    EXPECT_EQ(PreferencesData::getPreferencesFolder(), folder());
    EXPECT_EQ(PreferencesData::getPreferencesFile(), file());
    EXPECT_EQ(store.getRoot().getTagName(), "PreferencesData");
    EXPECT_EQ(store.getRoot().getNumChildElements(), 0);
    EXPECT_EQ(store.getValue("MidiInPort", "fallback"), "fallback");
    EXPECT_EQ(store.getIntValue("ProgramListHeight", 25), 25);
    EXPECT_TRUE(store.getBoolValue("AutoReceive", true));
    EXPECT_FALSE(store.getBoolValue("AutoReceive", false));
}

TEST_F(PreferencesDataTest, FolderIsMadeAgainWhenRemovedMeanwhile)
{
    PreferencesData::getInstance();
    ASSERT_TRUE(configHome().deleteRecursively());

    EXPECT_TRUE(PreferencesData::getPreferencesFolder().isDirectory());
}

TEST_F(PreferencesDataTest, UnsetConfigHomeFallsBackToDotConfigInHome)
{
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", temp.file("home").getFullPathName().toRawUTF8(), 1);

    EXPECT_EQ(PreferencesData::getPreferencesFolder(), temp.file("home/.config/VEXO sonavire Sound Librarian"));
    EXPECT_TRUE(temp.file("home/.config/VEXO sonavire Sound Librarian").isDirectory());
}

TEST_F(PreferencesDataTest, RoundTripKeepsValuesOrderAndTextForm)
{
    auto& store = *PreferencesData::getInstance();
    store.setDefaultBoolValue("MidiPortAutoScan", true);
    store.setDefaultValue("MidiInPort", "");
    store.setIntValue("ProgramListHeight", 25);
    store.setValue("MidiOutPort", "Device <1> & \"A\"");
    store.setBoolValue("ShowPresetWindow", false);
    store.setIntValue("MainWindowPositionX", -12);
    store.setBoolValue("MidiPortAutoScan", false); // present: keeps its place

    auto& reloaded = reload();

    const auto text = file().loadFileAsString();
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n")) << text;
    EXPECT_TRUE(text.contains("\r\n  <MidiPortAutoScan Value=\"0\"/>\r\n")) << text;

    juce::StringArray order;
    for (auto* child : reloaded.getRoot().getChildIterator())
        order.add(child->getTagName());
    EXPECT_EQ(order.joinIntoString(","),
              "MidiPortAutoScan,MidiInPort,ProgramListHeight,MidiOutPort,ShowPresetWindow,MainWindowPositionX");

    EXPECT_FALSE(reloaded.getBoolValue("MidiPortAutoScan", true));
    EXPECT_EQ(reloaded.getValue("MidiInPort", "x"), "");
    EXPECT_EQ(reloaded.getIntValue("ProgramListHeight", 0), 25);
    EXPECT_EQ(reloaded.getValue("MidiOutPort", ""), "Device <1> & \"A\"");
    EXPECT_FALSE(reloaded.getBoolValue("ShowPresetWindow", true));
    EXPECT_EQ(reloaded.getIntValue("MainWindowPositionX", 0), -12);
}

TEST_F(PreferencesDataTest, KeysMatchIgnoringCaseAndKeepTheirWrittenTag)
{
    writeFile("<?xml version=\"1.0\"?>\n<Settings><midiinport Value=\"In A\"/><MIDIINPORT Value=\"second\"/>"
              "<MidiOutPort/></Settings>");
    auto& store = *PreferencesData::getInstance();

    EXPECT_EQ(store.getRoot().getTagName(), "Settings"); // any root name is accepted
    EXPECT_EQ(store.getValue("MidiInPort", ""), "In A"); // the first match counts

    store.setValue("MIDIInPort", "In B");
    EXPECT_EQ(store.getRoot().getChildElement(0)->getTagName(), "midiinport");
    EXPECT_EQ(store.getValue("midiINport", ""), "In B");
    EXPECT_EQ(store.getRoot().getNumChildElements(), 3);

    // An entry without a value gives the caller's default and counts as present for defaults.
    EXPECT_EQ(store.getValue("MidiOutPort", "none"), "none");
    EXPECT_EQ(store.getIntValue("MidiOutPort", 7), 7);
    store.setDefaultValue("midioutport", "Out");
    EXPECT_EQ(store.getValue("MidiOutPort", "none"), "none");
    EXPECT_EQ(store.getRoot().getNumChildElements(), 3);
}

TEST_F(PreferencesDataTest, DamagedFilesLoadEmptyAndAreReplacedOnSave)
{
    const std::string damaged[] = {"", "this is not xml", "<PreferencesData><AutoReceive Value=\"1\"",
                                   std::string("\x00\x01\x02\x03", 4), std::string("<A>\0</A>", 8)};

    for (const auto& text : damaged)
    {
        SCOPED_TRACE(juce::String(text.size()));
        deleteStore();
        writeFile(text);

        auto& store = *PreferencesData::getInstance();
        EXPECT_EQ(store.getRoot().getTagName(), "PreferencesData");
        EXPECT_EQ(store.getRoot().getNumChildElements(), 0);

        store.setDefaultBoolValue("AutoReceive", true);
        EXPECT_TRUE(reload().getBoolValue("AutoReceive", false));
    }
}

TEST_F(PreferencesDataTest, TypedReadingOfStoredTexts)
{
    struct Case
    {
        const char* text;
        bool asBool;
        int asInt;
    };
    const Case cases[] = {
        {"1", true, 1},
        {"0", false, 0},
        {"true", true, 0},
        {"Yes", true, 0},
        {" \t\n1", true, 1},
        {"on", false, 0},
        {"2", false, 2},
        {"", false, 0},
        {"  -37px", false, -37},
        {"+8", false, 8},
        {"abc", false, 0},
        {"12ab3", true, 12},
        {"99999999999", false, INT_MAX},
        {"-99999999999", false, INT_MIN},
    };

    auto& store = *PreferencesData::getInstance();
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        store.setValue("Key", c.text);
        EXPECT_EQ(store.getBoolValue("Key", !c.asBool), c.asBool);
        EXPECT_EQ(store.getIntValue("Key", 12345), c.asInt);
    }
}

TEST_F(PreferencesDataTest, SaveWritesThroughATemporaryFileAndLeavesNoneBehind)
{
    writeFile("<PreferencesData><Old Value=\"1\"/></PreferencesData>");
    auto& store = *PreferencesData::getInstance();
    store.setValue("New", "2");
    store.save();

    EXPECT_EQ(folder().getNumberOfChildFiles(juce::File::findFilesAndDirectories), 1);
    auto reread = juce::parseXML(file());
    ASSERT_NE(reread, nullptr);
    EXPECT_NE(reread->getChildByName("New"), nullptr);
}

TEST_F(PreferencesDataTest, FailedSaveKeepsThePreviousFile)
{
    const std::string previous = "<PreferencesData><Old Value=\"1\"/></PreferencesData>";
    writeFile(previous);
    auto& store = *PreferencesData::getInstance();
    store.setValue("New", juce::String::repeatedString("x", 4000));

    // A disk that fills up while writing: files may not grow beyond 64 bytes during the save.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    store.save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(file().loadFileAsString(), juce::String(previous));
    EXPECT_EQ(folder().getNumberOfChildFiles(juce::File::findFilesAndDirectories), 1);
}

TEST(PreferencesDataChangeBroadcaster, TriggersCoalesceIntoOneCallPerObserver)
{
    struct Observer : application::PreferencesDataChangeBroadcasterObserver
    {
        int calls = 0;
        void preferencesDataChanged() override { ++calls; }
    };

    auto* broadcaster = application::PreferencesDataChangeBroadcaster::getInstance();
    Observer first, second;
    broadcaster->addListener(&first);
    broadcaster->addListener(&second);

    broadcaster->triggerAsyncUpdate();
    broadcaster->changeListenerCallback(nullptr);
    testsupport::drainMessageLoop();

    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);

    broadcaster->removeListener(&first);
    broadcaster->triggerAsyncUpdate();
    testsupport::drainMessageLoop();
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 2);
    broadcaster->removeListener(&second);
}

// At start the folder loses what saves that a crash cut short left behind (of this version's naming and of
// the earlier one's); a save replaces the file and makes the rename lasting by flushing the folder.
TEST_F(PreferencesDataTest, StartRemovesStaleTemporariesAndASaveFlushesTheFolder)
{
    writeFile("<PreferencesData><Kept Value=\"1\"/></PreferencesData>");
    const auto ended = juce::String(testsupport::endedProcessId());
    const juce::StringArray stale{".PreferencesData.xml." + ended + "-9a.tmp", "PreferencesData_temp1a2b3c4d.xml",
                                  "PreferencesData_tempff2.xml"};
    const juce::StringArray kept{".PreferencesData.xml.1-9a.tmp", "PreferencesData_tempNotHex.xml",
                                 "PreferencesData_temp.xml", "Other_temp1a.xml"};
    for (const auto& name : stale)
        ASSERT_TRUE(folder().getChildFile(name).replaceWithText("partial"));
    for (const auto& name : kept)
        ASSERT_TRUE(folder().getChildFile(name).replaceWithText("keep"));

    auto& store = reload();
    for (const auto& name : stale)
        EXPECT_FALSE(folder().getChildFile(name).exists()) << name;
    for (const auto& name : kept)
        EXPECT_TRUE(folder().getChildFile(name).exists()) << name;
    EXPECT_EQ(store.getIntValue("Kept", 0), 1);

    store.setValue("Saved", "2");
    const testsupport::FsyncRecorder flushes;
    store.save();
    ASSERT_FALSE(flushes.paths().empty());
    EXPECT_EQ(flushes.paths().back(), folder().getFullPathName().toStdString());
    EXPECT_TRUE(file().loadFileAsString().contains("Saved"));
}
