#include "app/FileCommands.h"

#include "app/ApplicationCommandIds.h"
#include "app/CJQZResource.h"
#include "app/DocumentOperations.h"
#include "app/ErrorMessages.h"
#include "app/PreferencesData.h"
#include "app/ApplicationStartup.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "files/FileExtensionChecker.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileWriter.h"
#include "files/ProgramFileWriter.h"
#include "files/TuneOctFileReader.h"
#include "files/TuneOctFileWriter.h"
#include "files/TuneScaleFileReader.h"
#include "files/TuneScaleFileWriter.h"
#include "files/VoicingEditorLibraryDataImporter.h"
#include "midi/MidiDeviceManager.h"
#include "tuning/TuningImportComponent.h"
#include "tuning/TuningTemplateComponent.h"
#include "ui/AboutComponent.h"
#include "ui/AlertDialogComponent.h"
#include "ui/DebugWindow.h"
#include "ui/FileChooserRunner.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/PreferencesEditComponent.h"
#include "ui/PresetWindowManager.h"
#include "ui/PresetInformationEditComponent.h"

#include <memory>

namespace x47390_menu
{
namespace
{
using Mode = ui::FileChooserRequest::Mode;
namespace Extension = file::FileExtension;

// Windows and dialog bodies that other parts of the program provide. Until they are there the commands
// that show them open nothing.
std::unique_ptr<juce::Component> createAboutContent() { return std::make_unique<AboutComponent>(); }

void openDebugWindow() { x47390_debug::DebugWindowManager::getInstance()->openDebugWindow(); }

QuitRequest& quitRequest()
{
    static QuitRequest instance;
    return instance;
}

void requestQuit()
{
    if (quitRequest())
        quitRequest()();
    else
        juce::JUCEApplicationBase::quit();
}

bool isModalDialogOpen() { return ui::ModalDialogState::getInstance()->isModalDialogOpen(); }

// The first chosen file, or none when the chooser was cancelled.
juce::File chooseFile(Mode mode, const char* titleKey, const juce::StringArray& extensions,
                      const juce::String& forcedExtension = {})
{
    const auto chosen = ui::runFileChooserInModalState(
        ui::makeFileChooserRequest(mode, titleKey, extensions, forcedExtension));
    return chosen.isEmpty() ? juce::File() : chosen.getFirst();
}

bool wasChosen(const juce::File& file) { return file != juce::File(); }

void showWriteError(int result)
{
    if (result != 0)
        showWriteErrorMessage(result);
}

x47390_data::LibraryData& library() { return x47390_data::DataCenter::getInstance()->getLibraryData(); }

// A dialog that must not open over another one; false when one was already open. Its body is made once the
// dialog may open, and deleted before the result is handled.
template <class CreateContent, class OnResult>
bool runCommandDialog(const char* titleKey, CreateContent&& createContent, OnResult&& onResult)
{
    ui::ScopedModalDialog modal;
    if (modal.wasAlreadyOpen())
        return false;
    std::unique_ptr<juce::Component> content = createContent();
    if (content == nullptr)
        return true;
    const int result = ui::runModalDialog(*content, CJQZResource::getInstance()->getString(titleKey));
    content.reset();
    onResult(result);
    return true;
}

template <class CreateContent>
bool runCommandDialog(const char* titleKey, CreateContent&& createContent)
{
    return runCommandDialog(titleKey, std::forward<CreateContent>(createContent), [](int) {});
}

template <class Content>
std::unique_ptr<juce::Component> make()
{
    return std::make_unique<Content>();
}

void newLibrary()
{
    if (confirmDiscardChanges() != 0)
        return;
    replaceLibraryDocument(nullptr, juce::File());
}

void openLibrary()
{
    if (confirmDiscardChanges() == 0 && !isModalDialogOpen())
    {
        const auto file = chooseFile(Mode::openOne, "FileOpenLibraryTitle", {Extension::library});
        if (wasChosen(file))
            if (const int result = openLibraryFile(file); result != 0)
                showReadErrorMessage(result);
    }
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

void loadProgram()
{
    const int index = getSelectedProgramIndex();
    if (!isModalDialogOpen() && index >= 0)
    {
        const auto file = chooseFile(Mode::openOne, "FileLoadProgramTitle", {Extension::program});
        if (wasChosen(file))
            if (const int result = loadProgramFile(file, index); result != 0)
                showReadErrorMessage(result);
    }
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

void saveProgram()
{
    const int index = getSelectedProgramIndex();
    if (isModalDialogOpen() || index < 0)
        return;
    const auto file = chooseFile(Mode::save, "FileSaveProgramTitle", {Extension::program}, Extension::program);
    if (wasChosen(file))
        showWriteError(x47390_file::ProgramFileWriter(&library().getProgramData(index)).write(file));
}

constexpr int numTuningSlots = x47390_data::LibraryData::numTuneOcts + x47390_data::LibraryData::numTuneScales;

bool isOctaveSlot(int slot) { return slot < x47390_data::LibraryData::numTuneOcts; }

// Reads a tuning file into a fresh record and installs it in the slot as one undoable transaction.
template <class Tuning, class Reader, class Action>
void loadTuningFile(const juce::File& file, int index, const char* transactionName)
{
    Tuning tuning;
    if (const int result = Reader(&tuning).read(file); result != 0)
    {
        showReadErrorMessage(result);
        return;
    }
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction(transactionName);
    undoManager->perform(new Action(index, tuning));
}

void loadTuning()
{
    const int slot = currentTuningSlot;
    if (isModalDialogOpen() || slot >= numTuningSlots)
        return;

    if (isOctaveSlot(slot))
    {
        const auto file = chooseFile(Mode::openOne, "FileLoadTuneOctTitle",
                                     {Extension::tuneOct, Extension::dorvantinTuneOct, Extension::quintavalTuneOct,
                                      Extension::dorvantinZqTuneOct});
        if (wasChosen(file))
            loadTuningFile<x47390_data::TuneOctData, x47390_file::TuneOctFileReader,
                           x47390_action::SetTuneOctDataAction>(file, slot, "LoadTuneOct");
        return;
    }
    const auto file = chooseFile(Mode::openSeveral, "FileLoadTuneScaleTitle",
                                 {Extension::tuneScale, Extension::dorvantinTuneScale, Extension::quintavalTuneScale,
                                  Extension::dorvantinZqTuneScale});
    if (wasChosen(file))
        loadTuningFile<x47390_data::TuneScaleData, x47390_file::TuneScaleFileReader,
                       x47390_action::SetTuneScaleDataAction>(file, slot - x47390_data::LibraryData::numTuneOcts,
                                                              "LoadTuneScale");
}

void saveTuning()
{
    const int slot = currentTuningSlot;
    if (isModalDialogOpen() || slot >= numTuningSlots)
        return;

    if (isOctaveSlot(slot))
    {
        const auto file = chooseFile(Mode::save, "FileSaveTuneOctTitle", {Extension::tuneOct}, Extension::tuneOct);
        if (wasChosen(file))
            showWriteError(x47390_file::TuneOctFileWriter(&library().getTuneOctData(slot)).write(file));
        return;
    }
    const auto file = chooseFile(Mode::save, "FileSaveTuneScaleTitle", {Extension::tuneScale}, Extension::tuneScale);
    if (wasChosen(file))
        showWriteError(
            x47390_file::TuneScaleFileWriter(&library().getTuneScaleData(slot - x47390_data::LibraryData::numTuneOcts))
                .write(file));
}

void importPresetFileCommand()
{
    if (isModalDialogOpen())
        return;
    const auto file = chooseFile(Mode::openOne, "FileImportPresetTitle", {Extension::preset}, Extension::preset);
    if (wasChosen(file))
        importPresetFileChecked(file);
}

// The older editor's library replaces the whole document; like Open it asks about unsaved edits first.
void importOlderEditorFile()
{
    if (confirmDiscardChanges() != 0 || isModalDialogOpen())
        return;
    const auto file =
        chooseFile(Mode::openOne, "FileImportVeTitle", {Extension::olderEditorLibrary}, Extension::olderEditorLibrary);
    if (!wasChosen(file))
        return;
    auto imported = std::make_unique<x47390_data::LibraryData>();
    if (const int result = x47390_file::VoicingEditorLibraryDataImporter(imported.get()).read(file); result != 0)
    {
        showReadErrorMessage(result);
        return;
    }
    replaceLibraryDocument(imported.get(), juce::File());
}

// Saves only after OK in the information dialog: Cancel, Escape and the close button all abandon the save.
void savePreset()
{
    if (isModalDialogOpen())
        return;
    const auto file = chooseFile(Mode::save, "FileSavePresetTitle", {Extension::preset}, Extension::preset);
    if (!wasChosen(file))
        return;

    auto content = std::make_unique<PresetInformationEditComponent>();
    auto* modalState = ui::ModalDialogState::getInstance();
    modalState->setModalDialogOpen(true);
    ui::runModalDialog(*content, CJQZResource::getInstance()->getString("PresetInformationEditTitle"));
    modalState->setModalDialogOpen(false);
    if (!content->wasConfirmed())
        return;

    auto preset = std::make_unique<x47390_data::PresetData>();
    preset->information.copyFrom(content->getInformation());
    content.reset();
    const auto& source = library();
    for (int n = 0; n < x47390_data::PresetData::numPrograms; ++n)
    {
        auto& program = preset->programs[(size_t) n];
        program.binary = source.getProgramData(n).binary;
        program.md5 = source.getProgramData(n).md5;
        program.information = {};
    }
    showWriteError(x47390_file::PresetFileWriter(preset.get()).write(file));
}

void openPresetWindow()
{
    auto* manager = x47390_ui::PresetWindowManager::getInstance();
    if (auto* window = manager->getPresetWindow())
        window->toFront(true);
    else
        manager->showPresetWindow();
}

bool exitProgram()
{
    if (isQuitRefused() || confirmDiscardChanges() != 0)
        return false;
    requestQuit();
    return true;
}

bool showPreferences()
{
    return runCommandDialog("PreferencesDialogTitle", make<PreferencesEditComponent>, [](int result) {
        if (result == 0)
            return;
        auto* preferences = x47390_preferences::PreferencesData::getInstance();
        preferences->save();
        applyMidiPortPreferences();
        if (preferences->getBoolValue("MidiPortAutoScan", true))
            midi::MidiDeviceManager::getInstance()->startDeviceScan();
        applyProgramListFontHeight();
    });
}

juce::File presetFolder()
{
    x47390_file::PresetFileManager::getInstance();
    x47390_preferences::PreferencesData::getInstance();
    return x47390_preferences::PreferencesData::getPreferencesFolder().getChildFile(
        x47390_file::PresetFileManager::presetFolderName);
}

// Removes the installed preset libraries and quits; the next start installs the factory library again. It
// deletes files, so it asks first, with Cancel as the answer Return gives.
bool initialise()
{
    if (isQuitRefused() || confirmDiscardChanges() != 0)
        return false;
    const auto folder = presetFolder();
    auto* resource = CJQZResource::getInstance();
    if (runAlertDialog(AlertDialogComponent::okCancel, resource->getString("InitialiseCheckTitle"),
                       resource->getString("InitialiseCheckMessage") + "\n" + folder.getFullPathName(), true)
        != 1)
        return false;
    if (folder.getFullPathName().isNotEmpty() && folder.exists())
        folder.deleteRecursively();
    requestQuit();
    return true;
}
} // namespace

bool performFileCommand(int commandId)
{
    switch (commandId)
    {
        case cmdNew: newLibrary(); return true;
        case cmdOpen: openLibrary(); return true;
        case cmdSave: saveLibrary(); return true;
        case cmdSaveAs: saveLibraryAs(); return true;
        case cmdLoadProgram: loadProgram(); return true;
        case cmdSaveProgram: saveProgram(); return true;
        case cmdLoadTuning: loadTuning(); return true;
        case cmdSaveTuning: saveTuning(); return true;
        case cmdImportTuningWindow:
            return runCommandDialog("ImportTuningDialogTitle", make<TuningImportComponent>);
        case cmdImportPresetFile: importPresetFileCommand(); return true;
        case cmdImportVoicingEditorFile: importOlderEditorFile(); return true;
        case cmdSavePreset: savePreset(); return true;
        case cmdExit: return exitProgram();
        case cmdTuningTemplate:
            return runCommandDialog("TuningTemplateDialogTitle", make<TuningTemplateComponent>);
        case cmdPreferences: return showPreferences();
        case cmdOpenPresetWindow: openPresetWindow(); return true;
        case cmdAbout: return runCommandDialog("AboutDialogTitle", createAboutContent);
        case cmdInitialise: return initialise();
        case cmdOpenDebugWindow: openDebugWindow(); return true;
        default: return false;
    }
}

bool isQuitRefused()
{
    // Some dialogs (the program's tuning) leave the commands enabled, so the toolkit's own count is asked too.
    return isModalDialogOpen() || juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0
           || midi::midiDeviceScanInProgress;
}

void setQuitRequest(QuitRequest request) { quitRequest() = std::move(request); }
} // namespace x47390_menu
