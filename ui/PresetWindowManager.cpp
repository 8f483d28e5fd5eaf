#include "ui/PresetWindowManager.h"

#include "app/PreferencesData.h"
#include "ui/ImageLibrary.h"
#include "ui/PresetListComponent.h"

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
        newWindow->setBounds(x, y, width, height);
        newWindow->lastBounds = {x, y, width, height};
    }

    newWindow->setIcon(ui::getImage("ApplicationIcon"));
    newWindow->setVisible(true);
    newWindow->setResizable(true, false);

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
