// The program's entry point and its application object.
#include "app/ApplicationCommandIds.h"
#include "app/ApplicationInfo.h"
#include "app/ApplicationStartup.h"
#include "app/ApplicationStartupProcess.h"
#include "app/CommandLineProcessor.h"
#include "app/CurrentLanguageModel.h"
#include "app/FileCommands.h"
#include "app/PreferencesData.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "midi/MidiCommunicationManager.h"
#include "midi/MidiDeviceManager.h"
#include "platform/clipboard/Pasteboard.h"
#include "platform/loop/EventLoop.h"
#include "platform/system/FileNameBytes.h"
#include "platform/system/MemorySettings.h"
#include "platform/system/SystemLanguage.h"
#include "platform/system/X11WindowAtoms.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/FontLibrary.h"
#include "ui/MainWindowManager.h"
#include "ui/PresetWindowManager.h"

#include <JuceHeader.h>

#include <cstdio>
#include <memory>

namespace
{
x47390_application::SingleInstance* singleInstance = nullptr;
// Made from the program's arguments themselves: the toolkit's own joins them so that some names break apart.
juce::String programCommandLine;
x47390_application::ShutdownSignals* shutdownSignals = nullptr;

class sonavireLibrarianApplication : public juce::JUCEApplication
{
public:
    sonavireLibrarianApplication() = default;
    ~sonavireLibrarianApplication() override = default;

    const juce::String getApplicationName() override { return x47390_application::applicationName; }
    const juce::String getApplicationVersion() override { return x47390_application::applicationVersion; }
    // One instance per user is kept by the program itself, before the toolkit starts; the toolkit's own
    // check is machine-wide and would turn away every other user.
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise(const juce::String&) override
    {
        if (shutdownSignals != nullptr)
            shutdownSignals->startDelivering([] { shutDownInOrder(); });

        auto* language = x47390_application::CurrentLanguageModel::getInstance();
        language->language = platform::isSystemLanguageJapanese() ? 1 : 0;

        auto* fonts = ui::FontLibrary::getInstance();
        const juce::String typefaceName("Arial Unicode MS");
        fonts->defaultTypefaceName = typefaceName;
        fonts->heightSteps = {{12.0f, 14.0f, 16.0f, 18.0f, 20.0f, 22.0f}};
        fonts->defaultFont = fonts->makeFont(typefaceName, fonts->heightSteps[2]);
        language->typefaceName = typefaceName;
        lookAndFeel.setDefaultSansSerifTypefaceName(typefaceName);
        juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);

        initializeApplicationState();

        x47390_ui::MainWindowManager::getInstance()->createMainWindow(getApplicationName());

        if (singleInstance != nullptr)
            singleInstance->startListening([this](const juce::String& line) { anotherInstanceStarted(line); });

        x47390_application::CommandLineProcessor(startupProcess).process(programCommandLine);
        if (startupProcess.startupDone)
            return;

        auto* preferences = x47390_preferences::PreferencesData::getInstance();
        if (preferences->getBoolValue("ShowPresetWindow", false))
        {
            x47390_ui::PresetWindowManager::getInstance()->showPresetWindow();
            if (auto* window = x47390_ui::MainWindowManager::getInstance()->getMainWindow())
                window->toFront(true);
        }

        if (preferences->getBoolValue("MidiPortAutoScan", true))
            midi::MidiDeviceManager::getInstance()->startDeviceScan();
        else
            startupProcess.triggerAsyncUpdate();
    }

    void shutdown() override
    {
        if (singleInstance != nullptr)
            singleInstance->stopListening();
        if (shutdownSignals != nullptr)
            shutdownSignals->stopDelivering();
        x47390_ui::MainWindowManager::getInstance()->deleteMainWindow();
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        // The pasteboard's connection, thread and copied program go while the toolkit still runs, not
        // among the statics after it.
        platform::clipboard::Pasteboard::setDefault(nullptr);
    }

    void anotherInstanceStarted(const juce::String& commandLine) override
    {
        // The user started the program again: show where it runs, and the dialog waiting there if any.
        bringProgramToFront();
        x47390_application::CommandLineProcessor(startupProcess).process(commandLine);
    }

    void systemRequestedQuit() override
    {
        // While a dialog or a transfer waits, it has the answer first: the program stays.
        if (x47390_menu::isQuitRefused())
        {
            bringProgramToFront();
            return;
        }
        if (auto* window = x47390_ui::MainWindowManager::getInstance()->getMainWindow())
            window->toFront(true);
        x47390_menu::performFileCommand(x47390_menu::cmdExit);
    }

private:
    // A signal from outside: a running transfer stops where a message ends, then the program shuts down.
    static void shutDownInOrder()
    {
        if (!x47390_midi::MidiCommunicationManager::getInstance()->cancelTransfer([] { quit(); }))
            quit();
    }

    static void bringProgramToFront()
    {
        if (auto* modal = juce::Component::getCurrentlyModalComponent())
        {
            modal->toFront(true);
            return;
        }
        if (auto* window = x47390_ui::MainWindowManager::getInstance()->getMainWindow())
        {
            if (window->isMinimised())
                window->setMinimised(false);
            window->toFront(true);
        }
    }

    x47390_ui::DefaultLookAndFeel lookAndFeel;
    // Created with the application object, so the MIDI device manager is the first singleton.
    x47390_application::ApplicationStartupProcess startupProcess;
};

juce::JUCEApplicationBase* createApplication() { return new sonavireLibrarianApplication(); }
} // namespace

int main(int argc, char* argv[])
{
    platform::keepFreedMemoryForReuse();
    x47390_application::ShutdownSignals signals;
    shutdownSignals = &signals;

    // A file name need not be UTF-8: it is kept by its bytes.
    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add(platform::fileNameFromBytes(argv[i]));

    x47390_application::SingleInstance instance(x47390_application::SingleInstance::getDefaultFolder());
    programCommandLine = x47390_application::CommandLineProcessor::makeCommandLine(
        arguments, juce::File::getCurrentWorkingDirectory());
    switch (instance.acquireOrHandOver(programCommandLine))
    {
        case x47390_application::SingleInstance::Role::handedOver: return 0;
        case x47390_application::SingleInstance::Role::failed:
            std::fprintf(stderr, "sonavire Sound Librarian runs already but does not answer.\n");
            return 1;
        case x47390_application::SingleInstance::Role::first: break;
    }
    singleInstance = &instance;

    const platform::WindowManagerAtoms atoms;
    juce::JUCEApplicationBase::createInstance = &createApplication;
    const int result = platform::runApplication(argc, const_cast<const char**>(argv));
    singleInstance = nullptr;
    shutdownSignals = nullptr;
    return result;
}
