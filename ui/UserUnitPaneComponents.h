#pragma once

#include "app/PreferencesDataChangeBroadcaster.h"
#include "ui/DragBadge.h"
#include "ui/ProgramListLookAndFeel.h"
#include "ui/UserListComponent.h"
#include "ui/UserListControllers.h"
#include "ui/UserListViews.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The slot that the file at the given position of a drop goes to when the drop lands on the given row:
// the row plus the position, or -1 when no row lies under the drop or the slot is past the last one.
int getUserUnitDropSlot(int rowUnderDrop, int positionInDrop, int numRows) noexcept;

// True for the extensions of user-unit files, whatever their case.
bool isUserUnitFile(const juce::String& path);

// The page of one kind of user-unit slots: its list, with the row height of the program list, and the
// unit files dropped onto it, which go into the slots from the row under the pointer on.
class UserUnitPaneComponent : public juce::Component,
                              public ui::DragBadgeContainer,
                              public juce::ApplicationCommandTarget,
                              public juce::FileDragAndDropTarget,
                              public application::PreferencesDataChangeBroadcasterObserver
{
public:
    ~UserUnitPaneComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    // Commands go on to the application's command target; the page has none of its own.
    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands(juce::Array<juce::CommandID>&) override {}
    void getCommandInfo(juce::CommandID, juce::ApplicationCommandInfo&) override {}
    bool perform(const InvocationInfo&) override { return false; }

    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;

    void preferencesDataChanged() override;

    UserListComponent& getList() noexcept { return *list; }
    // The module number the unit files of this page carry.
    int getUnitKindCode() const noexcept { return unitKindCode; }

protected:
    UserUnitPaneComponent(std::unique_ptr<ui::UserListViewInterface> view,
                          std::unique_ptr<ui::UserListControllerInterface> controller, const juce::String& listName,
                          int unitKindCode);

private:
    void applyRowHeight();

    // Destroyed in reverse: the list first, then the look-and-feel, the controller and the view.
    std::unique_ptr<ui::UserListViewInterface> view;
    std::unique_ptr<ui::UserListControllerInterface> controller;
    x47390_ui::ProgramListLookAndFeel lookAndFeel;
    std::unique_ptr<UserListComponent> list;
    const int unitKindCode;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(UserUnitPaneComponent)
};

class UserOscPaneComponent : public UserUnitPaneComponent
{
public:
    UserOscPaneComponent();
};

class UserModFXPaneComponent : public UserUnitPaneComponent
{
public:
    UserModFXPaneComponent();
};

class UserDelFXPaneComponent : public UserUnitPaneComponent
{
public:
    UserDelFXPaneComponent();
};

class UserRevFXPaneComponent : public UserUnitPaneComponent
{
public:
    UserRevFXPaneComponent();
};
