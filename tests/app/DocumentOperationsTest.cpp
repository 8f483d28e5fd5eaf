#include "app/ApplicationCommandIds.h"
#include "app/CJQZResource.h"
#include "app/DocumentOperations.h"
#include "app/FileCommands.h"
#include "app/PreferencesData.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "data/PresetData.h"
#include "files/FileWriter.h"
#include "files/LibraryFileReader.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileWriter.h"
#include "files/ProgramFileReader.h"
#include "files/ProgramFileWriter.h"
#include "tests/app/CommandTestSupport.h"
#include "tests/files/FileSavingTestSupport.h"
#include "tests/files/OlderEditorTestFiles.h"
#include "tests/files/UserUnitTestFiles.h"
#include "ui/LibraryFileDrop.h"

using commandtest::CommandTest;
using commandtest::readErrorText;
using commandtest::storedName;
using commandtest::writeErrorText;
using namespace x47390_menu;

namespace
{
juce::String nameOfProgram(int index)
{
    return x47390_data::DataCenter::getInstance()->getLibraryData().getProgramData(index).getName();
}

juce::String nameInFile(const juce::File& file, int index = 0)
{
    auto content = std::make_unique<x47390_data::LibraryData>();
    EXPECT_EQ(x47390_file::LibraryFileReader(content.get()).read(file), 0) << file.getFullPathName();
    return content->getProgramData(index).getName();
}

juce::String undoDescription() { return application::ApplicationUndoManager::getInstance()->getUndoDescription(); }

class DocumentTest : public CommandTest
{
protected:
    // Back to an unedited initial library without file, history, answers or records.
    void resetDocument()
    {
        library().initialise();
        application::DataEditStatus::getInstance()->setEdited(false);
        application::LastSavedFileStatus::getInstance()->setFile(juce::File());
        application::ApplicationUndoManager::getInstance()->clearUndoHistory();
        chooserAnswers.clear();
        dialogAnswers.clear();
        choosers.clear();
        dialogs.clear();
        quitRequests = 0;
    }

    juce::File presetFolder() const
    {
        return x47390_preferences::PreferencesData::getPreferencesFolder().getChildFile("Preset Data");
    }

    juce::File writeOlderEditorFile(const juce::String& name) const
    {
        const auto bytes = olderEditorTest::OlderEditorFileWriter().build();
        const auto target = file(name);
        juce::FileOutputStream out(target);
        out.write(bytes.getData(), bytes.getSize());
        return target;
    }
};

// Everything that replaces the whole library.
struct Replacement
{
    const char* name;
    // Starts the operation; queues the answer of its own chooser first when it has one.
    std::function<void()> run;
    // Whether it went ahead.
    std::function<bool()> wentAhead;
};
} // namespace

// The discard question before every operation that replaces an edited library: Yes saves first and a failed
// or cancelled save stops the operation, No goes ahead, Cancel (or closing the question) stops.
TEST_F(DocumentTest, DiscardQuestionMatrix)
{
    const auto opened = writeLibraryFile("opened.snvrlib", "Opened");
    const auto older = writeOlderEditorFile("older.snvre_all");
    const Replacement replacements[] = {
        {"New", [] { performFileCommand(cmdNew); },
         [] { return nameOfProgram(0) == storedName("Init Program"); }},
        {"Open", [&] { chooserAnswers.push_back({opened}); performFileCommand(cmdOpen); },
         [] { return nameOfProgram(0) == storedName("Opened"); }},
        {"drop", [&] { ui::handleLibraryFileDrop({opened.getFullPathName()}); },
         [] { return nameOfProgram(0) == storedName("Opened"); }},
        {"command line", [&] { openLibraryFileChecked(opened); },
         [] { return nameOfProgram(0) == storedName("Opened"); }},
        {"older editor import",
         [&] { chooserAnswers.push_back({older}); performFileCommand(cmdImportVoicingEditorFile); },
         [] { return nameOfProgram(0) == storedName("Old 000"); }},
        {"Exit", [] { performFileCommand(cmdExit); }, [this] { return quitRequests == 1; }},
        {"Initialise", [this] { answerDialog(1); performFileCommand(cmdInitialise); }, // then its own question
         [this] { return quitRequests == 1 && !presetFolder().exists(); }},
    };

    enum class Save
    {
        none,
        toItsFile,
        itsFileFails,
        chooserCancelled,
        chosen
    };
    struct Answer
    {
        const char* name;
        int result;
        Save save;
        bool goesAhead;
    };
    const Answer answers[] = {
        {"Cancel", 0, Save::none, false},
        {"No", 2, Save::none, true},
        {"Yes, saved to its file", 1, Save::toItsFile, true},
        {"Yes, its file cannot be written", 1, Save::itsFileFails, false},
        {"Yes, save chooser cancelled", 1, Save::chooserCancelled, false},
        {"Yes, saved to a chosen file", 1, Save::chosen, true},
    };

    for (const auto& replacement : replacements)
    {
        const auto where = juce::String(replacement.name);

        // Unedited: no discard question.
        resetDocument();
        ASSERT_TRUE(presetFolder().createDirectory());
        replacement.run();
        for (const auto& dialog : dialogs)
            EXPECT_NE(dialog.title, CJQZResource::getInstance()->getString("FileDiscardCheckTitle")) << where;
        EXPECT_TRUE(replacement.wentAhead()) << where;

        for (const auto& answer : answers)
        {
            const auto context = where + ", " + answer.name;
            resetDocument();
            ASSERT_TRUE(presetFolder().createDirectory());
            const auto itsFile = file("its.snvrlib");
            itsFile.deleteFile();
            const auto chosenFile = file("chosen.snvrlib");
            chosenFile.deleteFile();
            if (answer.save == Save::toItsFile)
                application::LastSavedFileStatus::getInstance()->setFile(itsFile);
            if (answer.save == Save::itsFileFails)
                application::LastSavedFileStatus::getInstance()->setFile(file("no such folder/its.snvrlib"));
            editLibrary("Unsaved");

            answerDialog(answer.result);
            if (answer.save == Save::chooserCancelled)
                cancelChooser();
            if (answer.save == Save::chosen)
                choose(file("chosen.txt"));
            replacement.run();

            ASSERT_FALSE(dialogs.empty()) << context;
            EXPECT_EQ(dialogs[0].title, CJQZResource::getInstance()->getString("FileDiscardCheckTitle")) << context;
            EXPECT_EQ(dialogs[0].message, CJQZResource::getInstance()->getString("FileDiscardCheckMessage"))
                << context;
            EXPECT_EQ(replacement.wentAhead(), answer.goesAhead) << context;
            if (!answer.goesAhead)
            {
                EXPECT_EQ(nameOfProgram(0), storedName("Unsaved")) << context;
            }
            if (answer.save == Save::toItsFile)
            {
                EXPECT_EQ(nameInFile(itsFile), storedName("Unsaved")) << context;
            }
            if (answer.save == Save::chosen)
            {
                EXPECT_EQ(nameInFile(chosenFile), storedName("Unsaved")) << context;
            }
            if (answer.save == Save::itsFileFails)
            {
                EXPECT_TRUE(alertMessages().contains(writeErrorText(file::WriteError::openFile))) << context;
            }
        }
    }
}

TEST_F(DocumentTest, OpenSaveAndNewSetTheFileTheEditedFlagAndTheHistory)
{
    const auto source = writeLibraryFile("source.snvrlib", "Source");
    editLibrary();
    ASSERT_TRUE(canUndo());

    answerDialog(2); // discard the edit
    choose(source);
    performFileCommand(cmdOpen);
    EXPECT_EQ(nameOfProgram(0), storedName("Source"));
    EXPECT_EQ(currentFile(), source);
    EXPECT_FALSE(isEdited());
    EXPECT_FALSE(canUndo()) << "opening clears the history";
    ASSERT_EQ(choosers.size(), 1u);
    EXPECT_TRUE(choosers[0].modalStateSet);

    // Save writes the current file and keeps the history.
    editLibrary("Changed");
    const auto inodeBefore = source.getFileIdentifier();
    performFileCommand(cmdSave);
    EXPECT_EQ(choosers.size(), 1u) << "a library with a file is saved without a chooser";
    EXPECT_EQ(nameInFile(source), storedName("Changed"));
    EXPECT_NE(source.getFileIdentifier(), inodeBefore) << "the file was replaced by a new one";
    EXPECT_FALSE(isEdited());
    EXPECT_TRUE(canUndo());
    EXPECT_EQ(currentFile(), source);

    // Save As moves the document to the new file.
    choose(file("copy"));
    performFileCommand(cmdSaveAs);
    EXPECT_EQ(currentFile(), file("copy.snvrlib"));
    EXPECT_EQ(nameInFile(file("copy.snvrlib")), storedName("Changed"));

    dialogs.clear();
    performFileCommand(cmdNew);
    EXPECT_EQ(nameOfProgram(0), storedName("Init Program"));
    EXPECT_EQ(currentFile(), juce::File());
    EXPECT_FALSE(isEdited());
    EXPECT_FALSE(canUndo());
    EXPECT_TRUE(dialogs.empty()) << "nothing to discard after saving";

    // The statuses tell their listeners (the window title).
    struct TitleWatch : application::DataEditStatusListener, application::LastSavedFileStatusListener
    {
        bool edited = true;
        juce::File file{"/unset"};
        void dataEditStatusChanged(const bool& e) override { edited = e; }
        void lastSavedFileChanged(const juce::File& f) override { file = f; }
    } watch;
    application::DataEditStatus::getInstance()->addListener(&watch);
    application::LastSavedFileStatus::getInstance()->addListener(&watch);
    editLibrary();
    choose(source);
    answerDialog(2);
    performFileCommand(cmdOpen);
    testsupport::drainMessageLoop();
    EXPECT_EQ(watch.file, source);
    EXPECT_FALSE(watch.edited);
    application::DataEditStatus::getInstance()->removeListener(&watch);
    application::LastSavedFileStatus::getInstance()->removeListener(&watch);
}

// The edited mark means "differs from the last saved or opened state": undo and redo away from the save point
// set it, coming back clears it, and the window title and the quit question follow it.
TEST_F(DocumentTest, TheEditedMarkFollowsTheSavePointThroughUndoAndRedo)
{
    struct TitleWatch : application::DataEditStatusListener
    {
        bool edited = false;
        void dataEditStatusChanged(const bool& e) override { edited = e; }
    } title;
    application::DataEditStatus::getInstance()->addListener(&title);
    const auto edited = [&title]
    {
        testsupport::drainMessageLoop();
        EXPECT_EQ(title.edited, isEdited());
        return isEdited();
    };
    auto* undoManager = application::ApplicationUndoManager::getInstance();

    const auto source = writeLibraryFile("source.snvrlib", "Source");
    ASSERT_EQ(openLibraryFile(source), 0);
    editLibrary("One");
    EXPECT_TRUE(edited());
    ASSERT_TRUE(undoManager->undo());
    EXPECT_FALSE(edited()) << "back at the opened state";
    ASSERT_TRUE(undoManager->redo());
    EXPECT_TRUE(edited());

    editLibrary("Two");
    performFileCommand(cmdSave);
    EXPECT_FALSE(edited());
    ASSERT_TRUE(undoManager->undo());
    EXPECT_TRUE(edited()) << "the table differs from the file";

    // The quit question is asked (and cancelled) away from the save point, not at it.
    dialogs.clear();
    performFileCommand(cmdExit);
    EXPECT_EQ(quitRequests, 0);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, CJQZResource::getInstance()->getString("FileDiscardCheckTitle"));
    ASSERT_TRUE(undoManager->redo());
    EXPECT_FALSE(edited());
    dialogs.clear();
    performFileCommand(cmdExit);
    EXPECT_EQ(quitRequests, 1);
    EXPECT_TRUE(dialogs.empty());

    // Two undos reach the opened state, which is not the saved one; a new edit there gives the save point up.
    ASSERT_TRUE(undoManager->undo());
    ASSERT_TRUE(undoManager->undo());
    EXPECT_TRUE(edited());
    editLibrary("Three");
    ASSERT_TRUE(undoManager->undo());
    EXPECT_TRUE(edited());
    EXPECT_EQ(nameOfProgram(0), storedName("Source"));
    ASSERT_TRUE(undoManager->redo());
    EXPECT_EQ(nameOfProgram(0), storedName("Three"));
    EXPECT_TRUE(edited());

    application::DataEditStatus::getInstance()->removeListener(&title);
}

TEST_F(DocumentTest, ACancelledOpenChangesNothing)
{
    editLibrary();
    answerDialog(2);
    cancelChooser();
    performFileCommand(cmdOpen);
    EXPECT_EQ(nameOfProgram(0), storedName("Edited")) << "No only lets the open go ahead; the chooser was cancelled";
    EXPECT_TRUE(isEdited());
    EXPECT_TRUE(canUndo());
}

// A damaged file shows its read error and leaves the library, its file, the edited flag and the history alone.
TEST_F(DocumentTest, ADamagedLibraryChangesNothing)
{
    const auto good = writeLibraryFile("good.snvrlib", "Good");
    juce::MemoryBlock bytes;
    ASSERT_TRUE(good.loadFileAsData(bytes));
    const auto truncated = file("truncated.snvrlib");
    ASSERT_TRUE(truncated.replaceWithData(bytes.getData(), bytes.getSize() / 2));
    const auto garbage = file("garbage.snvrlib");
    ASSERT_TRUE(garbage.replaceWithText("this is no library"));

    application::LastSavedFileStatus::getInstance()->setFile(good);
    editLibrary("Kept");
    for (const auto& damaged : {truncated, garbage, file("missing.snvrlib")})
    {
        dialogs.clear();
        auto probe = std::make_unique<x47390_data::LibraryData>();
        const int code = x47390_file::LibraryFileReader(probe.get()).read(damaged);
        ASSERT_NE(code, 0) << damaged.getFileName();

        answerDialog(2); // discard the edit
        choose(damaged);
        performFileCommand(cmdOpen);
        ASSERT_EQ(dialogs.size(), 2u) << damaged.getFileName();
        EXPECT_EQ(dialogs[1].title, CJQZResource::getInstance()->getString("CommonErrorDialogTitle"));
        EXPECT_EQ(dialogs[1].message, readErrorText(code)) << damaged.getFileName();
        EXPECT_EQ(nameOfProgram(0), storedName("Kept"));
        EXPECT_EQ(currentFile(), good);
        EXPECT_TRUE(isEdited());
        EXPECT_EQ(undoDescription(), "PasteProgramName");
    }
}

// A failed save says so with the write error and keeps the old file, the edited flag and the document's file.
TEST_F(DocumentTest, FailedSavesKeepTheOldFile)
{
    const auto folder = file("locked");
    ASSERT_TRUE(folder.createDirectory());
    const auto target = folder.getChildFile("library.snvrlib");
    editLibrary("Old");
    choose(target);
    ASSERT_TRUE(saveLibraryAs());
    editLibrary("New");
    {
        ziptest::ImmutableFile locked(folder);
        if (!locked.isImmutable())
            GTEST_SKIP() << "the file system cannot lock a folder";
        EXPECT_FALSE(saveLibrary());
        ASSERT_EQ(alertMessages().size(), 1);
        EXPECT_EQ(alertMessages()[0], writeErrorText(file::WriteError::deleteFile));
    }
    EXPECT_EQ(nameInFile(target), storedName("Old"));
    EXPECT_TRUE(isEdited());
    EXPECT_EQ(currentFile(), target);
    EXPECT_EQ(ziptest::folderListing(folder), juce::StringArray{"library.snvrlib"});
}

// The chosen name gets the library extension; the overwrite question is about the file really written, and
// declining it goes back to the chooser.
TEST_F(DocumentTest, SaveAsAsksAboutTheFileItWillWrite)
{
    const auto existing = writeLibraryFile("song.snvrlib", "Existing");
    const auto typed = file("song.txt");
    ASSERT_TRUE(typed.replaceWithText("not a library"));
    editLibrary("Mine");

    choose(typed);
    answerDialog(0); // do not replace
    cancelChooser();
    EXPECT_FALSE(saveLibraryAs());
    ASSERT_EQ(choosers.size(), 2u) << "declining went back to the chooser";
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].message.contains(existing.getFullPathName())) << dialogs[0].message;
    EXPECT_EQ(dialogs[0].title, CJQZResource::getInstance()->getString("FileOverwriteCheckTitle"));
    EXPECT_TRUE(dialogs[0].modalStateSet);
    EXPECT_EQ(nameInFile(existing), storedName("Existing"));

    choose(typed);
    answerDialog(1); // replace
    EXPECT_TRUE(saveLibraryAs());
    EXPECT_EQ(nameInFile(existing), storedName("Mine"));
    EXPECT_EQ(typed.loadFileAsString(), "not a library");
    EXPECT_EQ(currentFile(), existing);

    // Only the name that is written counts: an existing "fresh.txt" asks nothing when "fresh.snvrlib" is new.
    ASSERT_TRUE(file("fresh.txt").replaceWithText("x"));
    dialogs.clear();
    choose(file("fresh.txt"));
    EXPECT_TRUE(saveLibraryAs());
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(nameInFile(file("fresh.snvrlib")), storedName("Mine"));

    const auto& request = choosers.back().request;
    EXPECT_EQ(request.mode, ui::FileChooserRequest::Mode::save);
    EXPECT_EQ(request.title, CJQZResource::getInstance()->getString("FileSaveLibraryTitle"));
    EXPECT_EQ(ui::makeFilePattern(request.extensions), "*.snvrlib");
    EXPECT_TRUE(request.warnBeforeOverwriting);
}

TEST_F(DocumentTest, ProgramFilesLoadOnlyIntoOneSelectedProgram)
{
    x47390_data::ProgramData program;
    program.setName("Loaded");
    program.updateHash();
    const auto programFile = file("one.snvrprog");
    ASSERT_EQ(x47390_file::ProgramFileWriter(&program).write(programFile), 0);

    selectPrograms({3, 5});
    EXPECT_EQ(getSelectedProgramIndex(), 3);
    loadProgramFileIntoSelection(programFile);
    EXPECT_EQ(nameOfProgram(3), storedName("Init Program"));
    EXPECT_FALSE(isEdited());

    selectPrograms({});
    EXPECT_EQ(getSelectedProgramIndex(), -1);

    selectPrograms({7});
    loadProgramFileIntoSelection(programFile);
    EXPECT_EQ(nameOfProgram(7), storedName("Loaded"));
    EXPECT_EQ(undoDescription(), "LoadProgram");
    EXPECT_TRUE(isEdited());

    loadProgramFileIntoSelection(file("garbage.snvrprog"));
    ASSERT_EQ(alertMessages().size(), 1);
    EXPECT_EQ(alertMessages()[0], readErrorText(x47390_file::ProgramFileReader(&program).read(file("garbage.snvrprog"))));
}

TEST_F(DocumentTest, PresetFilesAreImportedIntoThePresetLibraries)
{
    auto preset = std::make_unique<x47390_data::PresetData>();
    preset->information.dataID = "TestPreset";
    preset->information.name = "Test Preset";
    preset->programs[2].setName("Preset Two");
    const auto presetFile = file("test.snvrpreset");
    ASSERT_EQ(x47390_file::PresetFileWriter(preset.get()).write(presetFile), 0);

    importPresetFileChecked(presetFile);
    EXPECT_TRUE(dialogs.empty());
    auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    ASSERT_EQ(presets.getNumPresetData(), 1);
    EXPECT_EQ(presets.getPresetData(0).information.name, "Test Preset");
    EXPECT_EQ(presets.getPresetData(0).getProgramData(2).getName(), storedName("Preset Two"));

    const auto broken = file("broken.snvrpreset");
    ASSERT_TRUE(broken.replaceWithText("no preset"));
    importPresetFileChecked(broken);
    ASSERT_EQ(alertMessages().size(), 1);
    EXPECT_EQ(alertMessages()[0], readErrorText(31));
    EXPECT_EQ(presets.getNumPresetData(), 1);
}

// Units go only into a list of their kind; with no expected kind the unit's own kind decides.
TEST_F(DocumentTest, UserUnitFilesLoadIntoSlotsOfTheirKind)
{
    const auto osc = file("wave.snvrunit");
    ASSERT_TRUE(unittest::writeUnitFile(osc, "osc"));
    const auto delay = file("echo.snvrunit");
    ASSERT_TRUE(unittest::writeUnitFile(delay, "delfx"));
    const auto global = file("global.snvrunit");
    ASSERT_TRUE(unittest::writeUnitFile(global, "global"));
    auto& units = x47390_data::DataCenter::getInstance()->getUserData();

    loadUserUnitFile(osc, 3, 4);
    EXPECT_TRUE(dialogs.empty()) << alertMessages().joinIntoString("|");
    EXPECT_FALSE(units.getUserOscData(3).payload.isEmpty());
    EXPECT_EQ(units.getUserOscData(3).slot, -1);
    EXPECT_EQ(units.getUserOscData(3).state, 2);
    EXPECT_EQ(undoDescription(), "LoadUserOscData");

    loadUserUnitFile(osc, 1, 2);
    ASSERT_EQ(alertMessages().size(), 1);
    EXPECT_EQ(alertMessages()[0], readErrorText(41));
    EXPECT_TRUE(units.getUserDelFXData(1).payload.isEmpty());

    loadUserUnitFile(delay, 5, anyModuleType);
    EXPECT_FALSE(units.getUserDelFXData(5).payload.isEmpty());
    EXPECT_EQ(undoDescription(), "LoadUserDelFXData");

    loadUserUnitFile(global, 0, anyModuleType);
    ASSERT_EQ(alertMessages().size(), 2);
    EXPECT_EQ(alertMessages()[1], readErrorText(40));

    loadUserUnitFile(file("missing.snvrunit"), 0, 4);
    ASSERT_EQ(alertMessages().size(), 3);
    EXPECT_NE(alertMessages()[2], readErrorText(0));
}
