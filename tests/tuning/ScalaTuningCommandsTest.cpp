#include "app/ApplicationMenuCommands.h"
#include "app/CJQZResource.h"
#include "files/ScalaDataImporter.h"
#include "tests/data/EditTestSupport.h"
#include "tests/support/RealProgram.h"
#include "tuning/TuningImportComponent.h"
#include "ui/AlertDialogComponent.h"
#include "ui/FileChooserRunner.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"

#include <gtest/gtest.h>

namespace
{
using x47390_data::DataCenter;

struct DataChangeCounter : data::DataChangeObserver
{
    DataChangeCounter() { data::DataChangeBroadcaster::getInstance()->addListener(this); }
    ~DataChangeCounter() override
    {
        if (auto* b = data::DataChangeBroadcaster::getInstanceWithoutCreating())
            b->removeListener(this);
    }
    void dataChanged() override { ++calls; }
    int calls = 0;
};

// Answers every chooser with the next queued file (an empty file: cancelled) and every dialog by
// recording its title and message.
struct ScalaCommandsTest : ::testing::Test
{
    void SetUp() override
    {
        edittest::resetSingletons();
        x47390_file::ScalaDataImporter::resetKeyboardMapping();
        ui::setFileChooserScript([this](const ui::FileChooserRequest& request)
        {
            requests.push_back(request);
            modalDuringChooser.push_back(ui::ModalDialogState::getInstance()->isModalDialogOpen());
            if (answers.empty())
                return juce::Array<juce::File>();
            const auto file = answers.front();
            answers.erase(answers.begin());
            return file == juce::File() ? juce::Array<juce::File>() : juce::Array<juce::File>{file};
        });
        ui::setModalDialogScript([this](juce::Component& content, const juce::String& title)
        {
            juce::String message;
            if (auto* alert = dynamic_cast<AlertDialogComponent*>(&content))
                message = alert->getMessageDisplay().getText();
            alerts.push_back(title + ": " + message);
            return 1;
        });
    }

    void TearDown() override
    {
        ui::setFileChooserScript({});
        ui::setModalDialogScript({});
        x47390_file::ScalaDataImporter::resetKeyboardMapping();
        ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
        edittest::resetSingletons();
    }

    juce::File write(const juce::String& name, const juce::String& text)
    {
        const auto file = folder.file(name);
        file.replaceWithText(text);
        return file;
    }

    static juce::String text(const char* key) { return CJQZResource::getInstance()->getString(key); }
    static x47390_data::LibraryData& library() { return DataCenter::getInstance()->getLibraryData(); }

    testsupport::TemporaryFolder folder;
    std::vector<juce::File> answers;
    std::vector<ui::FileChooserRequest> requests;
    std::vector<bool> modalDuringChooser;
    std::vector<juce::String> alerts;
    x47390_menu::ApplicationMenuCommands commands;
};

const char* const quarterToneScale = "! quarter.scl\n!\nQuarter tones\n 2\n!\n 50.0\n 2/1\n";
} // namespace

TEST_F(ScalaCommandsTest, ImportingAScaleFillsTheCurrentUserScaleAsOneUndoStep)
{
    DataChangeCounter changes;
    currentTuningSlot = 7;
    answers = {write("quarter.scl", quarterToneScale)};
    commands.importScalaTuning();

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].title, text("FileImportTuneScaleTitle"));
    EXPECT_EQ(requests[0].extensions, juce::StringArray(".scl"));
    EXPECT_EQ(requests[0].mode, ui::FileChooserRequest::Mode::openOne);
    EXPECT_TRUE(modalDuringChooser[0]);
    EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
    EXPECT_TRUE(alerts.empty());

    // Key 1 lies a quarter tone above key 0, key 2 an octave above it.
    const auto& notes = library().getTuneScaleData(1).notes;
    EXPECT_EQ(notes[3], 0);
    EXPECT_EQ(notes[4] * 128 + notes[5], 8192);
    EXPECT_EQ(notes[6], 12);
    testsupport::drainMessageLoop();
    EXPECT_GE(changes.calls, 1);
    EXPECT_TRUE(application::ApplicationUndoManager::getInstance()->undo());
    EXPECT_EQ(library().getTuneScaleData(1).notes, x47390_data::identityTuneScale);
}

TEST_F(ScalaCommandsTest, ChooserTitlesFollowTheSlotAndACancelDoesNothing)
{
    currentTuningSlot = 3;
    answers = {juce::File(), juce::File()};
    commands.importScalaTuning();
    commands.importScalaKeyboardMap();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].title, text("FileImportTuneOctTitle"));
    EXPECT_EQ(requests[1].title, text("FileImportTuneMapOctTitle"));
    EXPECT_EQ(requests[1].extensions, juce::StringArray(".kbm"));
    EXPECT_FALSE(application::ApplicationUndoManager::getInstance()->canUndo());
    EXPECT_TRUE(alerts.empty());
}

TEST_F(ScalaCommandsTest, ImportFailuresShowTheirReadErrors)
{
    answers = {folder.file("missing.scl"), write("bad.scl", "!\nbad\n 3\n 100.0\n"), write("bad.kbm", "x")};
    commands.importScalaTuning();
    commands.importScalaTuning();
    commands.importScalaKeyboardMap();
    const auto title = text("CommonErrorDialogTitle");
    EXPECT_EQ(alerts, (std::vector<juce::String>{title + ": " + text("ReadErrorOpenFile"),
                                                 title + ": " + text("ReadErrorFailedToImportScalaData"),
                                                 title + ": " + text("ReadErrorFailedToImportMapData")}));
    EXPECT_FALSE(application::ApplicationUndoManager::getInstance()->canUndo());
}

TEST_F(ScalaCommandsTest, TheImportDialogShowsTheMapInForceAndKeepsItsModalState)
{
    const auto map = write("whole.kbm", "! whole.kbm\n12\n0\n127\n60\n69\n440.0\n12\n"
                                        "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n");
    auto* modalState = ui::ModalDialogState::getInstance();
    modalState->setModalDialogOpen(true); // as the command showing the dialog does

    TuningImportComponent dialog;
    EXPECT_EQ(dialog.getBounds(), juce::Rectangle<int>(0, 0, 470, 144));
    EXPECT_EQ(dialog.getMapImportButton().getBounds(), juce::Rectangle<int>(96, 24, 88, 24));
    EXPECT_EQ(dialog.getScaleImportButton().getBounds(), juce::Rectangle<int>(96, 65, 88, 24));
    EXPECT_EQ(dialog.getClearButton().getBounds(), juce::Rectangle<int>(376, 24, 62, 24));
    EXPECT_EQ(dialog.getOkButton().getBounds(), juce::Rectangle<int>(368, 112, 94, 24));
    EXPECT_EQ(dialog.getScaleImportButton().getButtonText(), text("CommonImport"));
    EXPECT_EQ(dialog.getClearButton().getButtonText(), text("CommonClear"));

    answers = {map};
    dialog.getMapImportButton().triggerClick();
    testsupport::drainMessageLoop();
    EXPECT_EQ(dialog.getMapFileLabel().getText(), "whole.kbm");
    EXPECT_TRUE(modalDuringChooser.back());
    EXPECT_TRUE(modalState->isModalDialogOpen());

    // A scale import keeps the label; a failed one shows its error even inside the dialog.
    answers = {write("quarter.scl", quarterToneScale), folder.file("gone.scl")};
    dialog.getScaleImportButton().triggerClick();
    dialog.getScaleImportButton().triggerClick();
    testsupport::drainMessageLoop();
    EXPECT_EQ(dialog.getMapFileLabel().getText(), "whole.kbm");
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_TRUE(alerts[0].endsWith(text("ReadErrorOpenFile")));
    EXPECT_TRUE(modalState->isModalDialogOpen());

    const auto shot = dialog.createComponentSnapshot(dialog.getLocalBounds());
    testsupport::keepImage(shot, "tuning/tuning-import");
    EXPECT_EQ(shot.getPixelAt(5, 5), juce::Colour(0xff333333));
    EXPECT_NE(shot.getPixelAt(300, 36), juce::Colour(0xff333333)); // the file name box

    dialog.getClearButton().triggerClick();
    testsupport::drainMessageLoop();
    EXPECT_EQ(dialog.getMapFileLabel().getText(), "");
    EXPECT_EQ(x47390_file::ScalaDataImporter::getKeyboardMap().mapSize, 0);

    // A new dialog shows the map in force as soon as it runs.
    answers = {map};
    commands.importScalaKeyboardMap();
    TuningImportComponent second;
    EXPECT_EQ(second.getMapFileLabel().getText(), "");
    testsupport::drainMessageLoop();
    EXPECT_EQ(second.getMapFileLabel().getText(), "whole.kbm");
}

TEST_F(ScalaCommandsTest, ExportingAnOctaveWritesTheScaleAndItsMapSideBySide)
{
    currentTuningSlot = 0;
    auto& octave = library().getTuneOctData(0);
    octave.notes[0] = 1; // the first note 100 cents sharp
    octave.updateHash();
    folder.file("tuning.kbm").replaceWithText("old");
    answers = {folder.file("tuning")};
    commands.exportScalaTuning();

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].title, text("FileExportTuneOctTitle"));
    EXPECT_EQ(requests[0].mode, ui::FileChooserRequest::Mode::save);
    EXPECT_TRUE(alerts.empty());
    const auto scl = folder.file("tuning.scl").loadFileAsString();
    EXPECT_TRUE(scl.startsWith("! tuning.scl\r\n"));
    EXPECT_TRUE(scl.contains("! Offset:100.000000"));
    const auto kbm = juce::StringArray::fromLines(folder.file("tuning.kbm").loadFileAsString());
    EXPECT_EQ(kbm[0], "! tuning.kbm");
    EXPECT_EQ(kbm[3], "12");
    EXPECT_EQ(kbm[11], " 68");
    EXPECT_EQ(kbm[13], " 440.000000");
    EXPECT_EQ(kbm[17], " 0");
    EXPECT_EQ(kbm[28], " 11");
    EXPECT_EQ(kbm[29], "");
}

TEST_F(ScalaCommandsTest, ExportingAScaleAsksForTheMapFileSeparately)
{
    currentTuningSlot = 11;
    answers = {folder.file("scale.scl"), folder.file("map")};
    commands.exportScalaTuning();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].title, text("FileExportTuneScaleScalaTitle"));
    EXPECT_EQ(requests[1].title, text("FileExportTuneScaleMapTitle"));
    EXPECT_EQ(requests[1].extensions, juce::StringArray(".kbm"));
    EXPECT_TRUE(folder.file("scale.scl").existsAsFile());
    const auto kbm = juce::StringArray::fromLines(folder.file("map.kbm").loadFileAsString());
    EXPECT_EQ(kbm[0], "! map.kbm");
    EXPECT_EQ(kbm[3], "128");
    EXPECT_EQ(kbm[11], " 69");
    EXPECT_EQ(kbm[17 + 127], " 127");

    // Cancelling the second chooser keeps the scale file alone.
    answers = {folder.file("only.scl"), juce::File()};
    commands.exportScalaTuning();
    EXPECT_TRUE(folder.file("only.scl").existsAsFile());
    EXPECT_FALSE(folder.file("only.kbm").exists());
}

// A first note 80 semitones up would need reference key 69 - 80: key 0 carries the same pitch instead, the old
// map is replaced by the complete new one, and the two files import back to the same notes.
TEST_F(ScalaCommandsTest, AScaleStartingHighGetsTheSameMapOnKeyZero)
{
    currentTuningSlot = 6;
    auto& scale = library().getTuneScaleData(0);
    for (int n = 0; n < 128; ++n)
    {
        const int cents = 8000 + n * 37; // up to 12699 cents
        scale.notes[(size_t) n * 3] = (std::uint8_t)(cents / 100);
        scale.notes[(size_t) n * 3 + 1] = (std::uint8_t)((cents % 100) * 16384 / 100 >> 7);
        scale.notes[(size_t) n * 3 + 2] = (std::uint8_t)((cents % 100) * 16384 / 100 & 0x7F);
    }
    scale.updateHash();
    const auto exported = scale.notes;
    folder.file("high.kbm").replaceWithText("old map");
    answers = {folder.file("high.scl"), folder.file("high.kbm")};
    commands.exportScalaTuning();
    EXPECT_TRUE(alerts.size() == 1 && alerts[0].contains(text("FileOverwriteCheckTitle"))); // the old map's question
    EXPECT_TRUE(folder.file("high.scl").existsAsFile());
    const auto kbm = juce::StringArray::fromLines(folder.file("high.kbm").loadFileAsString());
    EXPECT_EQ(kbm[0], "! high.kbm");
    EXPECT_EQ(kbm[9], "60");
    EXPECT_EQ(kbm[11], " 0");

    // Imported back into another user scale: every note to the whole cent.
    currentTuningSlot = 7;
    answers = {folder.file("high.kbm"), folder.file("high.scl")};
    commands.importScalaKeyboardMap();
    commands.importScalaTuning();
    ASSERT_EQ(alerts.size(), 1u);
    const auto& imported = library().getTuneScaleData(1).notes;
    for (int n = 0; n < 128; ++n)
    {
        const auto cents = [n](const auto& notes)
        {
            const auto* e = &notes[(size_t) n * 3];
            return e[0] * 100.0 + (e[1] * 128 + e[2]) * 100.0 / 16384.0;
        };
        EXPECT_NEAR(cents(imported), cents(exported), 0.5) << n;
    }
}

// The choosers ask about the file that will be written, not the name typed.
TEST_F(ScalaCommandsTest, TheOverwriteQuestionNamesTheFileWritten)
{
    folder.file("t.scl").replaceWithText("old scale");
    folder.file("m.kbm").replaceWithText("old map");
    currentTuningSlot = 8;
    answers = {folder.file("t"), folder.file("m")};
    commands.exportScalaTuning();
    const auto question = text("FileOverwriteCheckTitle") + ": " + text("FileOverwriteCheckMessage") + "\n";
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0], question + folder.file("t.scl").getFullPathName());
    EXPECT_EQ(alerts[1], question + folder.file("m.kbm").getFullPathName());
    EXPECT_TRUE(folder.file("t.scl").loadFileAsString().startsWith("! t.scl"));
    EXPECT_TRUE(folder.file("m.kbm").loadFileAsString().startsWith("! m.kbm"));

    // The open choosers force no extension.
    answers = {juce::File()};
    commands.importScalaTuning();
    EXPECT_TRUE(requests.back().forcedExtension.isEmpty());
}

TEST_F(ScalaCommandsTest, ExportDoesNothingWhileADialogIsOpen)
{
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    answers = {folder.file("x.scl")};
    commands.exportScalaTuning();
    EXPECT_TRUE(requests.empty());
}
