#include "app/EditCommands.h"

#include "app/ApplicationCommandIds.h"
#include "app/CJQZClipboard.h"
#include "app/CJQZResource.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/ProgramEditActions.h"
#include "data/UserUnitEditActions.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ProgramTuningEditComponent.h"
#include "ui/SelectedProgramStatus.h"
#include "ui/SelectedTabStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

#include <vector>

namespace x47390_menu
{
namespace
{
constexpr int programTab = 0;

application::ApplicationUndoManager& undoManager() { return *application::ApplicationUndoManager::getInstance(); }

x47390_data::LibraryData& library() { return x47390_data::DataCenter::getInstance()->getLibraryData(); }

const std::vector<int>& selectedPrograms() { return ui::SelectedProgramStatus::getInstance()->selection; }

bool isProgramTabShown() { return ui::SelectedTabStatus::getInstance()->tabIndex == programTab; }

// Copy and Cut: the first selected program onto the pasteboard; its index, or -1 when refused.
int copySelectedProgram()
{
    if (!isProgramTabShown() || selectedPrograms().empty())
        return -1;
    const int index = selectedPrograms().front();
    CJQZClipboard().copyProgram(library().getProgramData(index));
    return index;
}

bool cut()
{
    const int index = copySelectedProgram();
    if (index < 0)
        return false;
    undoManager().beginNewTransaction("CutProgramData");
    undoManager().perform(new x47390_action::InitializeProgramDataAction(index));
    return true;
}

bool paste()
{
    if (!isProgramTabShown() || selectedPrograms().empty())
        return false;
    // Bytes under our type that are no program change nothing.
    const auto program = CJQZClipboard().readProgram();
    if (!program.has_value())
        return false;
    undoManager().beginNewTransaction("PasteProgramData");
    undoManager().perform(new x47390_action::SetProgramDataAction(selectedPrograms().front(), *program));
    return true;
}

template <class Status, class Action>
bool clearRows(const char* transactionName)
{
    const std::vector<int> rows = Status::getInstance()->selection;
    if (rows.empty())
        return false;
    undoManager().beginNewTransaction(transactionName);
    for (int row : rows)
        undoManager().perform(new Action(row));
    return true;
}

bool clear()
{
    switch (ui::SelectedTabStatus::getInstance()->tabIndex)
    {
    case 0:
        return clearRows<ui::SelectedProgramStatus, x47390_action::InitializeProgramDataAction>("ClearProgramData");
    case 1:
        return clearRows<ui::SelectedUserOscStatus, x47390_action::ClearUserOscDataAction>("ClearUserOscData");
    case 2:
        return clearRows<ui::SelectedUserModFXStatus, x47390_action::ClearUserModFXDataAction>("ClearUserModFXData");
    case 3:
        return clearRows<ui::SelectedUserDelFXStatus, x47390_action::ClearUserDelFXDataAction>("ClearUserDelFXData");
    case 4:
        return clearRows<ui::SelectedUserRevFXStatus, x47390_action::ClearUserRevFXDataAction>("ClearUserRevFXData");
    default:
        return false;
    }
}

bool editProgramTuning()
{
    if (selectedPrograms().empty())
        return false;

    // No modal-dialog state here: the menus stay enabled while the dialog shows.
    ProgramTuningEditComponent dialog;
    const auto& program = library().getProgramData(selectedPrograms().front());
    dialog.getTuningBox().setSelectedId(programTuningItemForByte(program.binary[x47390_data::ProgramData::tuningOffset]),
                                        juce::dontSendNotification);
    const int result = ui::runModalDialog(dialog, CJQZResource::getInstance()->getString("ProgramTuningDialogTitle"));
    if (result != 1 || dialog.selectedTuning < 0 || dialog.selectedTuning >= ProgramTuningEditComponent::numTunings)
        return false;

    // The selection may have changed meanwhile (a receive at start-up may have run): read it again.
    if (selectedPrograms().empty())
        return false;
    const int index = selectedPrograms().front();
    auto tuned = library().getProgramData(index);
    tuned.binary[x47390_data::ProgramData::tuningOffset] =
        (juce::uint8) programTuningByteForItem(dialog.selectedTuning + 1);
    tuned.updateHash();
    undoManager().beginNewTransaction("PasteProgramData");
    undoManager().perform(new x47390_action::SetProgramDataAction(index, tuned));
    return true;
}
} // namespace

bool performEditCommand(int commandId)
{
    switch (commandId)
    {
    case cmdUndo:
        return undoManager().canUndo() && undoManager().undo();
    case cmdRedo:
        return undoManager().canRedo() && undoManager().redo();
    case cmdCut:
        return cut();
    case cmdCopy:
        return copySelectedProgram() >= 0;
    case cmdPaste:
        return paste();
    case cmdClear:
        return clear();
    case cmdProgramTuning:
        return editProgramTuning();
    default:
        return false;
    }
}
} // namespace x47390_menu
