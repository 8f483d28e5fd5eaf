#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuCommands.h"
#include "app/CJQZResource.h"
#include "app/DocumentOperations.h"
#include "app/FileCommands.h"
#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "app/WriteConfirmation.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/LastSavedFileStatus.h"
#include "data/PresetData.h"
#include "data/TuningSelection.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileReader.h"
#include "files/ProgramFileReader.h"
#include "files/TuneOctFileReader.h"
#include "files/TuneOctFileWriter.h"
#include "files/TuneScaleFileReader.h"
#include "files/TuneScaleFileWriter.h"
#include "files/VoicingEditorLibraryDataImporter.h"
#include "midi/MidiDeviceManager.h"
#include "tests/app/CommandTestSupport.h"
#include "tests/files/OlderEditorTestFiles.h"
#include "ui/AlertDialogComponent.h"
#include "ui/DialogKeyboard.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogState.h"
#include "ui/PreferencesEditComponent.h"
#include "ui/PresetInformationEditComponent.h"
#include "ui/PresetWindowManager.h"

#include <stdexcept>

using commandtest::CommandTest;
using commandtest::readErrorText;
using commandtest::storedName;
using namespace x47390_menu;
using Mode = ui::FileChooserRequest::Mode;

namespace
{
juce::String text(const char* key) { return CJQZResource::getInstance()->getString(key); }

juce::String undoDescription() { return application::ApplicationUndoManager::getInstance()->getUndoDescription(); }

struct DataChangeCounter : data::DataChangeObserver
{
    DataChangeCounter() { data::DataChangeBroadcaster::getInstance()->addListener(this); }
    ~DataChangeCounter() override { data::DataChangeBroadcaster::getInstance()->removeListener(this); }
    void dataChanged() override { ++count; }
    int count = 0;
};

struct PreferencesChangeCounter : application::PreferencesDataChangeBroadcasterObserver
{
    PreferencesChangeCounter() { application::PreferencesDataChangeBroadcaster::getInstance()->addListener(this); }
    ~PreferencesChangeCounter() override
    {
        application::PreferencesDataChangeBroadcaster::getInstance()->removeListener(this);
    }
    void preferencesDataChanged() override { ++count; }
    int count = 0;
};

// A tuning record with recognisable notes.
template <class Tuning>
Tuning markedTuning(juce::uint8 mark)
{
    Tuning tuning;
    tuning.notes[0] = mark;
    tuning.updateHash();
    return tuning;
}
} // namespace

// Titles, patterns, modes and forced extensions of every chooser a file command opens.
TEST_F(CommandTest, EveryFileCommandOpensItsChooser)
{
    struct Row
    {
        int command;
        int slot;
        Mode mode;
        const char* titleKey;
        const char* pattern;
    };
    const Row rows[] = {
        {cmdOpen, 6, Mode::openOne, "FileOpenLibraryTitle", "*.snvrlib"},
        {cmdSaveAs, 6, Mode::save, "FileSaveLibraryTitle", "*.snvrlib"},
        {cmdLoadProgram, 6, Mode::openOne, "FileLoadProgramTitle", "*.snvrprog"},
        {cmdSaveProgram, 6, Mode::save, "FileSaveProgramTitle", "*.snvrprog"},
        {cmdLoadTuning, 0, Mode::openOne, "FileLoadTuneOctTitle", "*.snvrtuno;*.drvntuno;*.qntvtuno;*.drvnzqtuno"},
        {cmdLoadTuning, 11, Mode::openSeveral, "FileLoadTuneScaleTitle",
         "*.snvrtuns;*.drvntuns;*.qntvtuns;*.drvnzqtuns"},
        {cmdSaveTuning, 5, Mode::save, "FileSaveTuneOctTitle", "*.snvrtuno"},
        {cmdSaveTuning, 6, Mode::save, "FileSaveTuneScaleTitle", "*.snvrtuns"},
        {cmdImportPresetFile, 6, Mode::openOne, "FileImportPresetTitle", "*.snvrpreset"},
        {cmdImportVoicingEditorFile, 6, Mode::openOne, "FileImportVeTitle", "*.snvre_all"},
        {cmdSavePreset, 6, Mode::save, "FileSavePresetTitle", "*.snvrpreset"},
    };
    for (const auto& row : rows)
    {
        choosers.clear();
        currentTuningSlot = (std::uint8_t) row.slot;
        EXPECT_TRUE(performFileCommand(row.command)) << row.command;
        ASSERT_EQ(choosers.size(), 1u) << row.command;
        const auto& call = choosers[0];
        EXPECT_EQ(call.request.mode, row.mode) << row.command;
        EXPECT_EQ(call.request.title, text(row.titleKey)) << row.command;
        EXPECT_TRUE(call.request.title.isNotEmpty()) << row.command;
        EXPECT_EQ(ui::makeFilePattern(call.request.extensions), row.pattern) << row.command;
        EXPECT_TRUE(call.modalStateSet) << row.command;
        EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen()) << row.command;
    }
    EXPECT_TRUE(dialogs.empty()) << "every chooser was cancelled";
}

TEST_F(CommandTest, ProgramCommandsNeedASelectedProgramAndOpenStillAnnouncesAChange)
{
    DataChangeCounter changes;
    selectPrograms({});
    performFileCommand(cmdLoadProgram);
    performFileCommand(cmdSaveProgram);
    EXPECT_TRUE(choosers.empty());
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes.count > 0; }))
        << "Load Program announces a change on every path";

    changes.count = 0;
    cancelChooser();
    performFileCommand(cmdOpen);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes.count > 0; }));
}

TEST_F(CommandTest, SaveProgramWritesTheSelectedProgramUnderItsOwnExtension)
{
    library().getProgramData(4).setName("Fourth");
    library().getProgramData(4).updateHash();
    selectPrograms({4});
    choose(file("sound.txt"));
    performFileCommand(cmdSaveProgram);

    x47390_data::ProgramData written;
    ASSERT_EQ(x47390_file::ProgramFileReader(&written).read(file("sound.snvrprog")), 0);
    EXPECT_EQ(written.getName(), storedName("Fourth"));
    EXPECT_FALSE(file("sound.txt").exists());

    // Back into another slot.
    selectPrograms({9});
    choose(file("sound.snvrprog"));
    performFileCommand(cmdLoadProgram);
    EXPECT_EQ(library().getProgramData(9).getName(), storedName("Fourth"));
    EXPECT_EQ(undoDescription(), "LoadProgram");
}

TEST_F(CommandTest, TuningsGoToAndComeFromTheSelectedSlot)
{
    const auto octave = markedTuning<x47390_data::TuneOctData>(70);
    auto octaveCopy = octave;
    ASSERT_EQ(x47390_file::TuneOctFileWriter(&octaveCopy).write(file("o.snvrtuno")), 0);
    const auto scale = markedTuning<x47390_data::TuneScaleData>(71);
    auto scaleCopy = scale;
    ASSERT_EQ(x47390_file::TuneScaleFileWriter(&scaleCopy).write(file("s.snvrtuns")), 0);

    currentTuningSlot = 3;
    choose(file("o.snvrtuno"));
    performFileCommand(cmdLoadTuning);
    EXPECT_EQ(library().getTuneOctData(3).notes, octave.notes);
    EXPECT_EQ(undoDescription(), "LoadTuneOct");

    currentTuningSlot = 9;
    chooseSeveral({file("s.snvrtuns"), file("o.snvrtuno")});
    performFileCommand(cmdLoadTuning);
    EXPECT_EQ(library().getTuneScaleData(3).notes, scale.notes) << "the first chosen file counts";
    EXPECT_EQ(undoDescription(), "LoadTuneScale");

    choose(file("s-out.txt"));
    performFileCommand(cmdSaveTuning);
    x47390_data::TuneScaleData savedScale;
    ASSERT_EQ(x47390_file::TuneScaleFileReader(&savedScale).read(file("s-out.snvrtuns")), 0);
    EXPECT_EQ(savedScale.notes, scale.notes);

    currentTuningSlot = 3;
    choose(file("o-out"));
    performFileCommand(cmdSaveTuning);
    x47390_data::TuneOctData savedOctave;
    ASSERT_EQ(x47390_file::TuneOctFileReader(&savedOctave).read(file("o-out.snvrtuno")), 0);
    EXPECT_EQ(savedOctave.notes, octave.notes);

    // A file that is no tuning shows its read error and changes nothing.
    ASSERT_TRUE(file("bad.snvrtuno").replaceWithText("bad"));
    const auto before = library().getTuneOctData(3).notes;
    choose(file("bad.snvrtuno"));
    performFileCommand(cmdLoadTuning);
    ASSERT_EQ(alertMessages().size(), 1);
    x47390_data::TuneOctData probe;
    EXPECT_EQ(alertMessages()[0], readErrorText(x47390_file::TuneOctFileReader(&probe).read(file("bad.snvrtuno"))));
    EXPECT_EQ(library().getTuneOctData(3).notes, before);
}

TEST_F(CommandTest, APresetFileThatCannotBeImportedShowsReadError31)
{
    ASSERT_TRUE(file("broken.snvrpreset").replaceWithText("no preset"));
    choose(file("broken.txt")); // the command reads "broken.snvrpreset"
    performFileCommand(cmdImportPresetFile);
    EXPECT_EQ(alertMessages(), juce::StringArray{readErrorText(31)});
}

TEST_F(CommandTest, TheOlderEditorsLibraryReplacesTheDocumentWithoutUndo)
{
    const auto bytes = olderEditorTest::OlderEditorFileWriter().build();
    ASSERT_TRUE(file("old.snvre_all").replaceWithData(bytes.getData(), bytes.getSize()));
    application::LastSavedFileStatus::getInstance()->setFile(file("current.snvrlib"));
    editLibrary();

    answerDialog(2); // discard the edit
    choose(file("old.dat"));
    performFileCommand(cmdImportVoicingEditorFile);
    EXPECT_EQ(library().getProgramData(0).getName(), storedName("Old 000"));
    EXPECT_EQ(library().getProgramData(499).getName(), storedName("Old 499"));
    EXPECT_FALSE(isEdited());
    EXPECT_FALSE(canUndo());
    EXPECT_EQ(currentFile(), juce::File());

    ASSERT_TRUE(file("damaged.snvre_all").replaceWithData(bytes.getData(), bytes.getSize() - 100));
    editLibrary("Kept");
    answerDialog(2);
    choose(file("damaged.snvre_all"));
    performFileCommand(cmdImportVoicingEditorFile);
    auto probe = std::make_unique<x47390_data::LibraryData>();
    const int code = x47390_file::VoicingEditorLibraryDataImporter(probe.get()).read(file("damaged.snvre_all"));
    ASSERT_NE(code, 0);
    EXPECT_EQ(alertMessages()[alertMessages().size() - 1], readErrorText(code));
    EXPECT_EQ(library().getProgramData(0).getName(), storedName("Kept"));
    EXPECT_TRUE(canUndo());
}

// Save Preset writes only after OK in the information dialog; Cancel, Escape and the close button all abandon it.
TEST_F(CommandTest, SavePresetWritesOnlyAfterOK)
{
    library().getProgramData(7).setName("Seventh");
    library().getProgramData(7).information.programmer = "Someone";
    library().getProgramData(7).updateHash();
    const auto target = file("mine.snvrpreset");

    choose(file("mine"));
    answerDialog([](juce::Component& content) {
        auto& panel = dynamic_cast<PresetInformationEditComponent&>(content);
        panel.buttonClicked(&panel.getCancelButton());
        return 1;
    });
    performFileCommand(cmdSavePreset);
    choose(file("mine"));
    answerDialog(0); // Escape or the close button
    performFileCommand(cmdSavePreset);
    EXPECT_FALSE(target.exists());
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, text("PresetInformationEditTitle"));
    EXPECT_TRUE(dialogs[0].modalStateSet);

    choose(file("mine"));
    answerDialog([](juce::Component& content) {
        auto& panel = dynamic_cast<PresetInformationEditComponent&>(content);
        panel.getDataIdEditor().setText("MyPresets");
        panel.getNameEditor().setText("My Presets");
        panel.getAuthorEditor().setText("Me");
        panel.getVersionSlider().setValue(3);
        panel.getProgramCountSlider().setValue(64);
        panel.buttonClicked(&panel.getOkButton());
        return 0;
    });
    performFileCommand(cmdSavePreset);

    auto preset = std::make_unique<x47390_data::PresetData>();
    ASSERT_EQ(x47390_file::PresetFileReader(preset.get()).read(target), 0);
    EXPECT_EQ(preset->information.dataID, "MyPresets");
    EXPECT_EQ(preset->information.name, "My Presets");
    EXPECT_EQ(preset->information.author, "Me");
    EXPECT_EQ(preset->information.version, 3);
    EXPECT_EQ(preset->information.numOfProg, 64);
    for (int n = 0; n < x47390_data::PresetData::numPrograms; ++n)
    {
        ASSERT_EQ(preset->programs[(size_t) n].binary, library().getProgramData(n).binary) << n;
        ASSERT_TRUE(preset->programs[(size_t) n].information.programmer.isEmpty()) << n;
    }
    EXPECT_EQ(preset->programs[7].getName(), storedName("Seventh"));
}

TEST_F(CommandTest, ExitAndInitialiseAreRefusedWhileASearchOrADialogRuns)
{
    const auto presets = x47390_file::PresetFileManager::getPresetFolder();
    ASSERT_TRUE(presets.getChildFile("some.isnvrpreset").replaceWithText("x"));
    x47390_preferences::PreferencesData::getInstance()->save();
    const auto preferencesFile = x47390_preferences::PreferencesData::getPreferencesFile();
    ASSERT_TRUE(preferencesFile.existsAsFile());

    midi::midiDeviceScanInProgress = true;
    EXPECT_FALSE(performFileCommand(cmdExit));
    EXPECT_FALSE(performFileCommand(cmdInitialise));
    midi::midiDeviceScanInProgress = false;

    // A dialog, a chooser or a transfer waits for its answer: the program stays, even unedited.
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    EXPECT_TRUE(isQuitRefused());
    EXPECT_FALSE(performFileCommand(cmdExit));
    EXPECT_FALSE(performFileCommand(cmdInitialise));
    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
    EXPECT_FALSE(isQuitRefused());
    EXPECT_EQ(quitRequests, 0);
    EXPECT_TRUE(presets.exists());
    EXPECT_TRUE(dialogs.empty()) << "a refusal asks nothing";

    // The discard question comes first, and cancelling it refuses too.
    editLibrary();
    answerDialog(0);
    EXPECT_FALSE(performFileCommand(cmdInitialise));
    EXPECT_TRUE(presets.exists());

    // Then Initialise names what it deletes, with Cancel as the default answer; Cancel keeps everything.
    answerDialog(2);
    answerDialog(
        [](juce::Component& content)
        {
            auto* panel = dynamic_cast<AlertDialogComponent*>(&content);
            EXPECT_NE(panel, nullptr);
            if (panel != nullptr)
            {
                EXPECT_TRUE(ui::isDefaultButton(panel->getButton(2)));
                EXPECT_FALSE(ui::isDefaultButton(panel->getButton(0)));
            }
            return 0;
        });
    EXPECT_FALSE(performFileCommand(cmdInitialise));
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[2].title, text("InitialiseCheckTitle"));
    EXPECT_TRUE(dialogs[2].message.startsWith(text("InitialiseCheckMessage")));
    EXPECT_TRUE(dialogs[2].message.contains(presets.getFullPathName())) << dialogs[2].message;
    EXPECT_TRUE(dialogs[2].modalStateSet);
    EXPECT_TRUE(presets.exists());
    EXPECT_EQ(quitRequests, 0);

    answerDialog(2);
    answerDialog(1);
    EXPECT_TRUE(performFileCommand(cmdInitialise));
    EXPECT_EQ(quitRequests, 1);
    EXPECT_FALSE(presets.exists()) << "the preset folder went with everything in it";
    EXPECT_TRUE(preferencesFile.existsAsFile()) << "the preferences stay";

    answerDialog(2);
    EXPECT_TRUE(performFileCommand(cmdExit));
    EXPECT_EQ(quitRequests, 2);
}

TEST_F(CommandTest, DialogCommandsAreRefusedOverAnotherDialog)
{
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    for (int id : {cmdImportTuningWindow, cmdTuningTemplate, cmdPreferences, cmdAbout})
        EXPECT_FALSE(performFileCommand(id)) << id;
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
}

// OK in the preferences dialog stores the settings, writes the file, hands the ports to the MIDI layer,
// searches again when the search is automatic and re-applies the list row height; closing stores nothing.
TEST_F(CommandTest, PreferencesAreStoredAndAppliedOnOK)
{
    auto device = fabric->addDevice("Synth", {"Port 1"}, {"Port 1"});
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    preferences->setIntValue("ProgramListHeight", 25);
    auto* fonts = ui::FontLibrary::getInstance();
    fonts->addFont("ProgramListName", fonts->makeFont(fonts->defaultTypefaceName, 18.0f));
    const auto file = x47390_preferences::PreferencesData::getPreferencesFile();
    PreferencesChangeCounter preferenceChanges;

    answerDialog(0); // closed with Escape
    EXPECT_TRUE(performFileCommand(cmdPreferences));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, text("PreferencesDialogTitle"));
    EXPECT_TRUE(dialogs[0].modalStateSet);
    EXPECT_FALSE(file.exists()) << "nothing written";
    EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());

    answerDialog([](juce::Component& content) {
        auto& panel = dynamic_cast<PreferencesEditComponent&>(content);
        panel.getManualPortToggle().setToggleState(true, juce::sendNotificationSync);
        panel.getMidiInBox().setSelectedItemIndex(0);
        panel.getMidiOutBox().setSelectedItemIndex(0);
        panel.getFontSizeSlider().setValue(3);
        panel.buttonClicked(&panel.getOkButton());
        return 1;
    });
    EXPECT_TRUE(performFileCommand(cmdPreferences));
    auto* manager = midi::MidiDeviceManager::getInstance();
    EXPECT_FALSE(manager->isAutoScan);
    EXPECT_EQ(manager->midiInPortName, "Synth - Port 1");
    EXPECT_EQ(manager->midiOutPortName, "Synth - Port 1");
    EXPECT_FALSE(midi::midiDeviceScanInProgress) << "no search with ports chosen by hand";
    EXPECT_EQ(fonts->getFont("ProgramListName").getHeight(), 21.0f) << "35 x 0.6";
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return preferenceChanges.count > 0; }));

    auto stored = juce::parseXML(file);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->getChildByName("ProgramListHeight")->getStringAttribute("Value"), "35");
    EXPECT_EQ(stored->getChildByName("MidiPortAutoScan")->getStringAttribute("Value"), "0");
    EXPECT_EQ(stored->getChildByName("MidiInPort")->getStringAttribute("Value"), "Synth - Port 1");

    // Back to the automatic search: OK starts one.
    answerDialog([](juce::Component& content) {
        auto& panel = dynamic_cast<PreferencesEditComponent&>(content);
        panel.getManualPortToggle().setToggleState(false, juce::sendNotificationSync);
        panel.buttonClicked(&panel.getOkButton());
        return 1;
    });
    EXPECT_TRUE(performFileCommand(cmdPreferences));
    EXPECT_TRUE(manager->isAutoScan);
    EXPECT_TRUE(midi::midiDeviceScanInProgress);
    EXPECT_TRUE(manager->getScanner().isScanning());
    EXPECT_TRUE(testsupport::runMessageLoopUntil([] { return !midi::midiDeviceScanInProgress; }));
}

TEST_F(CommandTest, TheTuningDialogsOpenUnderTheirTitles)
{
    struct Row
    {
        int command;
        const char* titleKey;
        juce::Point<int> size;
    };
    const Row rows[] = {{cmdImportTuningWindow, "ImportTuningDialogTitle", {470, 144}},
                        {cmdTuningTemplate, "TuningTemplateDialogTitle", {250, 100}}};
    for (const auto& row : rows)
    {
        dialogs.clear();
        juce::Point<int> size;
        answerDialog([&](juce::Component& content) {
            size = content.getBounds().getBottomRight();
            return 0;
        });
        EXPECT_TRUE(performFileCommand(row.command));
        ASSERT_EQ(dialogs.size(), 1u) << row.command;
        EXPECT_EQ(dialogs[0].title, text(row.titleKey));
        EXPECT_TRUE(dialogs[0].modalStateSet);
        EXPECT_EQ(size, row.size);
        EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
    }
}

// Open Preset Window shows the window, and brings the open one forward instead of opening another.
TEST_F(CommandTest, OpenPresetWindowShowsOneWindow)
{
    EXPECT_TRUE(performFileCommand(cmdOpenPresetWindow));
    auto* manager = x47390_ui::PresetWindowManager::getInstance();
    auto* window = manager->getPresetWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());

    EXPECT_TRUE(performFileCommand(cmdOpenPresetWindow));
    EXPECT_EQ(manager->getPresetWindow(), window);
    delete manager;
}

// A dialog that fails with an exception still ends the modal state it began: the commands stay usable.
TEST_F(CommandTest, ADialogThatThrowsLeavesTheCommandsEnabled)
{
    const std::function<void()> dialogsThatBeginTheState[] = {
        [] { runAlertDialog(AlertDialogComponent::okCancel, "Title", "Message"); },
        [] { confirmWriteToDevice(); },
        [] { confirmWriteUserData(); },
    };
    for (const auto& show : dialogsThatBeginTheState)
    {
        answerDialog([](juce::Component&) -> int { throw std::runtime_error("the dialog failed"); });
        EXPECT_THROW(show(), std::runtime_error);
        EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
        EXPECT_TRUE(ApplicationMenuCommands::isCommandEnabled(cmdOpen));
    }
}
