#include "ui/LeftPaneComponent.h"

#include "data/DataCenter.h"
#include "ui/DragItems.h"

LeftPaneComponent::LeftPaneComponent()
    : view(x47390_data::DataCenter::getInstance()->getLibraryData()),
      controller(x47390_data::DataCenter::getInstance()->getLibraryData())
{
    list = std::make_unique<ProgramListComponent>(view, controller);
    addAndMakeVisible(*list);
    list->setName("Program List");

    auto& table = list->getTable();
    applyRowHeight();
    table.setHeaderHeight(28);
    table.resized();
    list->programDragTypeName = ui::programListDragItemTypeName;
    list->presetDragTypeName = ui::presetDataDragItemTypeName;
    table.setColour(juce::ListBox::backgroundColourId, juce::Colour(0xff000000));
    list->setLookAndFeel(&listLookAndFeel);
    list->copyTargetColour = juce::Colour(0xdd333333);
    list->insertIndicatorColour = juce::Colour(0xff333333);

    setSize(1110, 400);
    application::PreferencesDataChangeBroadcaster::getInstance()->addListener(this);
}

LeftPaneComponent::~LeftPaneComponent()
{
    if (auto* broadcaster = application::PreferencesDataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    list->setLookAndFeel(nullptr);
    list.reset();
}

void LeftPaneComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void LeftPaneComponent::resized() { list->setBounds(getLocalBounds()); }

void LeftPaneComponent::applyRowHeight()
{
    auto& table = list->getTable();
    table.setRowHeight(getProgramListRowHeight());
    // Rows and cells read their fonts again.
    table.sendLookAndFeelChange();
}

void LeftPaneComponent::preferencesDataChanged() { applyRowHeight(); }
