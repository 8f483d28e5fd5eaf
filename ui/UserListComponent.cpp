#include "ui/UserListComponent.h"

namespace
{
constexpr int dragThreshold = 5;

bool isCopyKeyDown() { return juce::ModifierKeys::getCurrentModifiers().isAltDown(); }
} // namespace

UserListComponent::UserListComponent(ui::UserListViewInterface* listView, ui::UserListControllerInterface* listController)
    : view(listView), controller(listController)
{
    listBox = std::make_unique<ui::DraggableTableListBox>("", this, this);
    addAndMakeVisible(*listBox);
    listBox->setName("userList");

    auto& header = listBox->getHeader();
    header.setColour(juce::TableHeaderComponent::textColourId, juce::Colours::white);
    header.setColour(juce::TableHeaderComponent::backgroundColourId, juce::Colour(0xff111111));
    header.setColour(juce::TableHeaderComponent::highlightColourId, juce::Colour(0xff111111));
    for (int id = 1; id <= view->getNumColumns(); ++id)
        header.addColumn(view->getColumnName(id), id, view->getColumnWidth(id), view->getColumnMinimumWidth(id), -1,
                         view->getColumnPropertyFlags(id));
    header.setPopupMenuActive(false);
    listBox->setMultipleSelectionEnabled(true);

    view->addListener(this);
    setSize(600, 400);
    listBox->selectRow(0);

    data::DataChangeBroadcaster::getInstance()->addListener(this);
}

// The view outlives this component, which therefore stays in the view's listener list.
UserListComponent::~UserListComponent()
{
    if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    listBox.reset();
}

void UserListComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void UserListComponent::resized() { listBox->setBounds(getLocalBounds()); }

std::vector<int> UserListComponent::getSelectedRows() const
{
    std::vector<int> rows;
    const int count = view->getNumRows();
    for (int row = 0; row < count; ++row)
        if (listBox->isRowSelected(row))
            rows.push_back(row);
    return rows;
}

void UserListComponent::selectRows(const std::vector<int>& rows)
{
    juce::SparseSet<int> selection;
    for (int row : rows)
        selection.addRange({row, row + 1});
    listBox->setSelectedRows(selection, juce::sendNotification);
}

void UserListComponent::changeListenerCallback(juce::ChangeBroadcaster*)
{
    controller->selectionChanged(getSelectedRows());
    controller->listRefreshed();
}

int UserListComponent::getNumRows() { return view->getNumRows(); }

void UserListComponent::paintRowBackground(juce::Graphics& g, int row, int width, int height, bool rowIsSelected)
{
    view->paintRowBackground(g, row, width, height, rowIsSelected);
    if (!listBox->dragOver)
        return;

    if (isCopyKeyDown())
    {
        if (row == listBox->targetRow)
        {
            g.setColour(copyTargetColour);
            g.fillRect(0, 0, width, height);
        }
        return;
    }

    const int insertRow = listBox->insertRow;
    if (insertRow < 0)
        return;
    const int rows = view->getNumRows();
    const bool belowLast = insertRow == rows;
    if (row != (belowLast ? rows - 1 : insertRow))
        return;
    g.setColour(insertIndicatorColour);
    g.fillRect(0, belowLast ? height - 2 : 0, width, 2);
}

void UserListComponent::paintCell(juce::Graphics& g, int row, int columnId, int width, int height, bool rowIsSelected)
{
    g.setColour(juce::Colours::white);
    view->paintCell(g, row, columnId, width, height, rowIsSelected);
}

void UserListComponent::selectedRowsChanged(int)
{
    controller->selectionChanged(getSelectedRows());
    controller->selectionFinished();
}

juce::var UserListComponent::getDragSourceDescription(const juce::SparseSet<int>& currentlySelectedRows)
{
    ui::UserListDragItem item;
    item.valid = true;
    item.typeName = dragTypeName;
    for (int i = 0; i < currentlySelectedRows.size(); ++i)
        item.rows.push_back(currentlySelectedRows[i]);
    return item.toDescription();
}

juce::Component* UserListComponent::refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                                            juce::Component* existingComponentToUpdate)
{
    return view->refreshComponentForCell(row, columnId, rowIsSelected, existingComponentToUpdate);
}

void UserListComponent::dataChanged()
{
    listBox->updateContent();
    listBox->repaint();
    controller->listRefreshed();
}

void UserListComponent::itemMouseDown(int row)
{
    pressedRowWasSelected = false;
    if (listBox->isRowSelected(row))
    {
        pressedRowWasSelected = true;
        return;
    }
    listBox->selectRowsBasedOnModifierKeys(row, juce::ModifierKeys::getCurrentModifiers(), false);
}

void UserListComponent::itemMouseUp(int row)
{
    if (pressedRowWasSelected)
        listBox->selectRowsBasedOnModifierKeys(row, juce::ModifierKeys::getCurrentModifiers(), true);
}

void UserListComponent::itemMouseDrag(int row, const juce::MouseEvent& event)
{
    auto* rowComponent = listBox->getComponentForRowNumber(row);
    if (isDragAndDropActive() || rowComponent == nullptr)
        return;
    if (std::abs(event.getDistanceFromDragStartX()) + std::abs(event.getDistanceFromDragStartY()) < dragThreshold)
        return;

    ui::UserListDragItem item;
    item.valid = true;
    item.typeName = ui::userListDragItemTypeName;
    item.rows = getSelectedRows();
    if (item.rows.empty())
        return;

    const juce::Point<int> offset;
    startDragging(item.toDescription(), this, ui::DragBadge::getToolkitDragImage(), false, &offset, &event.source);
}

juce::String UserListComponent::getDragBadgeText(const juce::var& description)
{
    ui::UserListDragItem item;
    item.fromDescription(description);
    if (item.rows.empty())
        return {};
    // The slot number, as the list's first column shows it.
    return ui::makeDragBadgeText(juce::String(item.rows.front() + 1), (int) item.rows.size());
}

bool UserListComponent::isInterestedInDragSource(const juce::DragAndDropTarget::SourceDetails& details)
{
    return ui::isDragDescriptionOfType(dragTypeName, details.description);
}

void UserListComponent::itemDropped(const juce::DragAndDropTarget::SourceDetails& details)
{
    if (!ui::isDragDescriptionOfType(dragTypeName, details.description))
        return;
    ui::UserListDragItem item;
    item.fromDescription(details.description);
    if (isCopyKeyDown())
        dropCopy(item.rows);
    else
        dropMove(item.rows);
}

void UserListComponent::dropCopy(const std::vector<int>& draggedRows)
{
    const int targetRow = listBox->targetRow;
    if (targetRow < 0)
        return;
    ui::DragCopyTarget copy(view->getNumRows());
    const auto targets = copy.computeTargets(targetRow, draggedRows);
    controller->dragCopy(targets, targetRow);

    std::vector<int> received;
    for (const auto& [target, source] : targets)
        received.push_back(target);
    selectRows(received);
}

void UserListComponent::dropMove(const std::vector<int>& draggedRows)
{
    const int insertRow = listBox->insertRow;
    if (insertRow < 0)
        return;
    const auto allRows = ui::DragInsertOrder::makeRowList(view->getNumRows());
    ui::DragInsertOrder order(allRows);
    const auto newOrder = order.computeNewOrder(insertRow, draggedRows);
    controller->dragInsert(newOrder, insertRow);
    selectRows(order.movedPositions);
}
