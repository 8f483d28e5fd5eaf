#include "tests/app/CommandTestSupport.h"

#include "app/CJQZResource.h"
#include "app/DebugModeModel.h"
#include "app/ErrorMessages.h"
#include "app/FileCommands.h"
#include "app/PreferencesData.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "data/ProgramEditActions.h"
#include "data/TuningSelection.h"
#include "files/LibraryFileWriter.h"
#include "files/PresetFileManager.h"
#include "midi/MidiDeviceManager.h"
#include "ui/AlertDialogComponent.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"
#include "ui/SelectedTabStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace commandtest
{
namespace
{
// The stores that remember their folder are made again from the test's own folder.
void deleteFolderBoundStores()
{
    delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
    delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
}

bool modalStateSet() { return ui::ModalDialogState::getInstance()->isModalDialogOpen(); }
} // namespace

void CommandTest::SetUp()
{
    deleteFolderBoundStores();
    setenv("XDG_CONFIG_HOME", temp.file("config").getFullPathName().toRawUTF8(), 1);
    delete midi::MidiDeviceManager::getInstanceWithoutCreating();
    platform::midi::MidiBackend::setDefault(fabric);
    midi::midiDeviceScanInProgress = false;

    // Texts are compared with the table's; an empty table would make those comparisons pass unseen.
    if (CJQZResource::getInstance()->getString("CommonOK").isEmpty())
        ADD_FAILURE() << "the program's texts were not found";

    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
    library().initialise();
    application::DataEditStatus::getInstance()->setEdited(false);
    application::LastSavedFileStatus::getInstance()->setFile(juce::File());
    application::ApplicationUndoManager::getInstance()->clearUndoHistory();
    ui::SelectedTabStatus::getInstance()->setTab(0, "PROGRAM");
    selectPrograms({0});
    ui::SelectedUserOscStatus::getInstance()->setSelection({});
    ui::SelectedUserModFXStatus::getInstance()->setSelection({});
    ui::SelectedUserDelFXStatus::getInstance()->setSelection({});
    ui::SelectedUserRevFXStatus::getInstance()->setSelection({});
    currentTuningSlot = 6;
    auto* debugMode = x47390_application::DebugModeModel::getInstance();
    debugMode->isDeveloperMode = false;
    debugMode->isDebugMode = false;

    ui::setFileChooserScript([this](const ui::FileChooserRequest& request) {
        choosers.push_back({request, modalStateSet()});
        if (chooserAnswers.empty())
            return juce::Array<juce::File>();
        auto answer = chooserAnswers.front();
        chooserAnswers.pop_front();
        return answer;
    });
    ui::setModalDialogScript([this](juce::Component& content, const juce::String& title) {
        DialogCall call{title, {}, modalStateSet()};
        if (auto* alert = dynamic_cast<AlertDialogComponent*>(&content))
            call.message = alert->getMessageDisplay().getText();
        dialogs.push_back(call);
        if (dialogAnswers.empty())
            return 0;
        auto answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        return answer(content);
    });
    x47390_menu::setQuitRequest([this] { ++quitRequests; });
    testsupport::drainMessageLoop();
}

void CommandTest::TearDown()
{
    ui::setFileChooserScript(nullptr);
    ui::setModalDialogScript(nullptr);
    x47390_menu::setQuitRequest(nullptr);
    // A search started by a test ends before the manager goes.
    if (auto* manager = midi::MidiDeviceManager::getInstanceWithoutCreating())
        testsupport::runMessageLoopUntil([manager] { return !manager->getScanner().isScanning(); });
    testsupport::drainMessageLoop();
    delete midi::MidiDeviceManager::getInstanceWithoutCreating();
    platform::midi::MidiBackend::setDefault(nullptr);
    midi::midiDeviceScanInProgress = false;
    deleteFolderBoundStores();
}

void CommandTest::answerDialog(int result)
{
    dialogAnswers.push_back([result](juce::Component&) { return result; });
}

juce::StringArray CommandTest::alertMessages() const
{
    juce::StringArray messages;
    for (const auto& call : dialogs)
        if (call.message.isNotEmpty())
            messages.add(call.message);
    return messages;
}

x47390_data::LibraryData& CommandTest::library() { return x47390_data::DataCenter::getInstance()->getLibraryData(); }

void CommandTest::editLibrary(const juce::String& programName)
{
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteProgramName");
    undoManager->perform(new x47390_action::SetProgramNameAction(0, programName));
}

bool CommandTest::isEdited() { return application::DataEditStatus::getInstance()->isEdited(); }

juce::File CommandTest::currentFile() { return application::LastSavedFileStatus::getInstance()->getFile(); }

bool CommandTest::canUndo() { return application::ApplicationUndoManager::getInstance()->canUndo(); }

void CommandTest::selectPrograms(const std::vector<int>& rows)
{
    ui::SelectedProgramStatus::getInstance()->setSelection(rows);
}

juce::File CommandTest::writeLibraryFile(const juce::String& fileName, const juce::String& programName) const
{
    auto content = std::make_unique<x47390_data::LibraryData>();
    content->getProgramData(0).setName(programName);
    content->getProgramData(0).updateHash();
    const auto target = file(fileName);
    EXPECT_EQ(x47390_file::LibraryFileWriter(content.get()).write(target), 0);
    return target;
}

juce::String readErrorText(int code) { return CJQZResource::getInstance()->getString(getReadErrorKey(code)); }

juce::String writeErrorText(int code) { return CJQZResource::getInstance()->getString(getWriteErrorKey(code)); }

juce::String storedName(const juce::String& name)
{
    x47390_data::ProgramData program;
    program.setName(name);
    return program.getName();
}

StandardErrorCapture::StandardErrorCapture()
{
    std::fflush(stderr);
    savedDescriptor = ::dup(2);
    const int capture = ::open(folder.file("stderr.txt").getFullPathName().toRawUTF8(), O_WRONLY | O_CREAT, 0600);
    ::dup2(capture, 2);
    ::close(capture);
}

StandardErrorCapture::~StandardErrorCapture()
{
    std::fflush(stderr);
    ::dup2(savedDescriptor, 2);
    ::close(savedDescriptor);
}

juce::String StandardErrorCapture::text()
{
    std::fflush(stderr);
    return folder.file("stderr.txt").loadFileAsString();
}
} // namespace commandtest
