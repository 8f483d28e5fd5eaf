#include "ui/ProgramListComponent.h"

#include "data/DataCenter.h"
#include "ui/DragItems.h"

#include <algorithm>

namespace
{
constexpr int dragThreshold = 5;

bool isOptionDown() { return juce::ModifierKeys::getCurrentModifiers().isAltDown(); }
} // namespace

ProgramListComponent::ProgramListComponent(ui::ProgramListViewInterface& listView,
                                           ui::ProgramListControllerInterface& listController)
    : view(&listView), controller(&listController)
{
    table = std::make_unique<ui::DraggableTableListBox>(juce::String(), this, this);
    addAndMakeVisible(*table);
    table->setName("ProgramList");

    auto& header = table->getHeader();
    for (int id = 1; id <= view->getNumColumns(); ++id)
        header.addColumn(view->getColumnName(id), id, view->getColumnWidth(id), view->getColumnMinimumWidth(id), -1,
                         view->getColumnPropertyFlags(id), -1);
    header.setColour(juce::TableHeaderComponent::textColourId, juce::Colour(0xffffffff));
    header.setColour(juce::TableHeaderComponent::backgroundColourId, juce::Colour(0xff111111));
    header.setColour(juce::TableHeaderComponent::highlightColourId, juce::Colour(0xff111111));
    header.setPopupMenuActive(false);
    table->setMultipleSelectionEnabled(true);

    view->addListener(this);
    setSize(600, 400);
    selectRows(ui::SelectedProgramStatus::getInstance()->selection, juce::dontSendNotification);
    data::DataChangeBroadcaster::getInstance()->addListener(this);
    ui::SelectedProgramStatus::getInstance()->addListener(this);
}

ProgramListComponent::~ProgramListComponent()
{
    if (auto* status = ui::SelectedProgramStatus::getInstanceWithoutCreating())
        status->removeListener(this);
    if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    view->removeListener(this);
    table.reset();
}

void ProgramListComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void ProgramListComponent::resized() { table->setBounds(getLocalBounds()); }

std::vector<int> ProgramListComponent::getSelectedRows() const
{
    std::vector<int> rows;
    const auto selected = table->getSelectedRows();
    for (int i = 0; i < selected.size(); ++i)
        rows.push_back(selected[i]);
    return rows;
}

void ProgramListComponent::selectRows(const std::vector<int>& rows, juce::NotificationType notification)
{
    juce::SparseSet<int> set;
    for (int row : rows)
        set.addRange({row, row + 1});
    table->setSelectedRows(set, notification);
}

void ProgramListComponent::changeListenerCallback(juce::ChangeBroadcaster*)
{
    selectedProgramStatusChanged();
    ui::SelectedProgramStatus::getInstance()->setSelection(getSelectedRows());
    controller->refreshSelection();
}

int ProgramListComponent::getNumRows() { return view->getNumRows(); }

void ProgramListComponent::paintRowBackground(juce::Graphics& g, int row, int width, int height, bool rowIsSelected)
{
    view->paintRowBackground(g, row, width, height, rowIsSelected);
    if (!table->dragOver)
        return;

    if (dropMode == 2 || isOptionDown())
    {
        if (row == table->targetRow)
        {
            g.setColour(copyTargetColour);
            g.fillRect(0, 0, width, height);
        }
        return;
    }
    const int insertRow = table->insertRow;
    if (insertRow == -1)
        return;
    const int rows = getNumRows();
    const bool afterLast = insertRow == rows;
    if (row != (afterLast ? insertRow - 1 : insertRow))
        return;
    g.setColour(insertIndicatorColour);
    g.fillRect(0, afterLast ? height - 2 : 0, width, 2);
}

void ProgramListComponent::paintCell(juce::Graphics& g, int row, int columnId, int width, int height,
                                     bool rowIsSelected)
{
    view->paintCell(g, row, columnId, width, height, rowIsSelected);
}

juce::Component* ProgramListComponent::refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                                               juce::Component* existingComponent)
{
    return view->refreshComponentForCell(row, columnId, rowIsSelected, existingComponent);
}

void ProgramListComponent::selectedRowsChanged(int)
{
    ui::SelectedProgramStatus::getInstance()->setSelection(getSelectedRows());
    controller->selectionChanged();
}

juce::var ProgramListComponent::getDragSourceDescription(const juce::SparseSet<int>& currentlySelectedRows)
{
    ui::ProgramListDragItem item;
    item.valid = true;
    item.typeName = programDragTypeName;
    for (int i = 0; i < currentlySelectedRows.size(); ++i)
        item.rows.push_back(currentlySelectedRows[i]);
    return item.toDescription();
}

void ProgramListComponent::dataChanged()
{
    table->updateContent();
    table->repaint();
    controller->refreshSelection();
}

void ProgramListComponent::selectedProgramStatusChanged()
{
    selectRows(ui::SelectedProgramStatus::getInstance()->selection, juce::dontSendNotification);
}

void ProgramListComponent::itemMouseDown(int row, const juce::MouseEvent& e)
{
    pressedRowWasSelected = false;
    draggedSincePress = false;
    if (table->isRowSelected(row))
    {
        // Keeps a multi-row selection, so that it can be dragged from any of its rows.
        pressedRowWasSelected = true;
        return;
    }
    table->selectRowsBasedOnModifierKeys(row, e.mods, false);
}

void ProgramListComponent::itemMouseUp(int row, const juce::MouseEvent& e)
{
    if (pressedRowWasSelected && !draggedSincePress)
        table->selectRowsBasedOnModifierKeys(row, e.mods, true);
}

void ProgramListComponent::itemMouseDrag(int row, const juce::MouseEvent& e)
{
    if (isDragAndDropActive() || table->getComponentForRowNumber(row) == nullptr)
        return;
    if (std::abs(e.getDistanceFromDragStartX()) + std::abs(e.getDistanceFromDragStartY()) < dragThreshold)
        return;

    ui::ProgramListDragItem item;
    item.valid = true;
    item.typeName = programDragTypeName;
    item.rows = getSelectedRows();
    if (item.rows.empty())
        return;

    // The drag may reach every component of the window (the live-set favourites), as the table's own row
    // drags do; a badge beside the pointer shows what is dragged.
    const juce::Point<int> offset;
    draggedSincePress = true;
    startDragging(item.toDescription(), this, ui::DragBadge::getToolkitDragImage(), true, &offset, &e.source);
}

juce::String ProgramListComponent::getDragBadgeText(const juce::var& description)
{
    ui::ProgramListDragItem item;
    item.fromDescription(description);
    if (item.rows.empty() || item.rows.front() < 0 || item.rows.front() >= getNumRows())
        return {};
    const int row = item.rows.front();
    const auto& program = x47390_data::DataCenter::getInstance()->getLibraryData().getProgramData(row);
    return ui::makeDragBadgeText(juce::String::formatted("%03d ", row + 1) + program.getName(), (int) item.rows.size());
}

bool ProgramListComponent::isInterestedInDragSource(const juce::DragAndDropTarget::SourceDetails& details)
{
    if (ui::isDragDescriptionOfType(programDragTypeName, details.description))
    {
        dropMode = 1;
        return true;
    }
    if (ui::isDragDescriptionOfType(presetDragTypeName, details.description))
    {
        dropMode = 2;
        return true;
    }
    return false;
}

void ProgramListComponent::itemDropped(const juce::DragAndDropTarget::SourceDetails& details)
{
    if (ui::isDragDescriptionOfType(presetDragTypeName, details.description))
        dropPresets(details.description);
    else if (ui::isDragDescriptionOfType(programDragTypeName, details.description))
        dropPrograms(details.description);
}

void ProgramListComponent::dropPresets(const juce::var& description)
{
    const int targetRow = table->targetRow;
    if (targetRow == -1)
        return;

    ui::PresetDataDragItem item;
    item.fromDescription(description);
    // Only keys that name a program of a loaded preset library; a drag without any changes nothing.
    const int libraries = x47390_data::DataCenter::getInstance()->getPresetLibrary().getNumPresetData();
    std::vector<int> keys;
    for (int key : item.keys)
        if (ui::getPresetDragKeyLibrary(key) >= 0 && ui::getPresetDragKeyLibrary(key) < libraries &&
            ui::getPresetDragKeyProgram(key) < x47390_data::PresetData::numPrograms)
            keys.push_back(key);
    if (keys.empty())
        return;

    ui::DragCopyPreset copy(getNumRows());
    copy.computeTargets(targetRow, keys);
    controller->dragCopyPreset(copy.targets);
    std::vector<int> rows;
    for (const auto& target : copy.targets)
        rows.push_back(target.first);
    selectRows(rows, juce::sendNotification);
}

void ProgramListComponent::dropPrograms(const juce::var& description)
{
    ui::ProgramListDragItem item;
    item.fromDescription(description);
    const int rowCount = getNumRows();
    std::vector<int> sources;
    for (int row : item.rows)
        if (row >= 0 && row < rowCount)
            sources.push_back(row);
    if (sources.empty())
        return;

    if (isOptionDown())
    {
        if (table->targetRow == -1)
            return;
        ui::DragCopyTarget copy(rowCount);
        copy.computeTargets(table->targetRow, sources);
        controller->dragCopy(copy.targets);
        std::vector<int> rows;
        for (const auto& target : copy.targets)
            rows.push_back(target.first);
        selectRows(rows, juce::sendNotification);
        return;
    }

    if (table->insertRow == -1)
        return;
    const auto allRows = ui::DragInsertOrder::makeRowList(rowCount);
    ui::DragInsertOrder order(allRows);
    order.computeNewOrder(table->insertRow, sources);
    controller->dragInsert(order.newOrder);
    selectRows(order.movedPositions, juce::sendNotification);
}
