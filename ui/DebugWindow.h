#pragma once

#include "data/Singleton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The content of the debug window: an empty white area of 600 x 400.
class DebugMainComponent : public juce::Component
{
public:
    DebugMainComponent() { setSize(600, 400); }
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colour(0xffffffff)); }
    void resized() override {}
};

namespace x47390_debug
{
// A free-standing window offered in debug mode; its close button hands the deletion to the manager.
class DebugWindow : public juce::DocumentWindow
{
public:
    DebugWindow();
    void closeButtonPressed() override;
};

// Owns the debug window while it is open.
class DebugWindowManager : public Singleton<DebugWindowManager>,
                           public juce::DeletedAtShutdown,
                           private juce::AsyncUpdater
{
public:
    ~DebugWindowManager() override;

    // Opens the window unless it is open already.
    void openDebugWindow();
    DebugWindow* getWindow() const noexcept { return window.get(); }

    // The window is deleted on a later turn of the event loop, not inside its own callback.
    void closeDebugWindow() { triggerAsyncUpdate(); }

private:
    friend class Singleton<DebugWindowManager>;
    DebugWindowManager() = default;

    void handleAsyncUpdate() override { window.reset(); }

    std::unique_ptr<DebugWindow> window;
};
} // namespace x47390_debug
