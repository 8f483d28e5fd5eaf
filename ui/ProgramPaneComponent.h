#pragma once

#include "ui/DragBadge.h"
#include "ui/LeftPaneComponent.h"
#include "ui/RightPaneComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The PROGRAM tab's page: the program table above, the live-set favourites below. It is the drag
// container of the drags on the page, takes library, program and preset files dropped on it, and
// hands every command on to the application's command target.
class ProgramPaneComponent : public juce::Component,
                             public ui::DragBadgeContainer,
                             public juce::ApplicationCommandTarget,
                             public juce::FileDragAndDropTarget
{
public:
    ProgramPaneComponent();
    ~ProgramPaneComponent() override;

    LeftPaneComponent* getLeftPane() const noexcept { return leftPane.get(); }
    RightPaneComponent* getRightPane() const noexcept { return rightPane.get(); }

    void paint(juce::Graphics&) override;
    void resized() override;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands(juce::Array<juce::CommandID>&) override {}
    void getCommandInfo(juce::CommandID, juce::ApplicationCommandInfo&) override {}
    bool perform(const InvocationInfo&) override { return false; }

    bool isInterestedInFileDrag(const juce::StringArray& files) override;
    void filesDropped(const juce::StringArray& files, int x, int y) override;

private:
    std::unique_ptr<RightPaneComponent> rightPane;
    std::unique_ptr<LeftPaneComponent> leftPane;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ProgramPaneComponent)
};
