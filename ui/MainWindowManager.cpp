#include "ui/MainWindowManager.h"

namespace x47390_ui
{
MainWindowManager::~MainWindowManager() { deleteMainWindow(); }

void MainWindowManager::setMainWindow(std::unique_ptr<MainAppWindow> window)
{
    mainWindow = std::move(window);
    if (mainWindow != nullptr)
        mainWindow->setLookAndFeel(&lookAndFeel);
}

void MainWindowManager::deleteMainWindow()
{
    if (mainWindow != nullptr)
        mainWindow->setLookAndFeel(nullptr);
    mainWindow.reset();
}
} // namespace x47390_ui
