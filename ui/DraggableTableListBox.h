#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ui
{
// The owner of a draggable table: it decides which drags the table takes and what a drop does.
class DraggableTableListBoxListener
{
public:
    virtual ~DraggableTableListBoxListener() = default;
    virtual bool isInterestedInDragSource(const juce::DragAndDropTarget::SourceDetails&) = 0;
    virtual void itemDropped(const juce::DragAndDropTarget::SourceDetails&) = 0;
};

// A table list box that takes drops. While a drag is over it, it keeps the row a drop would insert
// before and the row under the pointer, so that its owner can paint the matching indicator, and it
// scrolls while the pointer hovers near its top or bottom edge.
class DraggableTableListBox : public juce::TableListBox, public juce::DragAndDropTarget, private juce::Timer
{
public:
    DraggableTableListBox(const juce::String& componentName, juce::TableListBoxModel* model,
                          DraggableTableListBoxListener* listener);
    ~DraggableTableListBox() override;

    bool isInterestedInDragSource(const SourceDetails&) override;
    // The drag badge beside the pointer shows what is dragged; the toolkit's picture would hide the rows.
    bool shouldDrawDragImageWhenOver() override { return false; }
    void itemDragEnter(const SourceDetails&) override;
    void itemDragMove(const SourceDetails&) override;
    void itemDragExit(const SourceDetails&) override;
    // The listener sees the rows of the last move; they are cleared afterwards.
    void itemDropped(const SourceDetails&) override;

    // Scrolling per timer tick as a fraction of the scroll range for a pointer at y; negative upwards.
    double computeAutoScrollSpeed(int y) const;

    // One auto-scroll step (the timer does this every 100 ms while a drag is over the list).
    void timerCallback() override;
    bool isAutoScrollTimerRunning() const noexcept { return isTimerRunning(); }

    DraggableTableListBoxListener* listener;
    bool dragOver = false;
    int insertRow = -1; // 0 to the row count, or -1
    int targetRow = -1; // 0 to the row count - 1, or -1
    double autoScrollSpeed = 0.0;

private:
    void updateRows(juce::Point<int> position);
    void resetDragState();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(DraggableTableListBox)
};
} // namespace ui
