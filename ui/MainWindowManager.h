#pragma once

#include "data/Singleton.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/MainAppWindow.h"

#include <memory>

namespace x47390_ui
{
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

private:
    friend class Singleton<MainWindowManager>;
    MainWindowManager() = default;

    std::unique_ptr<MainAppWindow> mainWindow;
    DefaultLookAndFeel lookAndFeel;
};
} // namespace x47390_ui
