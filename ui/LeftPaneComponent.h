#pragma once

#include "app/PreferencesDataChangeBroadcaster.h"
#include "ui/ProgramListComponent.h"
#include "ui/ProgramListController.h"
#include "ui/ProgramListLookAndFeel.h"
#include "ui/ProgramListView.h"

#include <memory>

// The upper part of the program page: the program table, whose rows follow the "ProgramListHeight"
// preference.
class LeftPaneComponent : public juce::Component, public application::PreferencesDataChangeBroadcasterObserver
{
public:
    LeftPaneComponent();
    ~LeftPaneComponent() override;

    ProgramListComponent* getProgramListComponent() const noexcept { return list.get(); }

    void paint(juce::Graphics&) override;
    void resized() override;
    void preferencesDataChanged() override;

private:
    void applyRowHeight();

    x47390_ui::ProgramListView view;
    x47390_ui::ProgramListController controller;
    x47390_ui::ProgramListLookAndFeel listLookAndFeel;
    std::unique_ptr<ProgramListComponent> list;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LeftPaneComponent)
};
