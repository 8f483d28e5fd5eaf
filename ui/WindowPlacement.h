#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace ui
{
// The usable areas of the screens, the main screen first.
juce::Array<juce::Rectangle<int>> getScreenAreas();

// The frame a window manager has put around a top-level window, empty when there is none (yet).
juce::BorderSize<int> getKnownFrameSize(const juce::Component* window);

// A stored window rectangle (the client area, its frame outside it) brought onto the screens. It stays
// where it is while its title bar can be grabbed on one screen and at least half of it shows; otherwise it
// moves, keeping its size, onto the screen it overlaps most (the main one when none) with its title bar
// on that screen.
juce::Rectangle<int> bringOntoScreens(juce::Rectangle<int> bounds, const juce::Array<juce::Rectangle<int>>& screens,
                                      juce::BorderSize<int> frame);

// A window manager puts a new window's frame where the window asked to go, which shifts the client area
// by the frame's size: a window stored and reopened would creep each time. Once the frame of a shown
// window is known, this moves the client area back to where it was asked to be, brought onto the screens
// with the real frame. Without a window manager the frame never shows and nothing moves.
class WindowPositionKeeper : private juce::ComponentListener, private juce::Timer
{
public:
    WindowPositionKeeper() = default;
    ~WindowPositionKeeper() override;

    // Call once the window is on the desktop; bounds are the client area it was asked for (before any
    // clamping: the real frame decides where it fits).
    void keep(juce::Component& window, juce::Rectangle<int> bounds);
    void stop();

    // Called with the frame once it is known, before the window moves.
    std::function<void(juce::BorderSize<int>)> onFrameKnown;

private:
    void componentMovedOrResized(juce::Component&, bool, bool) override { check(true); }
    void componentBeingDeleted(juce::Component&) override { stop(); }
    void timerCallback() override;
    void check(bool moved);

    juce::Component::SafePointer<juce::Component> window;
    juce::Rectangle<int> wanted;
    int checksLeft = 0;

    JUCE_DECLARE_NON_COPYABLE(WindowPositionKeeper)
};
} // namespace ui
