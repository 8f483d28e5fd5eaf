#include "ui/ProgramPaneComponent.h"

#include "app/ApplicationMenuManager.h"
#include "ui/LibraryFileDrop.h"

namespace
{
// The favourites reach 16 pixels below the page; those pixels are never shown.
constexpr int rightPaneTop = 286;
constexpr int rightPaneHeight = 302;
} // namespace

ProgramPaneComponent::ProgramPaneComponent()
{
    rightPane = std::make_unique<RightPaneComponent>();
    addAndMakeVisible(*rightPane);
    leftPane = std::make_unique<LeftPaneComponent>();
    addAndMakeVisible(*leftPane);
    setSize(790, 550);
}

ProgramPaneComponent::~ProgramPaneComponent()
{
    leftPane.reset();
    rightPane.reset();
}

void ProgramPaneComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void ProgramPaneComponent::resized()
{
    rightPane->setBounds(0, getHeight() - rightPaneTop, getWidth(), rightPaneHeight);
    leftPane->setBounds(0, 0, getWidth(), getHeight() - rightPaneTop);
}

juce::ApplicationCommandTarget* ProgramPaneComponent::getNextCommandTarget()
{
    return &x47390_menu::ApplicationMenuManager::getInstance()->getCommands();
}

bool ProgramPaneComponent::isInterestedInFileDrag(const juce::StringArray& files)
{
    return ui::isInterestedInLibraryFileDrag(files);
}

void ProgramPaneComponent::filesDropped(const juce::StringArray& files, int, int)
{
    ui::handleLibraryFileDrop(files);
}
