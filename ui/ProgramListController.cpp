#include "ui/ProgramListController.h"

#include "data/ApplicationUndoManager.h"
#include "data/CurrentProgramData.h"
#include "data/DataCenter.h"
#include "data/ProgramEditActions.h"
#include "ui/DragItems.h"
#include "ui/SelectedProgramStatus.h"

#include <algorithm>

namespace x47390_ui
{
namespace
{
juce::UndoManager& undoManager() { return *application::ApplicationUndoManager::getInstance(); }

const std::vector<int>& selectedPrograms() { return ui::SelectedProgramStatus::getInstance()->selection; }
} // namespace

ProgramListController::ProgramListController(x47390_data::LibraryData& libraryData) : library(&libraryData) {}

void ProgramListController::selectionChanged()
{
    auto* current = x47390_data::CurrentProgramData::getInstance();
    const auto& selection = selectedPrograms();
    if (selection.size() == 1)
        current->setLibraryProgram(selection.front());
    else
        current->clearProgram();
}

void ProgramListController::refreshSelection()
{
    auto* current = x47390_data::CurrentProgramData::getInstance();
    current->clearProgram();
    const auto& selection = selectedPrograms();
    if (selection.size() == 1)
        current->setLibraryProgram(selection.front());
}

void ProgramListController::dragInsert(const std::vector<int>& newOrder)
{
    undoManager().beginNewTransaction("DragInsert");
    // Every program is read as it was before the move.
    const x47390_data::LibraryData before(*library);

    const int rows = std::min((int) newOrder.size(), x47390_data::LibraryData::numPrograms);
    for (int i = 0; i < rows; ++i)
        if (newOrder[(size_t) i] != i)
            undoManager().perform(new x47390_action::SetProgramDataAction(i, before.getProgramData(newOrder[(size_t) i])));

    // The live set follows its programs; an entry whose program is not in the order becomes empty.
    const auto& favorites = before.getFavoriteData();
    for (int bank = 0; bank < x47390_data::FavoriteData::numBanks; ++bank)
        for (int slot = 0; slot < x47390_data::FavoriteData::numSlots; ++slot)
        {
            const int program = favorites.entries[(size_t) bank][(size_t) slot];
            const auto found = std::find(newOrder.begin(), newOrder.end(), program);
            const int moved = found != newOrder.end() ? (int) (found - newOrder.begin())
                                                      : x47390_data::FavoriteData::emptyEntry;
            if (moved != program)
                undoManager().perform(new x47390_action::SetFavoriteParameterAction(bank, slot, moved));
        }
}

void ProgramListController::dragCopy(const std::map<int, int>& targets)
{
    undoManager().beginNewTransaction("DragCopy");
    const x47390_data::LibraryData before(*library);
    for (const auto& [target, source] : targets)
        undoManager().perform(new x47390_action::SetProgramDataAction(target, before.getProgramData(source)));
}

void ProgramListController::dragCopyPreset(const std::map<int, int>& targets)
{
    undoManager().beginNewTransaction("DragCopyPreset");
    auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    for (const auto& [target, key] : targets)
    {
        const auto& preset = presets.getPresetData(ui::getPresetDragKeyLibrary(key));
        undoManager().perform(
            new x47390_action::SetProgramDataAction(target, preset.getProgramData(ui::getPresetDragKeyProgram(key))));
    }
}
} // namespace x47390_ui
