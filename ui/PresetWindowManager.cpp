#include "ui/PresetWindowManager.h"

#include "app/PreferencesData.h"
#include "ui/ImageLibrary.h"
#include "ui/MainWindowManager.h"
#include "ui/PresetListComponent.h"
#include "ui/WindowPlacement.h"

namespace x47390_ui
{
namespace
{
constexpr int minimumSide = 100;
} // namespace

PresetWindowManager::~PresetWindowManager()
{
    cancelPendingUpdate();
    window.reset();
}

void PresetWindowManager::showPresetWindow()
{
    if (window != nullptr)
        return;

    auto newWindow = std::make_unique<PresetWindow>();
    // The natural size is the list's size; the window manager's frame lies outside it.
    newWindow->setUsingNativeTitleBar(true);
    newWindow->setContentOwned(new PresetListComponent(), true);

    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    const int x = preferences->getIntValue("PresetWindowPositionX", -1);
    const int y = preferences->getIntValue("PresetWindowPositionY", -1);
    // A stored size below the minimum (a hand-edited file) would give a window too small to grab.
    const int width = juce::jmax(minimumSide, preferences->getIntValue("PresetWindowWidth", newWindow->getWidth()));
    const int height = juce::jmax(minimumSide, preferences->getIntValue("PresetWindowHeight", newWindow->getHeight()));

    if (x < 0 || y < 0)
    {
        newWindow->centreWithSize(width, height);
    }
    else
    {
        // Placed before the window manager has framed it: the main window's frame is the best guess.
        const auto* main = MainWindowManager::getInstance()->getMainWindow();
        newWindow->setBounds(ui::bringOntoScreens({x, y, width, height}, ui::getScreenAreas(),
                                                  ui::getKnownFrameSize(main)));
        newWindow->lastBounds = newWindow->getBounds();
    }

    const auto icon = ui::getImage("ApplicationIcon");
    newWindow->setIcon(icon);
    // Made anew by this while on the desktop: done before it shows, the first window mapped stays.
    newWindow->setResizable(true, false);
    newWindow->setVisible(true);
    // The title bar is the window manager's: it takes the icon from the window itself.
    if (auto* peer = newWindow->getPeer())
        peer->setIcon(icon);
    newWindow->positionKeeper.keep(*newWindow, x < 0 || y < 0 ? newWindow->getBounds()
                                                              : juce::Rectangle<int>(x, y, width, height));

    window = std::move(newWindow);
    preferences->setBoolValue("ShowPresetWindow", true);
}

void PresetWindowManager::handleAsyncUpdate()
{
    if (window == nullptr)
        return;
    window.reset();
    x47390_preferences::PreferencesData::getInstance()->setBoolValue("ShowPresetWindow", false);
}
} // namespace x47390_ui
