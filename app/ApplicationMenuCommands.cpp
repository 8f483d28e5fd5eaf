#include "app/ApplicationMenuCommands.h"

#include "app/ApplicationCommandIds.h"
#include "app/CJQZResource.h"
#include "app/EditCommands.h"
#include "app/FileCommands.h"
#include "app/MidiTransferCommands.h"
#include "data/ApplicationUndoManager.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"
#include "ui/SelectedTabStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

#include <array>

namespace x47390_menu
{
namespace
{
constexpr int commandModifier = juce::ModifierKeys::commandModifier;
constexpr int commandShiftModifier = juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier;

enum class Rule
{
    always,
    oneProgram,
    someProgram,
    canUndo,
    canRedo,
    programTabOneProgram,
    listSelection
};

struct CommandRow
{
    const char* nameKey;
    const char* category;
    int keyCode;
    int modifiers;
    Rule rule;
};

// Indexed by command identifier; row 0 is unused.
constexpr std::array<CommandRow, lastCommand + 1> commandRows{{
    {"", "", 0, 0, Rule::always},
    {"MenuFileNew", "File", 'n', commandModifier, Rule::always},
    {"MenuFileOpen", "File", 'o', commandModifier, Rule::always},
    {"MenuFileSave", "File", 's', commandModifier, Rule::always},
    {"MenuFileSaveAs", "File", 's', commandShiftModifier, Rule::always},
    {"MenuFileLoadProgram", "File", 0, 0, Rule::oneProgram},
    {"MenuFileSaveProgram", "File", 0, 0, Rule::oneProgram},
    {"MenuFileLoadTuning", "File", 0, 0, Rule::always},
    {"MenuFileSaveTuning", "File", 0, 0, Rule::always},
    {"MenuFileImportTuningWindow", "File", 0, 0, Rule::always},
    {"MenuFileImportTuning", "File", 0, 0, Rule::always},
    {"MenuFileImportTuningMap", "File", 0, 0, Rule::always},
    {"MenuFileExportTuning", "File", 0, 0, Rule::always},
    {"MenuFileImportPresetFile", "File", 0, 0, Rule::always},
    {"MenuFileImportVoicingEditorFile", "File", 0, 0, Rule::always},
    {"MenuFileSavePreset", "File", 0, 0, Rule::always},
    {"MenuFileExit", "File", 'q', commandModifier, Rule::always},
    {"MenuFileTuningTemplate", "File", 0, 0, Rule::always},
    {"MenuEditUndo", "Edit", 'z', commandModifier, Rule::canUndo},
    {"MenuEditRedo", "Edit", 'z', commandShiftModifier, Rule::canRedo},
    {"MenuEditCut", "Edit", 'x', commandModifier, Rule::programTabOneProgram},
    {"MenuEditCopy", "Edit", 'c', commandModifier, Rule::programTabOneProgram},
    {"MenuEditPaste", "Edit", 'v', commandModifier, Rule::programTabOneProgram},
    {"MenuEditClear", "Edit", 'k', commandModifier, Rule::listSelection},
    {"MenuEditProgramTuning", "Edit", 0, 0, Rule::oneProgram},
    {"MenuMidiReceiveLibrary", "MIDI", 'l', commandModifier, Rule::always},
    {"MenuMidiWriteLibrary", "MIDI", 't', commandModifier, Rule::always},
    {"MenuMidiReceiveProgram", "MIDI", 0, 0, Rule::someProgram},
    {"MenuMidiWriteProgram", "MIDI", 0, 0, Rule::someProgram},
    {"MenuMidiReceiveTuning", "MIDI", 0, 0, Rule::always},
    {"MenuMidiWriteTuning", "MIDI", 0, 0, Rule::always},
    {"MenuMidiTransCurrentTuning", "MIDI", 0, 0, Rule::always},
    {"MenuOptionPreferences", "Option", ',', commandModifier, Rule::always},
    {"MenuOptionOpenPresetWindow", "Option", 'p', commandModifier, Rule::always},
    {"MenuOptionAbout", "Option", 0, 0, Rule::always},
    // Carries the command modifier without a key, so it has no key press.
    {"MenuOptionInit", "Option", 0, commandModifier, Rule::always},
    {"Open Debug Window", "Option", 0, 0, Rule::always},
    {"MenuMidiReceiveUserEnv", "MIDI", 0, 0, Rule::always},
    {"MenuMidiReceiveUserData", "MIDI", 0, 0, Rule::always},
    {"MenuMidiWriteUserData", "MIDI", 0, 0, Rule::always},
}};

bool isKnownCommand(juce::CommandID id) { return id >= firstCommand && id <= lastCommand; }

// The names are looked up once, in the language active at the first request, and kept until the end.
const juce::StringArray& commandNames()
{
    static const juce::StringArray names = [] {
        juce::StringArray result;
        auto* resource = CJQZResource::getInstance();
        for (int id = 0; id <= lastCommand; ++id)
        {
            if (id == 0)
                result.add({});
            else if (id == cmdOpenDebugWindow)
                result.add(commandRows[(size_t) id].nameKey);
            else
                result.add(resource->getString(commandRows[(size_t) id].nameKey));
        }
        return result;
    }();
    return names;
}

int selectedProgramCount() { return (int) ui::SelectedProgramStatus::getInstance()->selection.size(); }

// The selection of the list on the selected tab; 0 for the microtuning tab.
int selectedRowsOnCurrentList()
{
    switch (ui::SelectedTabStatus::getInstance()->tabIndex)
    {
        case 0: return selectedProgramCount();
        case 1: return (int) ui::SelectedUserOscStatus::getInstance()->selection.size();
        case 2: return (int) ui::SelectedUserModFXStatus::getInstance()->selection.size();
        case 3: return (int) ui::SelectedUserDelFXStatus::getInstance()->selection.size();
        case 4: return (int) ui::SelectedUserRevFXStatus::getInstance()->selection.size();
        default: return 0;
    }
}

bool ruleHolds(Rule rule)
{
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    switch (rule)
    {
        case Rule::always: return true;
        case Rule::oneProgram: return selectedProgramCount() == 1;
        case Rule::someProgram: return selectedProgramCount() > 0;
        case Rule::canUndo: return undoManager->canUndo();
        case Rule::canRedo: return undoManager->canRedo();
        case Rule::programTabOneProgram:
            return ui::SelectedTabStatus::getInstance()->tabIndex == 0 && selectedProgramCount() == 1;
        case Rule::listSelection: return selectedRowsOnCurrentList() > 0;
    }
    return false;
}
} // namespace

juce::ApplicationCommandTarget* ApplicationMenuCommands::getNextCommandTarget()
{
    return dynamic_cast<juce::ApplicationCommandTarget*>(juce::JUCEApplication::getInstance());
}

void ApplicationMenuCommands::getAllCommands(juce::Array<juce::CommandID>& commands)
{
    for (int id = firstCommand; id <= lastCommand; ++id)
        commands.add(id);
}

void ApplicationMenuCommands::getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result)
{
    if (!isKnownCommand(commandID))
        return;

    const auto& row = commandRows[(size_t) commandID];
    result.setInfo(commandNames()[commandID], {}, row.category, 0);
    if (row.keyCode != 0)
        result.addDefaultKeypress(row.keyCode, juce::ModifierKeys(row.modifiers));
    result.setActive(isCommandEnabled(commandID));
}

bool ApplicationMenuCommands::isCommandEnabled(juce::CommandID commandID)
{
    if (!isKnownCommand(commandID) || ui::ModalDialogState::getInstance()->isModalDialogOpen())
        return false;
    return ruleHolds(commandRows[(size_t) commandID].rule);
}

bool ApplicationMenuCommands::perform(const InvocationInfo& info)
{
    const auto id = info.commandID;
    if (!isKnownCommand(id))
        return false;
    // A key press during a dialog, a file chooser or a transfer is swallowed.
    if (ui::ModalDialogState::getInstance()->isModalDialogOpen())
        return true;

    switch (id)
    {
        case cmdImportTuning: importScalaTuning(); return true;
        case cmdImportTuningMap: importScalaKeyboardMap(); return true;
        case cmdExportTuning: exportScalaTuning(); return true;
        default: break;
    }

    if ((id >= cmdNew && id <= cmdTuningTemplate) || (id >= cmdPreferences && id <= cmdOpenDebugWindow))
        return performFileCommand(id);
    if (id >= cmdUndo && id <= cmdProgramTuning)
        return performEditCommand(id);
    return performMidiCommand(id);
}
} // namespace x47390_menu
