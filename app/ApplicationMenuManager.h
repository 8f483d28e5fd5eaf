#pragma once

#include "app/ApplicationMenuCommands.h"
#include "data/Singleton.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace x47390_menu
{
// Owns the application's command manager, its command target and the menu bar model. Every change
// of the program selection, the undo history or the modal-dialog state makes the command manager
// re-evaluate the commands, so menus, key presses and command buttons follow their enabled rules.
class ApplicationMenuManager : public Singleton<ApplicationMenuManager>,
                               public ui::SelectedProgramStatusObserver,
                               public ui::ModalDialogStateObserver,
                               public juce::ChangeListener,
                               public juce::MenuBarModel,
                               public juce::DeletedAtShutdown
{
public:
    // Makes what this object uses exist first (the toolkit's desktop, the undo manager, the statuses it
    // observes), so they are deleted after it at shutdown.
    static ApplicationMenuManager* getInstance();
    ~ApplicationMenuManager() override;

    juce::ApplicationCommandManager& getCommandManager() noexcept { return commandManager; }
    ApplicationMenuCommands& getCommands() noexcept { return commands; }

    juce::StringArray getMenuBarNames() override;
    juce::PopupMenu getMenuForIndex(int menuIndex, const juce::String& menuName) override;
    void menuItemSelected(int menuItemID, int topLevelMenuIndex) override;

    void selectedProgramStatusChanged() override;
    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void modalDialogStateChanged() override;

    // The command identifiers of a menu in order; 0 stands for a separator.
    static juce::Array<int> getMenuItems(int menuIndex);

private:
    friend class Singleton<ApplicationMenuManager>;
    ApplicationMenuManager();

    // The command manager's first target: it hands every command to the commands object and counts a
    // refused one as handled, so the toolkit does not take the refusal for a broken target.
    class CommandInvoker : public juce::ApplicationCommandTarget
    {
    public:
        explicit CommandInvoker(ApplicationMenuCommands& target) : commands(target) {}
        juce::ApplicationCommandTarget* getNextCommandTarget() override { return commands.getNextCommandTarget(); }
        void getAllCommands(juce::Array<juce::CommandID>& ids) override { commands.getAllCommands(ids); }
        void getCommandInfo(juce::CommandID id, juce::ApplicationCommandInfo& info) override
        {
            commands.getCommandInfo(id, info);
        }
        bool perform(const InvocationInfo& info) override
        {
            commands.perform(info);
            return true;
        }

    private:
        ApplicationMenuCommands& commands;
    };

    juce::ApplicationCommandManager commandManager;
    ApplicationMenuCommands commands;
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    CommandInvoker invoker{commands};

    JUCE_DECLARE_NON_COPYABLE(ApplicationMenuManager)
};
} // namespace x47390_menu
