#include "ui/MainWindowManager.h"

#include "app/ApplicationMenuManager.h"
#include "app/PreferencesData.h"
#include "ui/ImageLibrary.h"
#include "ui/TooltipWindowManager.h"
#include "ui/WindowPlacement.h"

namespace x47390_ui
{
MainWindowPlacement computeMainWindowPlacement(int storedX, int storedY, int storedHeight,
                                               juce::Rectangle<int> currentBounds,
                                               const juce::Array<juce::Rectangle<int>>& screenAreas)
{
    const auto mainScreen = screenAreas.isEmpty() ? juce::Rectangle<int>() : screenAreas.getFirst();
    MainWindowPlacement placement;
    if (storedX < 0 || storedY < 0)
    {
        placement.centred = true;
        // The height stays as stored, but a window needs one.
        const int height = storedHeight > 0 ? storedHeight : currentBounds.getHeight();
        placement.bounds = mainScreen.withSizeKeepingCentre(currentBounds.getWidth(), height);
        return placement;
    }

    const int height = juce::jlimit(mainWindowMinimumHeight, mainWindowMaximumHeight, storedHeight);
    placement.bounds = {storedX, storedY, mainWindowWidth, height};
    // The window manager's frame is not known before the first window shows.
    placement.bounds = ui::bringOntoScreens(placement.bounds, screenAreas, {});
    return placement;
}

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

void MainWindowManager::createMainWindow(const juce::String& title)
{
    if (mainWindow != nullptr)
        return;

    auto window = std::make_unique<MainAppWindow>(title);

    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    const int storedX = preferences->getIntValue("MainWindowPositionX", -1);
    const int storedY = preferences->getIntValue("MainWindowPositionY", -1);
    const int storedHeight = preferences->getIntValue("MainWindowHeight", window->getHeight());

    const auto placement =
        computeMainWindowPlacement(storedX, storedY, storedHeight, window->getBounds(), ui::getScreenAreas());
    if (!placement.centred)
        window->setResizeLimits(mainWindowWidth, mainWindowMinimumHeight, mainWindowWidth, mainWindowMaximumHeight);
    window->setBounds(placement.bounds);
    window->rememberBounds(placement.bounds);

    auto* menuManager = x47390_menu::ApplicationMenuManager::getInstance();
    window->setMenuBar(menuManager, 20);
    window->addKeyListener(menuManager->getCommandManager().getKeyMappings());

    window->updateTitle();
    window->setUsingNativeTitleBar(true);
    // Each of these makes the window anew while it is on the desktop: done before it shows, the first window
    // mapped is the one that stays, and nothing flickers.
    window->setResizable(true, false);
    window->setVisible(true);
    const auto icon = ui::getImage("ApplicationIcon");
    window->setIcon(icon);
    // The title bar is the window manager's: it takes the icon from the window itself.
    if (auto* peer = window->getPeer())
        peer->setIcon(icon);
    // Brought onto the screens again once the window manager's frame is known.
    window->keepPlacedBounds(placement.centred ? placement.bounds
                                               : placement.bounds.withPosition(storedX, storedY));

    TooltipWindowManager::getInstance()->createTooltipWindow(700);

    application::DataEditStatus::getInstance()->addListener(window.get());
    application::LastSavedFileStatus::getInstance()->addListener(window.get());
    setMainWindow(std::move(window));
}
} // namespace x47390_ui
