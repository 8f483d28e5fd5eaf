#pragma once

#include "data/DataChangeBroadcaster.h"
#include "ui/DragBadge.h"
#include "ui/DraggableTableListBox.h"
#include "ui/ProgramListController.h"
#include "ui/ProgramListView.h"
#include "ui/SelectedProgramStatus.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The program table on the PROGRAM tab. It publishes its selected rows, follows the selection when
// others change it, starts drags of the selected programs, takes drops of programs and presets, and
// refreshes itself when the library changes or the user switches tabs (it listens to the tab bar).
class ProgramListComponent : public juce::Component,
                             public juce::TableListBoxModel,
                             public data::DataChangeObserver,
                             public ui::DraggableTableListBoxListener,
                             public ui::DragBadgeContainer,
                             public ui::DragBadgeSource,
                             public ui::SelectedProgramStatusObserver,
                             public ui::ProgramListViewListener,
                             public juce::ChangeListener
{
public:
    ProgramListComponent(ui::ProgramListViewInterface& view, ui::ProgramListControllerInterface& controller);
    ~ProgramListComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    // The tab bar changed its tab.
    void changeListenerCallback(juce::ChangeBroadcaster*) override;

    int getNumRows() override;
    void paintRowBackground(juce::Graphics&, int row, int width, int height, bool rowIsSelected) override;
    void paintCell(juce::Graphics&, int row, int columnId, int width, int height, bool rowIsSelected) override;
    void selectedRowsChanged(int lastRowSelected) override;
    juce::var getDragSourceDescription(const juce::SparseSet<int>& currentlySelectedRows) override;
    juce::Component* refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                             juce::Component* existingComponent) override;

    void dataChanged() override;
    void selectedProgramStatusChanged() override;

    void itemMouseDown(int row, const juce::MouseEvent&) override;
    void itemMouseUp(int row, const juce::MouseEvent&) override;
    void itemMouseDrag(int row, const juce::MouseEvent&) override;

    juce::String getDragBadgeText(const juce::var& description) override;
    bool isInterestedInDragSource(const juce::DragAndDropTarget::SourceDetails&) override;
    void itemDropped(const juce::DragAndDropTarget::SourceDetails&) override;

    ui::DraggableTableListBox& getTable() const noexcept { return *table; }

    juce::Colour insertIndicatorColour{0xff555555};
    juce::Colour copyTargetColour{0xff555555};
    juce::String programDragTypeName{"ProgramListDrag"};
    juce::String presetDragTypeName{"PresetDataDrag"};
    // The kind of the drag last accepted: 0 none, 1 program rows, 2 presets.
    int dropMode = 0;
    bool pressedRowWasSelected = false;

private:
    std::vector<int> getSelectedRows() const;
    void selectRows(const std::vector<int>& rows, juce::NotificationType);
    void dropPresets(const juce::var& description);
    void dropPrograms(const juce::var& description);

    ui::ProgramListViewInterface* view;
    ui::ProgramListControllerInterface* controller;
    std::unique_ptr<ui::DraggableTableListBox> table;
    bool draggedSincePress = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ProgramListComponent)
};
