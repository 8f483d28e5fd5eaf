#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuCommands.h"
#include "app/ApplicationMenuManager.h"
#include "app/CJQZResource.h"
#include "app/DebugModeModel.h"
#include "data/ApplicationUndoManager.h"
#include "tests/app/CommandTestSupport.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedTabStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

#include <map>

using namespace x47390_menu;
using commandtest::CommandTest;

namespace
{
ApplicationMenuManager& manager() { return *ApplicationMenuManager::getInstance(); }

juce::ApplicationCommandInfo infoOf(int id)
{
    juce::ApplicationCommandInfo info(id);
    manager().getCommands().getCommandInfo(id, info);
    return info;
}

bool enabled(int id) { return (infoOf(id).flags & juce::ApplicationCommandInfo::isDisabled) == 0; }

// What the menu shows: command identifiers in order, 0 for a separator.
juce::Array<int> menuEntries(int index)
{
    juce::Array<int> entries;
    const auto menu = manager().getMenuForIndex(index, {});
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
    {
        const auto& item = it.getItem();
        if (item.isSeparator)
            entries.add(0);
        else
        {
            EXPECT_EQ(item.commandManager, &manager().getCommandManager());
            entries.add(item.itemID);
        }
    }
    return entries;
}

juce::Array<bool> menuEnabledStates(int index)
{
    juce::Array<bool> states;
    const auto menu = manager().getMenuForIndex(index, {});
    for (juce::PopupMenu::MenuItemIterator it(menu); it.next();)
        if (!it.getItem().isSeparator)
            states.add(it.getItem().isEnabled);
    return states;
}

struct Listener : juce::ApplicationCommandManagerListener
{
    int changes = 0;
    void applicationCommandInvoked(const juce::ApplicationCommandTarget::InvocationInfo&) override {}
    void applicationCommandListChanged() override { ++changes; }
};
} // namespace

TEST_F(CommandTest, EveryCommandHasItsNameCategoryAndKeyPress)
{
    struct Row
    {
        int id;
        const char* key;
        const char* category;
        int keyCode;
        bool shift;
    };
    const Row rows[] = {
        {1, "MenuFileNew", "File", 'n', false},
        {2, "MenuFileOpen", "File", 'o', false},
        {3, "MenuFileSave", "File", 's', false},
        {4, "MenuFileSaveAs", "File", 's', true},
        {5, "MenuFileLoadProgram", "File", 0, false},
        {6, "MenuFileSaveProgram", "File", 0, false},
        {7, "MenuFileLoadTuning", "File", 0, false},
        {8, "MenuFileSaveTuning", "File", 0, false},
        {9, "MenuFileImportTuningWindow", "File", 0, false},
        {10, "MenuFileImportTuning", "File", 0, false},
        {11, "MenuFileImportTuningMap", "File", 0, false},
        {12, "MenuFileExportTuning", "File", 0, false},
        {13, "MenuFileImportPresetFile", "File", 0, false},
        {14, "MenuFileImportVoicingEditorFile", "File", 0, false},
        {15, "MenuFileSavePreset", "File", 0, false},
        {16, "MenuFileExit", "File", 'q', false},
        {17, "MenuFileTuningTemplate", "File", 0, false},
        {18, "MenuEditUndo", "Edit", 'z', false},
        {19, "MenuEditRedo", "Edit", 'z', true},
        {20, "MenuEditCut", "Edit", 'x', false},
        {21, "MenuEditCopy", "Edit", 'c', false},
        {22, "MenuEditPaste", "Edit", 'v', false},
        {23, "MenuEditClear", "Edit", 'k', false},
        {24, "MenuEditProgramTuning", "Edit", 0, false},
        {25, "MenuMidiReceiveLibrary", "MIDI", 'l', false},
        {26, "MenuMidiWriteLibrary", "MIDI", 't', false},
        {27, "MenuMidiReceiveProgram", "MIDI", 0, false},
        {28, "MenuMidiWriteProgram", "MIDI", 0, false},
        {29, "MenuMidiReceiveTuning", "MIDI", 0, false},
        {30, "MenuMidiWriteTuning", "MIDI", 0, false},
        {31, "MenuMidiTransCurrentTuning", "MIDI", 0, false},
        {32, "MenuOptionPreferences", "Option", ',', false},
        {33, "MenuOptionOpenPresetWindow", "Option", 'p', false},
        {34, "MenuOptionAbout", "Option", 0, false},
        {35, "MenuOptionInit", "Option", 0, false},
        {36, nullptr, "Option", 0, false},
        {37, "MenuMidiReceiveUserEnv", "MIDI", 0, false},
        {38, "MenuMidiReceiveUserData", "MIDI", 0, false},
        {39, "MenuMidiWriteUserData", "MIDI", 0, false},
    };

    juce::Array<juce::CommandID> all;
    manager().getCommands().getAllCommands(all);
    ASSERT_EQ(all.size(), 39);
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(all[i], i + 1);

    auto* resource = CJQZResource::getInstance();
    for (const auto& row : rows)
    {
        const auto info = infoOf(row.id);
        const auto name = row.key != nullptr ? resource->getString(row.key) : juce::String("Open Debug Window");
        EXPECT_TRUE(name.isNotEmpty()) << row.id;
        EXPECT_EQ(info.shortName, name) << row.id;
        EXPECT_EQ(info.categoryName, row.category) << row.id;
        EXPECT_TRUE(info.description.isEmpty()) << row.id;
        if (row.keyCode == 0)
        {
            EXPECT_TRUE(info.defaultKeypresses.isEmpty()) << row.id;
            continue;
        }
        ASSERT_EQ(info.defaultKeypresses.size(), 1) << row.id;
        const auto modifiers = juce::ModifierKeys::commandModifier | (row.shift ? juce::ModifierKeys::shiftModifier : 0);
        EXPECT_EQ(info.defaultKeypresses[0], juce::KeyPress(row.keyCode, modifiers, 0)) << row.id;

        // The key mappings the main window listens to turn the key press into the command.
        EXPECT_EQ(manager().getCommandManager().getKeyMappings()->findCommandForKeyPress(info.defaultKeypresses[0]),
                  row.id);
    }
}

TEST_F(CommandTest, IdentifiersOutsideTheTableAreNotHandled)
{
    auto& commands = manager().getCommands();
    for (int id : {0, 40, -1})
    {
        EXPECT_FALSE(commands.perform(juce::ApplicationCommandTarget::InvocationInfo(id))) << id;
        juce::ApplicationCommandInfo info(id);
        commands.getCommandInfo(id, info);
        EXPECT_TRUE(info.shortName.isEmpty()) << id;
    }
    EXPECT_TRUE(dialogs.empty());
}

// Every rule against every state that can change it: tab, program selection, the tab's own list selection,
// the modal-dialog state and the undo history.
TEST_F(CommandTest, EnabledRuleMatrix)
{
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    for (int tab = 0; tab <= 5; ++tab)
        for (int programs : {0, 1, 2})
            for (bool listRow : {false, true})
                for (int undoState : {0, 1, 2}) // nothing, something to undo, something to redo
                    for (bool modal : {false, true})
                    {
                        ui::SelectedTabStatus::getInstance()->setTab(tab, {});
                        std::vector<int> rows;
                        for (int r = 0; r < programs; ++r)
                            rows.push_back(r * 3);
                        selectPrograms(rows);
                        const std::vector<int> listRows = listRow ? std::vector<int>{2} : std::vector<int>{};
                        ui::SelectedUserOscStatus::getInstance()->setSelection(tab == 1 ? listRows : std::vector<int>{});
                        ui::SelectedUserModFXStatus::getInstance()->setSelection(tab == 2 ? listRows
                                                                                           : std::vector<int>{});
                        ui::SelectedUserDelFXStatus::getInstance()->setSelection(tab == 3 ? listRows
                                                                                           : std::vector<int>{});
                        ui::SelectedUserRevFXStatus::getInstance()->setSelection(tab == 4 ? listRows
                                                                                           : std::vector<int>{});
                        undoManager->clearUndoHistory();
                        if (undoState > 0)
                            editLibrary();
                        if (undoState == 2)
                            undoManager->undo();
                        ui::ModalDialogState::getInstance()->setModalDialogOpen(modal);

                        const bool canUndo = undoState == 1;
                        const bool canRedo = undoState == 2;
                        const int tabRows = tab == 0 ? programs : (tab <= 4 && listRow ? 1 : 0);
                        std::map<int, bool> expected;
                        for (int id = 1; id <= 39; ++id)
                            expected[id] = true;
                        expected[cmdLoadProgram] = expected[cmdSaveProgram] = expected[cmdProgramTuning] =
                            programs == 1;
                        expected[cmdReceiveProgram] = expected[cmdWriteProgram] = programs > 0;
                        expected[cmdUndo] = canUndo;
                        expected[cmdRedo] = canRedo;
                        expected[cmdCut] = expected[cmdCopy] = expected[cmdPaste] = tab == 0 && programs == 1;
                        expected[cmdClear] = tabRows > 0;

                        for (int id = 1; id <= 39; ++id)
                            ASSERT_EQ(enabled(id), expected[id] && !modal)
                                << "command " << id << ", tab " << tab << ", programs " << programs << ", list row "
                                << listRow << ", undo state " << undoState << ", modal " << modal;
                    }
}

TEST_F(CommandTest, APerformDuringAModalDialogIsSwallowed)
{
    editLibrary();
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    for (int id : {cmdNew, cmdOpen, cmdExit, cmdPreferences, cmdUndo})
        EXPECT_TRUE(manager().getCommands().perform(juce::ApplicationCommandTarget::InvocationInfo(id))) << id;
    EXPECT_TRUE(dialogs.empty());
    EXPECT_TRUE(choosers.empty());
    EXPECT_EQ(quitRequests, 0);
    EXPECT_TRUE(isEdited());
    EXPECT_EQ(library().getProgramData(0).getName(), commandtest::storedName("Edited"));
}

// A command that refuses (Exit answered with Cancel) reports false, yet reaching it through the command
// manager, as menus and key presses do, must not set off the toolkit's assertion about targets that claim
// commands they cannot perform.
TEST_F(CommandTest, ARefusedCommandTripsNoToolkitAssertion)
{
    editLibrary();
    answerDialog(0);
    EXPECT_FALSE(manager().getCommands().perform(juce::ApplicationCommandTarget::InvocationInfo(cmdExit)));

    juce::String reported;
    {
        commandtest::StandardErrorCapture capture;
        answerDialog(0);
        manager().getCommandManager().invokeDirectly(cmdExit, false);
        answerDialog(0);
        manager().getCommandManager().invokeDirectly(cmdExit, true);
        testsupport::drainMessageLoop();
        answerDialog(0);
        const juce::KeyPress quitKey('q', juce::ModifierKeys::commandModifier, 0);
        juce::Component focus;
        manager().getCommandManager().getKeyMappings()->keyPressed(quitKey, &focus);
        reported = capture.text();
    }
    EXPECT_EQ(dialogs.size(), 4u) << "each invocation asked the discard question";
    EXPECT_EQ(quitRequests, 0);
    EXPECT_FALSE(reported.contains("JUCE Assertion failure")) << reported;

#if JUCE_DEBUG
    // The capture does see the assertion when the commands object itself is the first target.
    juce::ApplicationCommandManager bare;
    bare.registerAllCommandsForTarget(&manager().getCommands());
    bare.setFirstCommandTarget(&manager().getCommands());
    {
        commandtest::StandardErrorCapture capture;
        answerDialog(0);
        bare.invokeDirectly(cmdExit, false);
        reported = capture.text();
    }
    bare.setFirstCommandTarget(nullptr);
    EXPECT_TRUE(reported.contains("JUCE Assertion failure")) << reported;
#endif
}

TEST_F(CommandTest, MenusListTheirCommandsAndTheMarkerFilesAddTheirItems)
{
    auto* resource = CJQZResource::getInstance();
    EXPECT_EQ(manager().getMenuBarNames(),
              (juce::StringArray{resource->getString("MenuCategoryFile"), resource->getString("MenuCategoryEdit"),
                                 resource->getString("MenuCategoryMidi"), resource->getString("MenuCategoryOption")}));

    const juce::Array<int> file{1, 2, 3, 4, 0, 5, 6, 0, 7, 8, 0, 9, 12, 0, 13, 0, 16}; // Exit last
    const juce::Array<int> edit{18, 19, 0, 20, 21, 22, 23};
    const juce::Array<int> midi{25, 26, 0, 27, 28, 0, 38, 39};
    const juce::Array<int> option{33, 0, 32, 0, 34, 0, 35};
    EXPECT_EQ(menuEntries(0), file);
    EXPECT_EQ(menuEntries(1), edit);
    EXPECT_EQ(menuEntries(2), midi);
    EXPECT_EQ(menuEntries(3), option);
    EXPECT_TRUE(menuEntries(4).isEmpty());

    auto* debugMode = x47390_application::DebugModeModel::getInstance();
    debugMode->isDeveloperMode = true;
    const juce::Array<int> fileWithPreset{1, 2, 3, 4, 0, 5, 6, 0, 7, 8, 0, 9, 12, 0, 13, 0, 15, 0, 16};
    EXPECT_EQ(menuEntries(0), fileWithPreset);
    EXPECT_EQ(menuEntries(3), option) << "the developer marker only adds Save Preset";

    debugMode->isDeveloperMode = false;
    debugMode->isDebugMode = true;
    auto optionWithDebug = option;
    optionWithDebug.addArray(juce::Array<int>{0, 36});
    EXPECT_EQ(menuEntries(3), optionWithDebug);
    EXPECT_EQ(menuEntries(0), file);

    // Items show the commands' own names.
    const auto menu = manager().getMenuForIndex(3, {});
    juce::PopupMenu::MenuItemIterator it(menu);
    ASSERT_TRUE(it.next());
    EXPECT_EQ(it.getItem().text, resource->getString("MenuOptionOpenPresetWindow"));
}

TEST_F(CommandTest, MenuItemsFollowTheEnabledRulesWhenBuilt)
{
    selectPrograms({1, 2});
    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
    EXPECT_EQ(menuEnabledStates(0),
              (juce::Array<bool>{true, true, true, true, false, false, true, true, true, true, true, true}));
    EXPECT_EQ(menuEnabledStates(1), (juce::Array<bool>{false, false, false, false, false, true}));

    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    for (int index = 0; index < 4; ++index)
        EXPECT_FALSE(menuEnabledStates(index).contains(true)) << index;
    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);

    editLibrary();
    EXPECT_EQ(menuEnabledStates(1)[0], true);
    application::ApplicationUndoManager::getInstance()->undo();
    EXPECT_EQ(menuEnabledStates(1)[0], false);
    EXPECT_EQ(menuEnabledStates(1)[1], true);
}

// Selection, undo and modal changes each make the command manager tell its listeners (the menu bar and the
// command buttons) to look again.
TEST_F(CommandTest, SelectionUndoAndModalChangesRefreshTheCommands)
{
    Listener listener;
    manager().getCommandManager().addListener(&listener);
    const std::function<void()> changes[] = {
        [] { selectPrograms({3, 4}); },
        [] { editLibrary(); },
        [] { application::ApplicationUndoManager::getInstance()->undo(); },
        [] { ui::ModalDialogState::getInstance()->setModalDialogOpen(true); },
        [] { ui::ModalDialogState::getInstance()->setModalDialogOpen(false); },
    };
    for (size_t i = 0; i < std::size(changes); ++i)
    {
        testsupport::drainMessageLoop();
        listener.changes = 0;
        changes[i]();
        EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return listener.changes > 0; })) << i;
    }
    manager().getCommandManager().removeListener(&listener);
}

TEST_F(CommandTest, KeyPressesReachTheCommands)
{
    editLibrary();
    juce::Component focus;
    auto* mappings = manager().getCommandManager().getKeyMappings();
    auto* resource = CJQZResource::getInstance();
    const int ctrl = juce::ModifierKeys::commandModifier;

    answerDialog(0); // the discard question of New, cancelled
    EXPECT_TRUE(mappings->keyPressed(juce::KeyPress('n', ctrl, 0), &focus));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, resource->getString("FileDiscardCheckTitle"));

    EXPECT_TRUE(mappings->keyPressed(juce::KeyPress('s', ctrl | juce::ModifierKeys::shiftModifier, 0), &focus));
    ASSERT_EQ(choosers.size(), 1u);
    EXPECT_EQ(choosers[0].request.title, resource->getString("FileSaveLibraryTitle"));

    EXPECT_TRUE(mappings->keyPressed(juce::KeyPress(',', ctrl, 0), &focus));
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[1].title, resource->getString("PreferencesDialogTitle"));
}
