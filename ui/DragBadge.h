#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace ui
{
// What a drag shows: a compact label in the dark theme's colours beside the pointer, below the row or
// drop target under it, so the insert bar and the target stay in sight. It is opaque, so it looks the same
// with or without a compositing window manager (a picture of the dragged rows would be a white block
// without one).
class DragBadge : public juce::Component
{
public:
    explicit DragBadge(const juce::String& text);
    ~DragBadge() override;

    void paint(juce::Graphics&) override;

    // Moves the badge beside a pointer at this screen position.
    void follow(juce::Point<int> pointer);

    // The badge's place for a pointer: right of it and below the area kept clear, or above that area and
    // left of the pointer where the screen ends.
    static juce::Rectangle<int> placeBeside(juce::Point<int> pointer, juce::Rectangle<int> keepClear,
                                            juce::Rectangle<int> badge, juce::Rectangle<int> screen);

    // The area around a pointer (screen coordinates) that a badge must not cover: the list row under it
    // with its edges, where an insert bar is drawn, or the drop target under it.
    static juce::Rectangle<int> findAreaToKeepClear(juce::Point<int> pointer);

    // The picture handed to the toolkit's own drag, which the badge replaces: one pixel of the lists'
    // background, under the pointer.
    static juce::ScaledImage getToolkitDragImage();

private:
    struct PointerWatcher;
    juce::String text;
    std::unique_ptr<PointerWatcher> watcher;

    JUCE_DECLARE_NON_COPYABLE(DragBadge)
};

// A badge text: the first dragged item's label, and how many more follow.
juce::String makeDragBadgeText(const juce::String& firstItem, int count);

// A component that the drag badge may ask what a drag it started shows.
class DragBadgeSource
{
public:
    virtual ~DragBadgeSource() = default;
    // The badge text for a drag description from this component; empty: no badge.
    virtual juce::String getDragBadgeText(const juce::var& description) = 0;
};

// A drag-and-drop container whose drags show a badge in place of the toolkit's picture. The text comes from
// the drag's source component or the nearest enclosing DragBadgeSource.
class DragBadgeContainer : public juce::DragAndDropContainer
{
public:
    ~DragBadgeContainer() override;

    // The badge of the drag under way, or null.
    DragBadge* getDragBadge() const noexcept { return badge.get(); }

protected:
    void dragOperationStarted(const juce::DragAndDropTarget::SourceDetails&) override;
    void dragOperationEnded(const juce::DragAndDropTarget::SourceDetails&) override;

private:
    std::unique_ptr<DragBadge> badge;
};
} // namespace ui
