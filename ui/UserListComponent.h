#pragma once

#include "data/DataChangeBroadcaster.h"
#include "ui/DragBadge.h"
#include "ui/DragItems.h"
#include "ui/DraggableTableListBox.h"
#include "ui/UserListInterfaces.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace ui
{
// The slot rows dragged inside a user-unit list; the same list form as dragged program rows.
class UserListDragItem : public ProgramListDragItem
{
};
} // namespace ui

// The table of a user-unit page. Rows, columns and painting come from its view; selections, moves and
// copies go to its controller. Dragging selected rows moves them; holding Option (alt) at the drop
// copies them onto the rows from the one under the pointer. The rows that received units are
// selected afterwards.
class UserListComponent : public juce::Component,
                          public juce::TableListBoxModel,
                          public data::DataChangeObserver,
                          public ui::DraggableTableListBoxListener,
                          public ui::DragBadgeContainer,
                          public ui::DragBadgeSource,
                          public ui::UserListViewListener,
                          public juce::ChangeListener
{
public:
    // The view and the controller outlive the component.
    UserListComponent(ui::UserListViewInterface* view, ui::UserListControllerInterface* controller);
    ~UserListComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    void changeListenerCallback(juce::ChangeBroadcaster*) override;

    int getNumRows() override;
    void paintRowBackground(juce::Graphics&, int row, int width, int height, bool rowIsSelected) override;
    void paintCell(juce::Graphics&, int row, int columnId, int width, int height, bool rowIsSelected) override;
    void selectedRowsChanged(int lastRowSelected) override;
    juce::var getDragSourceDescription(const juce::SparseSet<int>& currentlySelectedRows) override;
    juce::Component* refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                             juce::Component* existingComponentToUpdate) override;

    void dataChanged() override;

    void itemMouseDown(int row) override;
    void itemMouseUp(int row) override;
    void itemMouseDrag(int row, const juce::MouseEvent& event) override;

    juce::String getDragBadgeText(const juce::var& description) override;
    bool isInterestedInDragSource(const juce::DragAndDropTarget::SourceDetails&) override;
    void itemDropped(const juce::DragAndDropTarget::SourceDetails&) override;

    ui::DraggableTableListBox& getListBox() noexcept { return *listBox; }

    juce::Colour insertIndicatorColour{0xffd3d3d3};
    juce::Colour copyTargetColour{0xffd3d3d3};
    juce::String dragTypeName{"UserListDrag"};
    bool pressedRowWasSelected = false;

private:
    std::vector<int> getSelectedRows() const;
    void selectRows(const std::vector<int>& rows);
    void dropCopy(const std::vector<int>& draggedRows);
    void dropMove(const std::vector<int>& draggedRows);

    ui::UserListViewInterface* view;
    ui::UserListControllerInterface* controller;
    std::unique_ptr<ui::DraggableTableListBox> listBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(UserListComponent)
};
