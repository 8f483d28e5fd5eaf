#pragma once

#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/WindowPlacement.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The main document window: native title bar, the menu bar inside, the main component as content.
// Its title names the library file and shows the modified mark; its bounds go to the preferences
// when it is destroyed.
class MainAppWindow : public juce::DocumentWindow,
                      public application::DataEditStatusListener,
                      public application::LastSavedFileStatusListener
{
public:
    explicit MainAppWindow(const juce::String& name);
    ~MainAppWindow() override;

    void resized() override;
    void moved() override;
    void closeButtonPressed() override;
    void focusGained(FocusChangeType cause) override;

    void dataEditStatusChanged(const bool& edited) override;
    void lastSavedFileChanged(const juce::File& file) override;

    void updateTitle();
    // The title for a library file (none: untitled) and the edited flag.
    static juce::String makeTitle(const juce::File& file, bool edited);

    // Makes the remembered bounds equal to the given rectangle.
    void rememberBounds(juce::Rectangle<int> bounds);
    juce::Rectangle<int> getRememberedBounds() const noexcept { return remembered; }
    // Once shown: brings the window back to these bounds when the window manager's frame shifts it.
    void keepPlacedBounds(juce::Rectangle<int> bounds);

private:
    juce::Rectangle<int> remembered;
    x47390_ui::DefaultLookAndFeel ownLookAndFeel;
    ui::WindowPositionKeeper positionKeeper;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainAppWindow)
};
