#include "ui/WindowPlacement.h"

namespace ui
{
namespace
{
// A title bar this wide on a screen is enough to grab the window.
constexpr int minimumGrabWidth = 100;
// The frame of a new window is looked for this often, this many times; later moves are still watched.
constexpr int checkIntervalMs = 50;
constexpr int timedChecks = 100;

juce::int64 areaOf(juce::Rectangle<int> r)
{
    return (juce::int64) r.getWidth() * r.getHeight();
}
} // namespace

juce::Array<juce::Rectangle<int>> getScreenAreas()
{
    juce::Array<juce::Rectangle<int>> areas;
    const auto& displays = juce::Desktop::getInstance().getDisplays();
    if (const auto* main = displays.getPrimaryDisplay())
        areas.add(main->userArea);
    for (const auto& display : displays.displays)
        areas.addIfNotAlreadyThere(display.userArea);
    return areas;
}

juce::BorderSize<int> getKnownFrameSize(const juce::Component* window)
{
    if (window != nullptr)
        if (auto* peer = window->getPeer())
            if (const auto frame = peer->getFrameSizeIfPresent())
                return *frame;
    return {};
}

juce::Rectangle<int> bringOntoScreens(juce::Rectangle<int> bounds, const juce::Array<juce::Rectangle<int>>& screens,
                                      juce::BorderSize<int> frame)
{
    if (screens.isEmpty() || bounds.isEmpty())
        return bounds;

    const auto outer = frame.addedTo(bounds);
    const juce::Rectangle<int> titleBar(outer.getX(), outer.getY(), outer.getWidth(), juce::jmax(1, frame.getTop()));
    juce::int64 shown = 0;
    bool grabbable = false;
    for (const auto& area : screens)
    {
        shown += areaOf(area.getIntersection(bounds));
        const auto bar = area.getIntersection(titleBar);
        grabbable = grabbable || (bar.getHeight() == titleBar.getHeight() &&
                                  bar.getWidth() >= juce::jmin(minimumGrabWidth, titleBar.getWidth()));
    }
    if (grabbable && shown * 2 >= areaOf(bounds))
        return bounds;

    auto screen = screens.getFirst();
    juce::int64 bestOverlap = 0;
    for (const auto& area : screens)
        if (const auto overlap = areaOf(area.getIntersection(outer)); overlap > bestOverlap)
        {
            bestOverlap = overlap;
            screen = area;
        }

    // The client area's room on that screen; a window larger than it keeps its top left corner inside.
    const auto room = frame.subtractedFrom(screen);
    const int x =
        juce::jlimit(room.getX(), juce::jmax(room.getX(), room.getRight() - bounds.getWidth()), bounds.getX());
    const int y =
        juce::jlimit(room.getY(), juce::jmax(room.getY(), room.getBottom() - bounds.getHeight()), bounds.getY());
    return bounds.withPosition(x, y);
}

WindowPositionKeeper::~WindowPositionKeeper()
{
    stop();
}

void WindowPositionKeeper::keep(juce::Component& newWindow, juce::Rectangle<int> bounds)
{
    stop();
    window = &newWindow;
    wanted = bounds;
    newWindow.addComponentListener(this);
    checksLeft = timedChecks;
    startTimer(checkIntervalMs);
    check(false);
}

void WindowPositionKeeper::stop()
{
    stopTimer();
    if (window != nullptr)
        window->removeComponentListener(this);
    window = nullptr;
}

void WindowPositionKeeper::timerCallback()
{
    // The frame's size may arrive after the move that the frame caused.
    --checksLeft;
    check(false);
    if (window != nullptr && checksLeft <= 0)
        stopTimer();
}

void WindowPositionKeeper::check(bool moved)
{
    auto* peer = window != nullptr ? window->getPeer() : nullptr;
    if (peer == nullptr)
        return;
    const auto frame = peer->getFrameSizeIfPresent();
    if (!frame)
        return;

    auto* placed = window.getComponent();
    if (onFrameKnown != nullptr)
    {
        onFrameKnown(*frame);
        onFrameKnown = nullptr;
    }
    const auto target = bringOntoScreens(wanted, getScreenAreas(), *frame);
    if (placed->getBounds() != target)
    {
        stop();
        placed->setBounds(target);
    }
    // A move reports where the window manager put the window; between moves the bounds may be older
    // than the frame, so the window is watched a little longer.
    else if (moved || checksLeft <= 0)
    {
        stop();
    }
}
} // namespace ui
