#pragma once

#include "data/Singleton.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/MainAppWindow.h"

#include <memory>

namespace x47390_ui
{
// Where the main window opens, from the stored position and height.
struct MainWindowPlacement
{
    juce::Rectangle<int> bounds;
    bool centred = false; // no stored position: centred, resizable without limits
};

// The window is 940 wide with the height kept between 620 and 1400 once a position is stored.
constexpr int mainWindowWidth = 940;
constexpr int mainWindowMinimumHeight = 620;
constexpr int mainWindowMaximumHeight = 1400;

// A negative stored coordinate centres the window on the main screen (the first of the screens'
// usable areas) at its current width and the stored height; otherwise the window goes to the stored
// position, 940 wide, the height clamped, and brought onto the screens (bringOntoScreens): a screen
// that is gone, or a position stored at another scale, leaves no window out of reach.
MainWindowPlacement computeMainWindowPlacement(int storedX, int storedY, int storedHeight,
                                               juce::Rectangle<int> currentBounds,
                                               const juce::Array<juce::Rectangle<int>>& screenAreas);

// Owns the main window and the look-and-feel it draws with once handed over.
class MainWindowManager : public Singleton<MainWindowManager>, public juce::DeletedAtShutdown
{
public:
    ~MainWindowManager() override;

    MainAppWindow* getMainWindow() const noexcept { return mainWindow.get(); }
    // Takes the window and gives it this manager's look-and-feel.
    void setMainWindow(std::unique_ptr<MainAppWindow> window);
    // Deletes the window (it stores its bounds) and forgets it.
    void deleteMainWindow();

    // Builds, places and shows the main window with its menu bar, key mappings, title, icon and the
    // shared tooltip window, unless a window exists already.
    void createMainWindow(const juce::String& title);

private:
    friend class Singleton<MainWindowManager>;
    MainWindowManager() = default;

    std::unique_ptr<MainAppWindow> mainWindow;
    DefaultLookAndFeel lookAndFeel;
};
} // namespace x47390_ui
