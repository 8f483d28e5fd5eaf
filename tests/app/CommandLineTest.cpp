// Command lines: splitting, the file a line names, and what opening it does to the library and to the
// automatic receive.
#include "app/ApplicationStartupProcess.h"
#include "app/CJQZResource.h"
#include "app/CommandLineProcessor.h"
#include "app/PreferencesData.h"
#include "data/DataCenter.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "files/PresetFileManager.h"
#include "platform/system/FileNameBytes.h"
#include "tests/app/ShellTestSupport.h"
#include "tests/support/UnusualFiles.h"
#include "tests/support/TestSupport.h"
#include "ui/AlertDialogComponent.h"
#include "ui/LibraryFileDrop.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

using x47390_application::CommandLineProcessor;

TEST(CommandLineSplitting, BlanksSeparateAndQuotedStretchesAreOneArgument)
{
    struct Case
    {
        const char* line;
        juce::StringArray arguments;
    };
    const Case cases[] = {
        {"", {}},
        {"a.snvrlib", {"a.snvrlib"}},
        {"a b", {"a", "b"}},
        {"a  b", {"a", "", "b"}},                                  // two blanks: an empty argument
        {"a ", {"a"}},                                             // a trailing blank adds nothing
        {"\"/My Sounds/x.snvrlib\"", {"/My Sounds/x.snvrlib"}},   // quotes keep the blanks
        {"/My Sounds/x.snvrlib", {"/My", "Sounds/x.snvrlib"}},    // unquoted: two arguments
        {"pre\"fix part\" next", {"prefix part", "", "next"}},    // the quote ends the argument
        {"\"\" x", {"", "", "x"}},                                 // an empty quoted argument is kept
        {"\"unclosed stretch", {"unclosed stretch"}},              // runs to the end
        {"tab\there", {"tab\there"}},                              // only the blank separates
        {"-NS YES \"a b.snvrprog\"", {"-NS", "YES", "a b.snvrprog"}},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(CommandLineProcessor::splitCommandLine(entry.line), entry.arguments) << entry.line;
}

TEST(CommandLineSplitting, ExtensionIsTheTextFromTheLastDotOfTheName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b.snvrlib", ".snvrlib"},   {"b.SNVRLIB", ".SNVRLIB"}, {"/a.dir/file", ""},
        {"/a/b.tar.snvrprog", ".snvrprog"}, {"noextension", ""},   {"/a/.snvrlib", ".snvrlib"},
    };
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(CommandLineProcessor::getExtension(path), extension) << path;
}

TEST(CommandLineSplitting, HandedOverLinesNameFilesAbsolutelyAndSurviveSplitting)
{
    const juce::File folder("/home/someone/My Sounds");
    const juce::StringArray arguments{"Lib One.snvrlib", "-NS", "/abs/p.snvrprog", "-psn_0"};
    const auto line = CommandLineProcessor::makeCommandLine(arguments, folder);
    EXPECT_EQ(line, "\"/home/someone/My Sounds/Lib One.snvrlib\" -NS /abs/p.snvrprog -psn_0");
    EXPECT_EQ(CommandLineProcessor::splitCommandLine(line),
              (juce::StringArray{"/home/someone/My Sounds/Lib One.snvrlib", "", "-NS", "/abs/p.snvrprog", "-psn_0"}));
}

// Whatever a file name holds, the line made of it splits into that very name again.
TEST(CommandLineSplitting, EveryArgumentComesBackWholeFromTheLineMadeOfIt)
{
    const juce::File folder("/home/someone");
    const char* const names[] = {
        "/a/My \"Best\" Sounds.snvrlib",
        "/a/quote\"only.snvrlib",
        "/a/\"\"doubled\"\".snvrlib",
        "/a/ends with a quote\"",
        "/\"in front\" of a name",
        "/a/  two blanks  .snvrlib",
        "/a/tab\tand'single'.snvrprog",
        "/a/back\\slash \\\".snvrpreset",
    };
    for (const auto* name : names)
    {
        const juce::StringArray arguments{"-NS", juce::String::fromUTF8(name), "/other.snvrlib"};
        auto split = CommandLineProcessor::splitCommandLine(CommandLineProcessor::makeCommandLine(arguments, folder));
        split.removeEmptyStrings();
        EXPECT_EQ(split.joinIntoString("|"), arguments.joinIntoString("|")) << name;
    }
    // A name that is not UTF-8 keeps its bytes.
    const auto strange = platform::fileNameFromBytes("/a/caf\xe9 \"\xff\".snvrlib");
    EXPECT_EQ(CommandLineProcessor::splitCommandLine(CommandLineProcessor::makeCommandLine({strange}, folder)),
              juce::StringArray{strange});
}

namespace
{
// A library, a program file and a preset file in a fresh preferences folder, with the alerts a
// command line raises recorded instead of shown.
class CommandLineProcessing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", temp.file("config").getFullPathName().toRawUTF8(), 1);
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
        auto& library = x47390_data::DataCenter::getInstance()->getLibraryData();
        library.initialise();
        application::DataEditStatus::getInstance()->setEdited(false);
        application::LastSavedFileStatus::getInstance()->setFile({});
        ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
        ui::SelectedProgramStatus::getInstance()->setSelection({0});

        ui::setModalDialogScript(
            [this](juce::Component& content, const juce::String& title)
            {
                if (auto* alert = dynamic_cast<AlertDialogComponent*>(&content))
                    alerts.add(title + ": " + alert->getMessageDisplay().getText());
                return 0;
            });

        files = std::make_unique<testsupport::CommandLineFiles>(temp.get());
    }

    void TearDown() override
    {
        ui::setModalDialogScript({});
        ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
        delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
    }

    juce::File libraryFile() const { return files->library; }
    juce::File programFile() const { return files->program; }
    juce::File presetFile() const { return files->preset; }

    static juce::String programName(int index)
    {
        return x47390_data::DataCenter::getInstance()->getLibraryData().getProgramData(index).getName().trim();
    }

    static juce::String quoted(const juce::File& file) { return file.getFullPathName().quoted('"'); }

    static juce::String text(const char* key) { return CJQZResource::getInstance()->getString(key); }

    testsupport::TemporaryFolder temp;
    std::unique_ptr<testsupport::CommandLineFiles> files;
    x47390_application::ApplicationStartupProcess startup{[](int) {}};
    juce::StringArray alerts;
};
} // namespace

TEST_F(CommandLineProcessing, OpensTheFirstLibraryAndMarksTheStartup)
{
    const auto other = temp.file("other.snvrlib");
    ASSERT_TRUE(libraryFile().copyFileTo(other));
    CommandLineProcessor(startup).process("-NS " + quoted(other) + " " + quoted(libraryFile()) + " " + quoted(other));

    // The value after "-NS" is skipped even though it names a library; the next library is opened.
    EXPECT_EQ(programName(0), "FromFile");
    EXPECT_EQ(application::LastSavedFileStatus::getInstance()->getFile(), libraryFile());
    EXPECT_TRUE(startup.openedFromCommandLine);
    EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(CommandLineProcessing, ExtensionsMatchIgnoringCaseAndUnknownArgumentsArePassedOver)
{
    const auto upper = temp.file("LOUD.SNVRLIB");
    ASSERT_TRUE(libraryFile().copyFileTo(upper));
    CommandLineProcessor(startup).process("-psn_0_1 notes.txt  " + quoted(upper));
    EXPECT_EQ(programName(0), "FromFile");
    EXPECT_EQ(application::LastSavedFileStatus::getInstance()->getFile(), upper);
}

TEST_F(CommandLineProcessing, ProgramGoesIntoTheFirstSelectedProgram)
{
    ui::SelectedProgramStatus::getInstance()->setSelection({7, 9});
    CommandLineProcessor(startup).process(quoted(programFile()) + " " + quoted(libraryFile()));

    EXPECT_EQ(programName(7), "Loaded");
    EXPECT_NE(programName(9), "Loaded");
    EXPECT_NE(programName(0), "FromFile"); // the library after the program is ignored
    EXPECT_TRUE(startup.openedFromCommandLine);
}

TEST_F(CommandLineProcessing, ProgramWithoutSelectionStillMarksTheStartup)
{
    ui::SelectedProgramStatus::getInstance()->setSelection({});
    CommandLineProcessor(startup).process(quoted(programFile()));
    EXPECT_TRUE(startup.openedFromCommandLine);
    EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(CommandLineProcessing, PresetIsImportedWithoutMarkingTheStartup)
{
    CommandLineProcessor(startup).process(quoted(presetFile()));
    EXPECT_FALSE(startup.openedFromCommandLine);
    const auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    ASSERT_EQ(presets.getNumPresetData(), 1);
    EXPECT_EQ(presets.getPresetData(0).information.dataID, "COMMAND-LINE-TEST");
}

TEST_F(CommandLineProcessing, MissingOrBrokenFilesShowTheirReadErrorUnderTheCommonTitle)
{
    const auto broken = temp.file("broken.snvrlib");
    ASSERT_TRUE(broken.replaceWithText("not a zip archive"));
    CommandLineProcessor(startup).process(quoted(temp.file("gone.snvrlib")));
    CommandLineProcessor(startup).process(quoted(broken));
    CommandLineProcessor(startup).process(quoted(temp.file("gone.snvrpreset")));

    const auto title = text("CommonErrorDialogTitle");
    EXPECT_EQ(alerts, (juce::StringArray{title + ": " + text("ReadErrorOpenFile"),
                                         title + ": " + text("ReadErrorFailedToUncompressZipFile"),
                                         title + ": " + text("ReadErrorOpenFile")}));
    EXPECT_FALSE(application::LastSavedFileStatus::getInstance()->getFile().exists());
    EXPECT_TRUE(startup.openedFromCommandLine);
}

// A FIFO named like a file of the program is no file: the open error, at once, on the command line and
// when dropped (the menu's choosers lead to the same operations as a drop).
TEST_F(CommandLineProcessing, AFifoNamedLikeAFileGetsTheOpenErrorWithoutWaiting)
{
    const auto title = text("CommonErrorDialogTitle");
    const auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    const int presetsBefore = presets.getNumPresetData();
    for (const char* extension : {".snvrlib", ".snvrprog", ".snvrpreset"})
    {
        const auto fifo = temp.file(juce::String("pipe") + extension);
        ASSERT_TRUE(testsupport::makeFifo(fifo));
        for (const bool dropped : {false, true})
        {
            alerts.clear();
            const testsupport::FifoRelease release(fifo);
            if (dropped)
                ui::handleLibraryFileDrop({fifo.getFullPathName()});
            else
                CommandLineProcessor(startup).process(quoted(fifo));
            EXPECT_FALSE(release.wasNeeded()) << extension << (dropped ? " dropped" : "");
            EXPECT_EQ(alerts, juce::StringArray{title + ": " + text("ReadErrorOpenFile")}) << extension;
        }
    }
    EXPECT_NE(programName(0), "FromFile");
    EXPECT_EQ(presets.getNumPresetData(), presetsBefore);
}

// Names with blanks and quotes, and names that are not UTF-8, open from the line their arguments make.
TEST_F(CommandLineProcessing, NamesThatSplittingOrUtf8WouldBreakAreOpened)
{
    const char* const names[] = {"My \"Best\" Sounds.snvrlib", "caf\xe9 \"\xff\".snvrlib"};
    for (const auto* name : names)
    {
        x47390_data::DataCenter::getInstance()->getLibraryData().initialise();
        const auto path = temp.get().getFullPathName().toStdString() + "/" + name;
        ASSERT_EQ(::rename(libraryFile().getFullPathName().toRawUTF8(), path.c_str()), 0) << name;
        const auto argument = platform::fileNameFromBytes(path.c_str());
        CommandLineProcessor(startup).process(CommandLineProcessor::makeCommandLine({argument}, temp.get()));
        EXPECT_EQ(programName(0), "FromFile") << name;
        EXPECT_EQ(application::LastSavedFileStatus::getInstance()->getFile().getFullPathName(), argument);
        EXPECT_TRUE(alerts.isEmpty()) << alerts.joinIntoString("\n");
        ASSERT_EQ(::rename(path.c_str(), libraryFile().getFullPathName().toRawUTF8()), 0);
    }
}

TEST_F(CommandLineProcessing, NothingIsOpenedWhileAModalDialogIsOpen)
{
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    CommandLineProcessor(startup).process(quoted(libraryFile()));
    EXPECT_NE(programName(0), "FromFile");
    EXPECT_FALSE(startup.openedFromCommandLine);
}

TEST_F(CommandLineProcessing, CancelledDiscardQuestionOpensNothingButStillMarks)
{
    application::DataEditStatus::getInstance()->setEdited(true);
    CommandLineProcessor(startup).process(quoted(libraryFile())); // the script answers Cancel
    EXPECT_NE(programName(0), "FromFile");
    EXPECT_TRUE(startup.openedFromCommandLine);
}
