#include "app/DocumentOperations.h"

#include "app/CJQZResource.h"
#include "app/ErrorMessages.h"
#include "data/ApplicationUndoManager.h"
#include "data/CurrentProgramData.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "data/ProgramEditActions.h"
#include "data/UserUnitEditActions.h"
#include "files/FileExtensionChecker.h"
#include "files/FileReader.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/PresetFileManager.h"
#include "files/ProgramFileReader.h"
#include "files/UserUnitFileReader.h"
#include "platform/system/RegularFileInputStream.h"
#include "ui/AlertDialogComponent.h"
#include "ui/FileChooserRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"

#include <memory>

namespace
{
void clearEditedFlag()
{
    auto* status = application::DataEditStatus::getInstance();
    if (status->isEdited())
        status->setEdited(false);
}

void refreshCurrentLibraryProgram()
{
    auto* current = x47390_data::CurrentProgramData::getInstance();
    if (current->getKind() == x47390_data::CurrentProgramData::libraryProgram)
        current->refresh();
}

template <class Entry, class Action>
void performUnitLoad(const juce::MemoryBlock& payload, int slotIndex, const char* transactionName)
{
    Entry entry;
    entry.setLoadedUnit(payload);
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction(transactionName);
    undoManager->perform(new Action(slotIndex, entry));
}
} // namespace

int openLibraryFile(const juce::File& file)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    x47390_file::LibraryFileReader reader(library.get());
    if (const int result = reader.read(file); result != 0)
        return result;

    replaceLibraryDocument(library.get(), file);
    return 0;
}

void replaceLibraryDocument(const x47390_data::LibraryData* source, const juce::File& file)
{
    auto& library = x47390_data::DataCenter::getInstance()->getLibraryData();
    if (source != nullptr)
        library.copyFrom(*source);
    else
        library.initialise();
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
    refreshCurrentLibraryProgram();
    application::LastSavedFileStatus::getInstance()->setFile(file);
    clearEditedFlag();
    application::ApplicationUndoManager::getInstance()->clearUndoHistory();
}

int saveLibraryFile(const juce::File& file)
{
    x47390_file::LibraryFileWriter writer(&x47390_data::DataCenter::getInstance()->getLibraryData());
    if (const int result = writer.write(file); result != 0)
        return result;

    application::LastSavedFileStatus::getInstance()->setFile(file);
    clearEditedFlag();
    return 0;
}

int loadProgramFile(const juce::File& file, int programIndex)
{
    x47390_data::ProgramData program;
    x47390_file::ProgramFileReader reader(&program);
    if (const int result = reader.read(file); result != 0)
        return result;

    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("LoadProgram");
    undoManager->perform(new x47390_action::SetProgramDataAction(programIndex, program));
    return 0;
}

int importPresetFile(const juce::File& file)
{
    // What is there but cannot be read (permissions, a FIFO, a folder) is not a preset file that failed.
    if (platform::RegularFileInputStream(file).getStatus() == platform::RegularFileInputStream::Status::refused)
        return file::ReadError::openFile;
    if (!x47390_file::PresetFileManager::getInstance()->importPresetFile(file))
        return file::ReadError::failedToImportPresetData;
    return reloadPresetLibraries();
}

int reloadPresetLibraries()
{
    const int result = x47390_file::PresetFileManager::getInstance()->reloadPresetLibraries();
    if (result == 0)
        refreshCurrentLibraryProgram();
    return result;
}

bool saveLibrary()
{
    const auto& file = application::LastSavedFileStatus::getInstance()->getFile();
    if (file.getFullPathName().isEmpty())
        return saveLibraryAs();

    if (const int result = saveLibraryFile(file); result != 0)
    {
        showWriteErrorMessage(result);
        return false;
    }
    return true;
}

bool saveLibraryAs()
{
    if (ui::ModalDialogState::getInstance()->isModalDialogOpen())
        return false;

    const auto chosen = ui::runFileChooserInModalState(ui::makeFileChooserRequest(
        ui::FileChooserRequest::Mode::save, "FileSaveLibraryTitle", {file::FileExtension::library},
        file::FileExtension::library));
    if (chosen.isEmpty())
        return false;

    if (const int result = saveLibraryFile(chosen[0]); result != 0)
    {
        showWriteErrorMessage(result);
        return false;
    }
    return true;
}

int getSelectedProgramIndex()
{
    const auto& selection = ui::SelectedProgramStatus::getInstance()->selection;
    return selection.empty() ? -1 : selection.front();
}

int confirmDiscardChanges()
{
    if (!application::DataEditStatus::getInstance()->isEdited())
        return 0;

    auto* resource = CJQZResource::getInstance();
    const int answer = runAlertDialog(AlertDialogComponent::yesNoCancel, resource->getString("FileDiscardCheckTitle"),
                                      resource->getString("FileDiscardCheckMessage"));
    switch (answer)
    {
        case 1: return saveLibrary() ? 0 : 1;
        case 2: return 0;
        default: return 1;
    }
}

void openLibraryFileChecked(const juce::File& file)
{
    if (confirmDiscardChanges() != 0)
        return;
    if (const int result = openLibraryFile(file); result != 0)
        showReadErrorMessage(result);
}

void loadProgramFileIntoSelection(const juce::File& file)
{
    const auto& selection = ui::SelectedProgramStatus::getInstance()->selection;
    if (selection.size() != 1)
        return;
    if (const int result = loadProgramFile(file, selection.front()); result != 0)
        showReadErrorMessage(result);
}

void importPresetFileChecked(const juce::File& file)
{
    if (const int result = importPresetFile(file); result != 0)
        showReadErrorMessage(result);
}

void loadUserUnitFile(const juce::File& file, int slotIndex, int expectedModuleType)
{
    x47390_data::UserUnitData unit;
    x47390_file::UserUnitFileReader reader(&unit);
    if (const int result = reader.read(file); result != 0)
    {
        showReadErrorMessage(result);
        return;
    }

    // The module type is the low 7 bits of the payload's first little-endian word.
    const auto& payload = unit.unitData;
    if (payload.isEmpty())
    {
        showReadErrorMessage(expectedModuleType == anyModuleType ? file::ReadError::failedToImportUserUnitData
                                                                 : file::ReadError::userUnitFileWrongModule);
        return;
    }
    const int moduleType = static_cast<const juce::uint8*>(payload.getData())[0] & 0x7f;
    if (expectedModuleType != anyModuleType && moduleType != expectedModuleType)
    {
        showReadErrorMessage(file::ReadError::userUnitFileWrongModule);
        return;
    }

    switch (moduleType)
    {
        case 1:
            performUnitLoad<x47390_data::UserModFXData, x47390_action::SetUserModFXDataAction>(payload, slotIndex,
                                                                                               "LoadUserModFXData");
            break;
        case 2:
            performUnitLoad<x47390_data::UserDelFXData, x47390_action::SetUserDelFXDataAction>(payload, slotIndex,
                                                                                               "LoadUserDelFXData");
            break;
        case 3:
            performUnitLoad<x47390_data::UserRevFXData, x47390_action::SetUserRevFXDataAction>(payload, slotIndex,
                                                                                               "LoadUserRevFXData");
            break;
        case 4:
            performUnitLoad<x47390_data::UserOscData, x47390_action::SetUserOscDataAction>(payload, slotIndex,
                                                                                           "LoadUserOscData");
            break;
        default: showReadErrorMessage(file::ReadError::failedToImportUserUnitData); break;
    }
}
