#pragma once

#include "data/Singleton.h"
#include "ui/PresetWindow.h"

#include <juce_events/juce_events.h>

#include <memory>

namespace x47390_ui
{
// Owns the preset window. "ShowPresetWindow" says whether the window was open when the program
// ended, so that it opens again at the next start.
class PresetWindowManager : public Singleton<PresetWindowManager>,
                            public juce::AsyncUpdater,
                            public juce::DeletedAtShutdown
{
public:
    // Deletes an open window (it stores its bounds); "ShowPresetWindow" stays as it is.
    ~PresetWindowManager() override;

    // Opens the window at its stored bounds, or centred when none are stored. Does nothing while
    // one is open: the Open Preset Window command brings an open one to the front itself.
    void showPresetWindow();

    // The open window, or null.
    PresetWindow* getPresetWindow() const noexcept { return window.get(); }

    // The close button's deletion, run from the message loop: the window goes and
    // "ShowPresetWindow" becomes false.
    void handleAsyncUpdate() override;

private:
    friend class Singleton<PresetWindowManager>;
    PresetWindowManager() = default;

    std::unique_ptr<PresetWindow> window;

    JUCE_DECLARE_NON_COPYABLE(PresetWindowManager)
};
} // namespace x47390_ui
