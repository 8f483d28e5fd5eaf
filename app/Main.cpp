// The program's entry point.
#include "app/ApplicationMenuManager.h"
#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "ui/MainWindowManager.h"
#include "ui/TooltipWindowManager.h"

#include <JuceHeader.h>

namespace
{
class sonavireLibrarianApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return JUCE_APPLICATION_NAME_STRING; }
    const juce::String getApplicationVersion() override { return JUCE_APPLICATION_VERSION_STRING; }
    bool moreThanOneInstanceAllowed() override { return false; }

    void initialise(const juce::String&) override
    {
        x47390_preferences::PreferencesData::getInstance();
        CJQZResource::getInstance();
        auto* menuManager = x47390_menu::ApplicationMenuManager::getInstance();

        auto window = std::make_unique<MainAppWindow>(getApplicationName());
        window->centreWithSize(window->getWidth(), window->getHeight());
        window->setMenuBar(menuManager, 20);
        window->addKeyListener(menuManager->getCommandManager().getKeyMappings());
        window->updateTitle();
        window->setUsingNativeTitleBar(true);
        window->setVisible(true);
        window->setResizable(true, false);
        x47390_ui::TooltipWindowManager::getInstance()->createTooltipWindow(700);
        application::DataEditStatus::getInstance()->addListener(window.get());
        application::LastSavedFileStatus::getInstance()->addListener(window.get());
        x47390_ui::MainWindowManager::getInstance()->setMainWindow(std::move(window));
    }

    void shutdown() override { x47390_ui::MainWindowManager::getInstance()->deleteMainWindow(); }
    void systemRequestedQuit() override { quit(); }
};
} // namespace

START_JUCE_APPLICATION(sonavireLibrarianApplication)
