// The start-up routine: defaults, debug markers, text styles, the program-list font rule, the factory
// presets, the Japanese words, the undo limits and the automatic receive.
#include "app/ApplicationCommandIds.h"
#include "app/ApplicationStartup.h"
#include "app/ApplicationStartupProcess.h"
#include "app/CurrentLanguageModel.h"
#include "app/DebugModeModel.h"
#include "app/PreferencesData.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/ProgramEditActions.h"
#include "files/PresetFileManager.h"
#include "midi/MidiDeviceManager.h"
#include "tests/support/TestSupport.h"
#include "ui/FontLibrary.h"

#include <gtest/gtest.h>

#include <cstdlib>

using x47390_preferences::PreferencesData;

TEST(ProgramListFontRule, IsSixTenthsOfTheRowHeightTruncated)
{
    const std::pair<int, int> cases[] = {{20, 12}, {21, 12}, {25, 15}, {30, 18}, {35, 21}, {40, 24}};
    for (const auto& [rowHeight, fontHeight] : cases)
        EXPECT_EQ(x47390_application::getProgramListFontHeight(rowHeight), fontHeight) << rowHeight;
}

namespace
{
// A fresh preferences folder and fresh stores for each start-up.
class StartupRoutine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", configHome().getFullPathName().toRawUTF8(), 1);
        resetStores();
        x47390_application::CurrentLanguageModel::getInstance()->language = 0;
    }

    void TearDown() override
    {
        juce::LocalisedStrings::setCurrentMappings(nullptr);
        x47390_application::CurrentLanguageModel::getInstance()->language = 0;
        resetStores();
    }

    static void resetStores()
    {
        delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
        delete PreferencesData::getInstanceWithoutCreating();
        delete ui::FontLibrary::getInstanceWithoutCreating();
    }

    // Runs the routine and returns what it printed.
    static std::string start()
    {
        ::testing::internal::CaptureStdout();
        initializeApplicationState();
        return ::testing::internal::GetCapturedStdout();
    }

    juce::File configHome() const { return temp.file("config"); }
    juce::File folder() const { return configHome().getChildFile("VEXO sonavire Sound Librarian"); }

    testsupport::TemporaryFolder temp;
};

juce::StringArray keysOf(const juce::XmlElement& root)
{
    juce::StringArray keys;
    for (const auto* child : root.getChildIterator())
        keys.add(child->getTagName() + "=" + child->getStringAttribute("Value"));
    return keys;
}
} // namespace

TEST_F(StartupRoutine, FirstStartWritesTheDefaultsInOrderAndPrintsNothing)
{
    EXPECT_EQ(start(), "");
    EXPECT_EQ(keysOf(PreferencesData::getInstance()->getRoot()),
              (juce::StringArray{"MidiPortAutoScan=1", "AutoReceive=1", "WarnBeforeWriting=1", "MidiInPort=",
                                 "MidiOutPort=", "LastSavedFolder=", "ShowPresetWindow=0", "ProgramListHeight=25"}));
    EXPECT_EQ(midi::MidiDeviceManager::getInstance()->familyCode, 0x0135);
}

TEST_F(StartupRoutine, DefaultsNeverOverwriteAndPortsFollowTheManualSetting)
{
    ASSERT_TRUE(folder().createDirectory());
    ASSERT_TRUE(folder().getChildFile("PreferencesData.xml")
                    .replaceWithText("<?xml version=\"1.0\"?><PreferencesData><showpresetwindow Value=\"yes\"/>"
                                     "<MidiPortAutoScan Value=\"0\"/><MidiInPort Value=\"In - Port 1\"/>"
                                     "<MidiOutPort Value=\"Out - Port 1\"/></PreferencesData>"));
    start();

    const auto& root = PreferencesData::getInstance()->getRoot();
    EXPECT_EQ(root.getNumChildElements(), 8);
    EXPECT_EQ(root.getChildElement(0)->getTagName(), "showpresetwindow"); // kept as written, not doubled
    EXPECT_TRUE(PreferencesData::getInstance()->getBoolValue("ShowPresetWindow", false));
    auto* devices = midi::MidiDeviceManager::getInstance();
    EXPECT_FALSE(devices->isAutoScan);
    EXPECT_EQ(devices->midiInPortName, "In - Port 1");
    EXPECT_EQ(devices->midiOutPortName, "Out - Port 1");
    devices->isAutoScan = true;
}

TEST_F(StartupRoutine, MarkerFilesSwitchOnTheDebugFeatures)
{
    for (const bool present : {true, false})
    {
        ASSERT_TRUE(folder().createDirectory());
        for (const auto* name : {x47390_application::developerModeMarkerFile, x47390_application::debugModeMarkerFile})
            ASSERT_TRUE(present ? folder().getChildFile(name).create().wasOk() : folder().getChildFile(name).deleteFile());
        start();
        const auto* debug = x47390_application::DebugModeModel::getInstance();
        EXPECT_EQ(debug->isDeveloperMode, present);
        EXPECT_EQ(debug->isDebugMode, present);
        resetStores();
    }
}

TEST_F(StartupRoutine, TextStylesAreRegisteredOnceWithTheListFontsFollowingTheRowHeight)
{
    start();
    auto* fonts = ui::FontLibrary::getInstance();
    EXPECT_EQ(fonts->fonts.size(), 33u);
    EXPECT_FLOAT_EQ(fonts->getFont("TabBarButton").getHeight(), 12.0f); // the second registration is dropped
    EXPECT_FLOAT_EQ(fonts->getFont("ProgramListName").getHeight(), 15.0f);
    EXPECT_FLOAT_EQ(fonts->getFont("PresetListItemProgram").getHeight(), 15.0f);
    EXPECT_FLOAT_EQ(fonts->getFont("FavoriteDisplayNumber").getHeight(), 18.0f); // not a list style
    EXPECT_FLOAT_EQ(fonts->getFont("HeaderProgDisplay").getHeight(), 20.0f);
    EXPECT_EQ(fonts->getFont("AlertWindow").getTypefaceName(), "Arial Unicode MS");
}

TEST_F(StartupRoutine, StoredRowHeightOutsideTheDialogsRangeIsBroughtIntoIt)
{
    struct Case
    {
        const char* stored;
        int rowHeight;
        float fontHeight;
    };
    const Case cases[] = {{"21", 21, 12.0f}, {"5", 20, 12.0f}, {"400", 40, 24.0f}, {"-3", 20, 12.0f}, {"abc", 20, 12.0f}};
    for (const auto& entry : cases)
    {
        ASSERT_TRUE(folder().createDirectory());
        ASSERT_TRUE(folder().getChildFile("PreferencesData.xml")
                        .replaceWithText(juce::String("<PreferencesData><ProgramListHeight Value=\"") + entry.stored
                                         + "\"/></PreferencesData>"));
        start();
        EXPECT_EQ(PreferencesData::getInstance()->getIntValue("ProgramListHeight", 0), entry.rowHeight) << entry.stored;
        EXPECT_FLOAT_EQ(ui::FontLibrary::getInstance()->getFont("ProgramListNumber").getHeight(), entry.fontHeight)
            << entry.stored;
        resetStores();
    }
}

TEST_F(StartupRoutine, FactoryPresetsAreInstalledOnlyIntoAnEmptyIndexWithoutTemporaryLeftovers)
{
    const auto temporary = temp.file("tmp");
    ASSERT_TRUE(temporary.createDirectory());
    const auto previousTemporary = juce::SystemStats::getEnvironmentVariable("TMPDIR", {});
    setenv("TMPDIR", temporary.getFullPathName().toRawUTF8(), 1);

    start();
    const auto presets = folder().getChildFile("Preset Data");
    EXPECT_EQ(presets.getNumberOfChildFiles(juce::File::findFiles, "*.isnvrpreset"), 1);
    EXPECT_EQ(x47390_data::DataCenter::getInstance()->getPresetLibrary().getNumPresetData(), 1);
    EXPECT_EQ(temporary.getNumberOfChildFiles(juce::File::findFilesAndDirectories), 0);

    // An index that lists a library, even one whose file is gone, is not filled again.
    presets.getChildFile("SNVR-FACTORY-0001.isnvrpreset").deleteFile();
    for (auto& file : presets.findChildFiles(juce::File::findFiles, false, "*.isnvrpreset"))
        file.deleteFile();
    resetStores();
    start();
    EXPECT_EQ(presets.getNumberOfChildFiles(juce::File::findFiles, "*.isnvrpreset"), 0);

    if (previousTemporary.isEmpty())
        unsetenv("TMPDIR");
    else
        setenv("TMPDIR", previousTemporary.toRawUTF8(), 1);
}

TEST_F(StartupRoutine, JapaneseUsersGetTheToolkitsWordsInJapanese)
{
    start();
    EXPECT_EQ(TRANS("Cancel"), "Cancel");
    x47390_application::CurrentLanguageModel::getInstance()->language = 1;
    resetStores();
    start();
    EXPECT_EQ(TRANS("Cancel"), juce::String::fromUTF8("キャンセル"));
    EXPECT_EQ(TRANS("Select All"), juce::String::fromUTF8("すべてを選択"));
    EXPECT_EQ(TRANS("OK"), "OK");
}

TEST_F(StartupRoutine, UndoKeepsFarMoreThanTheToolkitsDefault)
{
    start();
    auto* undo = application::ApplicationUndoManager::getInstance();
    undo->clearUndoHistory();
    // 100 program loads of 772 units each: beyond 30,000 units, within 2,000,000.
    for (int i = 0; i < 100; ++i)
    {
        undo->beginNewTransaction("LoadProgram");
        undo->perform(new x47390_action::SetProgramDataAction(i, x47390_data::ProgramData()));
    }
    int steps = 0;
    while (undo->undo())
        ++steps;
    EXPECT_EQ(steps, 100);
    undo->clearUndoHistory();
}

namespace
{
class StartupProcess : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", temp.file("config").getFullPathName().toRawUTF8(), 1);
        delete PreferencesData::getInstanceWithoutCreating();
    }
    void TearDown() override { delete PreferencesData::getInstanceWithoutCreating(); }

    testsupport::TemporaryFolder temp;
    juce::Array<int> invoked;
    x47390_application::ApplicationStartupProcess process{[this](int id) { invoked.add(id); }};
};
} // namespace

TEST_F(StartupProcess, TheFirstSearchEndReceivesLibraryThenUserDataOnce)
{
    auto* devices = midi::MidiDeviceManager::getInstance();
    devices->scanFinished(); // the end of a search reaches every listener
    devices->scanFinished();
    testsupport::drainMessageLoop();
    EXPECT_EQ(invoked, (juce::Array<int>{x47390_menu::cmdReceiveLibrary, x47390_menu::cmdReceiveUserData}));
    EXPECT_TRUE(process.startupDone);

    devices->scanFinished(); // a later search never receives again
    testsupport::drainMessageLoop();
    EXPECT_EQ(invoked.size(), 2);
}

TEST_F(StartupProcess, NothingIsReceivedAfterACommandLineFileOrWithAutoReceiveOff)
{
    const int listeners = midi::MidiDeviceManager::getInstance()->getNumListeners();
    for (const bool fromCommandLine : {true, false})
    {
        x47390_application::ApplicationStartupProcess other([this](int id) { invoked.add(id); });
        EXPECT_EQ(midi::MidiDeviceManager::getInstance()->getNumListeners(), listeners + 1);
        other.openedFromCommandLine = fromCommandLine;
        PreferencesData::getInstance()->setBoolValue("AutoReceive", fromCommandLine);
        other.triggerAsyncUpdate();
        testsupport::drainMessageLoop();
        EXPECT_TRUE(other.startupDone);
    }
    EXPECT_EQ(midi::MidiDeviceManager::getInstance()->getNumListeners(), listeners);
    EXPECT_TRUE(invoked.isEmpty());
}
