#include "ui/DraggableTableListBox.h"

#include <cmath>

namespace ui
{
namespace
{
constexpr int autoScrollIntervalMs = 100;
} // namespace

DraggableTableListBox::DraggableTableListBox(const juce::String& componentName, juce::TableListBoxModel* model,
                                             DraggableTableListBoxListener* dropListener)
    : juce::TableListBox(componentName, model), listener(dropListener)
{
}

DraggableTableListBox::~DraggableTableListBox() { stopTimer(); }

bool DraggableTableListBox::isInterestedInDragSource(const SourceDetails& details)
{
    return listener != nullptr && listener->isInterestedInDragSource(details);
}

void DraggableTableListBox::itemDragEnter(const SourceDetails& details)
{
    dragOver = true;
    // Only while a drag is over the list: a list at rest never wakes the program.
    startTimer(autoScrollIntervalMs);
    itemDragMove(details);
}

void DraggableTableListBox::itemDragMove(const SourceDetails& details)
{
    updateRows(details.localPosition);
    repaint();
}

void DraggableTableListBox::itemDragExit(const SourceDetails&)
{
    resetDragState();
    repaint();
}

void DraggableTableListBox::itemDropped(const SourceDetails& details)
{
    if (listener != nullptr)
        listener->itemDropped(details);
    resetDragState();
    repaint();
}

void DraggableTableListBox::resetDragState()
{
    dragOver = false;
    insertRow = -1;
    targetRow = -1;
    autoScrollSpeed = 0.0;
    stopTimer();
}

void DraggableTableListBox::updateRows(juce::Point<int> position)
{
    const int x = position.x;
    const int y = position.y;
    autoScrollSpeed = computeAutoScrollSpeed(y);

    if (x < 0 || x >= getWidth())
    {
        insertRow = targetRow = -1;
        return;
    }
    const int rowHeight = juce::jmax(1, getRowHeight());
    const int rows = getNumRows();
    auto* viewport = getViewport();
    const int scrollY = viewport != nullptr ? viewport->getViewPositionY() : 0;
    const int top = viewport != nullptr ? viewport->getY() : 0;

    // Integer division truncates toward zero, so a pointer less than a row above the rows counts as row 0.
    insertRow = juce::jlimit(0, rows, (y + scrollY + rowHeight / 2 - top) / rowHeight);
    const int under = (y + scrollY - top) / rowHeight;
    targetRow = under < 0 || under >= rows ? -1 : under;
}

double DraggableTableListBox::computeAutoScrollSpeed(int y) const
{
    const int headerHeight = getHeaderHeight();
    const int half = getRowHeight() / 2;
    const int height = getHeight();
    auto square = [](int d) { return (double) d * (double) d; };

    if (y < headerHeight)
        return -square(half) / 3600.0;
    if (y < headerHeight + half)
        return -square(headerHeight + half - y) / 3600.0;
    if (y > height - half)
        return square(y - (height - half) + 1) / 3600.0;
    return 0.0;
}

void DraggableTableListBox::timerCallback()
{
    if (!dragOver || autoScrollSpeed == 0.0)
        return;
    auto* viewport = getViewport();
    auto* content = viewport != nullptr ? viewport->getViewedComponent() : nullptr;
    if (content == nullptr)
        return;

    const int range = content->getHeight() - viewport->getHeight();
    const double position = range > 0 ? (double) viewport->getViewPositionY() / range : 0.0;
    int newY = juce::roundToInt((position + autoScrollSpeed) * range);
    if (newY < 1)
        newY = 0;
    viewport->setViewPosition(viewport->getViewPositionX(), newY);
}
} // namespace ui
