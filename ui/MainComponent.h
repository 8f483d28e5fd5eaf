#pragma once

#include "ui/DragBadge.h"
#include "ui/CustomTabbedComponent.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/ModalDialogState.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class HeaderComponent;

// The main window's content: the header strip and the six tabs. It is the drag container of drags
// that start outside the pages with containers of their own, takes library, program and preset
// files dropped from the desktop, and hands every command on to the application's command target.
class MainComponent : public juce::Component,
                      public ui::DragBadgeContainer,
                      public juce::ApplicationCommandTarget,
                      public juce::FileDragAndDropTarget,
                      public ui::ModalDialogStateObserver,
                      private juce::FocusChangeListener
{
public:
    MainComponent();
    ~MainComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands(juce::Array<juce::CommandID>&) override {}
    void getCommandInfo(juce::CommandID, juce::ApplicationCommandInfo&) override {}
    bool perform(const InvocationInfo&) override { return false; }

    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;

    // When a dialog has closed and left the keyboard nowhere, or with the window itself, the page under it
    // takes it.
    void modalDialogStateChanged() override;
    // Gives the keyboard to the selected page: its list, or the page's own keyboard handling.
    void focusCurrentPage();

    HeaderComponent* getHeader() const noexcept { return header.get(); }
    ui::CustomTabbedComponent* getTabs() const noexcept { return tabs.get(); }

private:
    void globalFocusChanged(juce::Component* focused) override;

    x47390_ui::DefaultLookAndFeel tabLookAndFeel;
    std::unique_ptr<HeaderComponent> header;
    std::unique_ptr<ui::CustomTabbedComponent> tabs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(MainComponent)
};
