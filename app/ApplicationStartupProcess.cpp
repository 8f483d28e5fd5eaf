#include "app/ApplicationStartupProcess.h"

#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuManager.h"
#include "app/PreferencesData.h"

namespace x47390_application
{
ApplicationStartupProcess::ApplicationStartupProcess(CommandInvoker invoker) : invokeCommand(std::move(invoker))
{
    if (!invokeCommand)
        invokeCommand = [](int commandId)
        { x47390_menu::ApplicationMenuManager::getInstance()->getCommandManager().invokeDirectly(commandId, false); };
    midi::MidiDeviceManager::getInstance()->addListener(this);
}

ApplicationStartupProcess::~ApplicationStartupProcess()
{
    if (auto* deviceManager = midi::MidiDeviceManager::getInstanceWithoutCreating())
        deviceManager->removeListener(this);
    cancelPendingUpdate();
}

void ApplicationStartupProcess::deviceScanFinished() { triggerAsyncUpdate(); }

void ApplicationStartupProcess::handleAsyncUpdate()
{
    if (startupDone)
        return;
    if (!openedFromCommandLine && x47390_preferences::PreferencesData::getInstance()->getBoolValue("AutoReceive", true))
    {
        invokeCommand(x47390_menu::cmdReceiveLibrary);
        invokeCommand(x47390_menu::cmdReceiveUserData);
    }
    startupDone = true;
}
} // namespace x47390_application
