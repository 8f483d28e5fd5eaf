#include "app/ApplicationMenuManager.h"

#include "app/ApplicationCommandIds.h"
#include "app/CJQZResource.h"
#include "app/DebugModeModel.h"
#include "data/ApplicationUndoManager.h"

namespace x47390_menu
{
ApplicationMenuManager* ApplicationMenuManager::getInstance()
{
    if (auto* existing = getInstanceWithoutCreating())
        return existing;
    juce::Desktop::getInstance();
    application::ApplicationUndoManager::getInstance();
    ui::SelectedProgramStatus::getInstance();
    ui::ModalDialogState::getInstance();
    return Singleton<ApplicationMenuManager>::getInstance();
}

ApplicationMenuManager::ApplicationMenuManager()
{
    auto* undoManager = application::ApplicationUndoManager::getInstance();

    commandManager.registerAllCommandsForTarget(&commands);
    setApplicationCommandManagerToWatch(&commandManager);
    commandManager.setFirstCommandTarget(&invoker);

    ui::SelectedProgramStatus::getInstance()->addListener(this);
    ui::ModalDialogState::getInstance()->addListener(this);
    undoManager->addChangeListener(this);
}

ApplicationMenuManager::~ApplicationMenuManager()
{
    if (auto* undoManager = application::ApplicationUndoManager::getInstanceWithoutCreating())
        undoManager->removeChangeListener(this);
    if (auto* modalState = ui::ModalDialogState::getInstanceWithoutCreating())
        modalState->removeListener(this);
    if (auto* programStatus = ui::SelectedProgramStatus::getInstanceWithoutCreating())
        programStatus->removeListener(this);
    setApplicationCommandManagerToWatch(nullptr);
    commandManager.setFirstCommandTarget(nullptr);
}

juce::StringArray ApplicationMenuManager::getMenuBarNames()
{
    auto* resource = CJQZResource::getInstance();
    return {resource->getString("MenuCategoryFile"), resource->getString("MenuCategoryEdit"),
            resource->getString("MenuCategoryMidi"), resource->getString("MenuCategoryOption")};
}

juce::Array<int> ApplicationMenuManager::getMenuItems(int menuIndex)
{
    const auto* debugMode = x47390_application::DebugModeModel::getInstance();
    switch (menuIndex)
    {
        case 0:
        {
            juce::Array<int> items{cmdNew, cmdOpen, cmdSave, cmdSaveAs, 0, cmdLoadProgram, cmdSaveProgram, 0,
                                   cmdLoadTuning, cmdSaveTuning, 0, cmdImportTuningWindow, cmdExportTuning, 0,
                                   cmdImportPresetFile};
            if (debugMode->isDeveloperMode)
                items.addArray(juce::Array<int>{0, cmdSavePreset});
            // No application menu on Linux: Quit closes the File menu, where users look for it.
            items.addArray(juce::Array<int>{0, cmdExit});
            return items;
        }
        case 1: return {cmdUndo, cmdRedo, 0, cmdCut, cmdCopy, cmdPaste, cmdClear};
        case 2:
            return {cmdReceiveLibrary, cmdWriteLibrary, 0, cmdReceiveProgram, cmdWriteProgram, 0,
                    cmdReceiveUserData, cmdWriteUserData};
        case 3:
        {
            juce::Array<int> items{cmdOpenPresetWindow, 0, cmdPreferences, 0, cmdAbout, 0, cmdInitialise};
            if (debugMode->isDebugMode)
                items.addArray(juce::Array<int>{0, cmdOpenDebugWindow});
            return items;
        }
        default: return {};
    }
}

juce::PopupMenu ApplicationMenuManager::getMenuForIndex(int menuIndex, const juce::String&)
{
    juce::PopupMenu menu;
    for (const auto item : getMenuItems(menuIndex))
    {
        if (item == 0)
            menu.addSeparator();
        else
            menu.addCommandItem(&commandManager, item);
    }
    menu.setLookAndFeel(&lookAndFeel);
    return menu;
}

void ApplicationMenuManager::menuItemSelected(int, int) {}

void ApplicationMenuManager::selectedProgramStatusChanged() { commandManager.commandStatusChanged(); }

void ApplicationMenuManager::modalDialogStateChanged() { commandManager.commandStatusChanged(); }

void ApplicationMenuManager::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (source == application::ApplicationUndoManager::getInstanceWithoutCreating())
        commandManager.commandStatusChanged();
}
} // namespace x47390_menu
