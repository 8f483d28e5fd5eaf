#include "ui/DragBadge.h"

#include "ui/FontLibrary.h"

namespace ui
{
namespace
{
const juce::Colour badgeColour(0xff222222);
const juce::Colour badgeEdgeColour(0xff808080);
const juce::Colour badgeTextColour(0xffd3d3d3);

// Room for the pointer's arrow right of its tip, and between the badge and what it keeps clear.
constexpr int pointerWidth = 14;
constexpr int gap = 3;
// Insert bars lie on a row's edges and reach this far beyond them.
constexpr int insertBarReach = 2;
// Drop targets taller than this (a whole pane) keep only a band around the pointer clear.
constexpr int largestTargetHeight = 120;
constexpr int bandHalfHeight = 12;
constexpr int textMargin = 6;
constexpr int maximumWidth = 320;
} // namespace

juce::String makeDragBadgeText(const juce::String& firstItem, int count)
{
    return firstItem.trimEnd() + (count > 1 ? "  +" + juce::String(count - 1) : juce::String());
}

struct DragBadge::PointerWatcher : public juce::MouseListener
{
    explicit PointerWatcher(DragBadge& owner) : badge(owner) {}
    void mouseDrag(const juce::MouseEvent& e) override { badge.follow(e.getScreenPosition()); }
    DragBadge& badge;
};

DragBadge::DragBadge(const juce::String& badgeText) : text(badgeText), watcher(std::make_unique<PointerWatcher>(*this))
{
    setOpaque(true);
    setInterceptsMouseClicks(false, false);
    setAlwaysOnTop(true);
    const auto font = FontLibrary::getInstance()->makeFont("Arial Unicode MS", 14.0f);
    const int width = juce::jmin(maximumWidth, juce::roundToInt(font.getStringWidthFloat(text)) + 2 * textMargin);
    setSize(width, juce::roundToInt(font.getHeight()) + 2 * textMargin - 4);
    juce::Desktop::getInstance().addGlobalMouseListener(watcher.get());
}

DragBadge::~DragBadge()
{
    juce::Desktop::getInstance().removeGlobalMouseListener(watcher.get());
}

void DragBadge::paint(juce::Graphics& g)
{
    g.fillAll(badgeColour);
    g.setColour(badgeEdgeColour);
    g.drawRect(getLocalBounds());
    g.setColour(badgeTextColour);
    g.setFont(FontLibrary::getInstance()->makeFont("Arial Unicode MS", 14.0f));
    g.drawFittedText(text, getLocalBounds().reduced(textMargin, 0), juce::Justification::centredLeft, 1, 0.8f);
}

void DragBadge::follow(juce::Point<int> pointer)
{
    const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForPoint(pointer);
    const auto screen = display != nullptr ? display->totalArea : juce::Rectangle<int>(pointer, pointer).expanded(4096);
    setBounds(placeBeside(pointer, findAreaToKeepClear(pointer), getLocalBounds(), screen));
    if (!isOnDesktop())
        addToDesktop(juce::ComponentPeer::windowIsTemporary | juce::ComponentPeer::windowIgnoresMouseClicks);
    setVisible(true);
}

juce::Rectangle<int> DragBadge::placeBeside(juce::Point<int> pointer, juce::Rectangle<int> keepClear,
                                            juce::Rectangle<int> badge, juce::Rectangle<int> screen)
{
    int x = pointer.x + pointerWidth;
    if (x + badge.getWidth() > screen.getRight())
        x = pointer.x - gap - badge.getWidth();
    int y = keepClear.getBottom() + gap;
    if (y + badge.getHeight() > screen.getBottom())
        y = keepClear.getY() - gap - badge.getHeight();
    return badge.withPosition(juce::jmax(screen.getX(), x), y);
}

juce::Rectangle<int> DragBadge::findAreaToKeepClear(juce::Point<int> pointer)
{
    const auto band = juce::Rectangle<int>(pointer.x, pointer.y - bandHalfHeight, 1, 2 * bandHalfHeight);
    for (auto* c = juce::Desktop::getInstance().findComponentAt(pointer); c != nullptr; c = c->getParentComponent())
    {
        if (auto* list = dynamic_cast<juce::ListBox*>(c))
        {
            const auto local = list->getLocalPoint(nullptr, pointer);
            const int row = list->getRowContainingPosition(local.x, local.y);
            const auto area =
                row >= 0 ? list->getRowPosition(row, true)
                         : juce::Rectangle<int>(local.x, local.y - list->getRowHeight(), 1, 2 * list->getRowHeight());
            return list->localAreaToGlobal(area).expanded(0, insertBarReach).getUnion(band);
        }
        if (dynamic_cast<juce::DragAndDropTarget*>(c) != nullptr && c->getHeight() <= largestTargetHeight)
            return c->getScreenBounds().getUnion(band);
    }
    return band;
}

juce::ScaledImage DragBadge::getToolkitDragImage()
{
    juce::Image pixel(juce::Image::ARGB, 1, 1, false);
    pixel.setPixelAt(0, 0, juce::Colour(0xff111111));
    return juce::ScaledImage(pixel);
}

DragBadgeContainer::~DragBadgeContainer() = default;

void DragBadgeContainer::dragOperationStarted(const juce::DragAndDropTarget::SourceDetails& details)
{
    juce::String text;
    for (auto* c = details.sourceComponent.get(); c != nullptr && text.isEmpty(); c = c->getParentComponent())
        if (auto* source = dynamic_cast<DragBadgeSource*>(c))
            text = source->getDragBadgeText(details.description);
    if (text.isEmpty())
        return;

    // The toolkit's picture of the rows gives way to the badge.
    setCurrentDragImage(DragBadge::getToolkitDragImage());
    badge = std::make_unique<DragBadge>(text);
    badge->follow(juce::Desktop::getMousePosition());
}

void DragBadgeContainer::dragOperationEnded(const juce::DragAndDropTarget::SourceDetails&)
{
    badge.reset();
}
} // namespace ui
