#include "ui/MainComponent.h"

#include "app/ApplicationMenuManager.h"
#include "tuning/TuningPaneComponent.h"
#include "ui/HeaderComponent.h"
#include "ui/LeftPaneComponent.h"
#include "ui/LibraryFileDrop.h"
#include "ui/ProgramListComponent.h"
#include "ui/ProgramPaneComponent.h"
#include "ui/UserUnitPaneComponents.h"

namespace
{
constexpr int headerHeight = 85;
const juce::Colour tabColour(0xff222222);
} // namespace

MainComponent::MainComponent()
{
    header = std::make_unique<HeaderComponent>();
    addAndMakeVisible(*header);

    tabs = std::make_unique<ui::CustomTabbedComponent>();
    addAndMakeVisible(*tabs);
    tabs->setTabBarDepth(30);

    auto* programPane = new ProgramPaneComponent();
    tabs->addTab("PROGRAM", tabColour, programPane, true);
    tabs->addTab("USER OSCILLATORS", tabColour, new UserOscPaneComponent(), true);
    tabs->addTab("USER MODULATION FX", tabColour, new UserModFXPaneComponent(), true);
    tabs->addTab("USER DELAY FX", tabColour, new UserDelFXPaneComponent(), true);
    tabs->addTab("USER REVERB FX", tabColour, new UserRevFXPaneComponent(), true);
    tabs->addTab("MICROTUNING", tabColour, new TuningPaneComponent(), true);

    auto& bar = tabs->getTabbedButtonBar();
    for (int i = 0; i < bar.getNumTabs(); ++i)
        if (auto* button = bar.getTabButton(i))
            button->setLookAndFeel(&tabLookAndFeel);

    setSize(870, 640);

    if (auto* leftPane = programPane->getLeftPane())
        if (auto* programList = leftPane->getProgramListComponent())
            bar.addChangeListener(programList);

    ui::ModalDialogState::getInstance()->addListener(this);
    juce::Desktop::getInstance().addFocusChangeListener(this);
}

MainComponent::~MainComponent()
{
    juce::Desktop::getInstance().removeFocusChangeListener(this);
    if (auto* modalState = ui::ModalDialogState::getInstanceWithoutCreating())
        modalState->removeListener(this);
    auto& bar = tabs->getTabbedButtonBar();
    for (int i = 0; i < bar.getNumTabs(); ++i)
        if (auto* button = bar.getTabButton(i))
            button->setLookAndFeel(nullptr);
    tabs.reset();
    header.reset();
}

void MainComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0x80262626)); }

void MainComponent::resized()
{
    header->setBounds(0, 0, getWidth(), headerHeight);
    // The tabs keep the component's full height: the lowest 85 pixels of each page lie below the window.
    tabs->setBounds(0, headerHeight, getWidth(), getHeight());
}

void MainComponent::modalDialogStateChanged()
{
    globalFocusChanged(juce::Component::getCurrentlyFocusedComponent());
}

void MainComponent::globalFocusChanged(juce::Component* focused)
{
    // The window takes the keyboard itself when it becomes active again with nothing else to give it to, and
    // nobody has it when a name editor or a dialog has gone.
    if (ui::ModalDialogState::getInstance()->isModalDialogOpen()
        || juce::Component::getCurrentlyModalComponent() != nullptr || !isShowing())
        return;
    // Only while this window has the keyboard: the focus going to another program must stay there.
    auto* peer = getPeer();
    if ((focused == nullptr || focused == getTopLevelComponent()) && peer != nullptr && peer->isFocused())
        focusCurrentPage();
}

namespace
{
// The page's keyboard target: a list first, else the first control of its own that wants keys (not a button).
juce::Component* findKeyboardTarget(juce::Component& page)
{
    std::vector<juce::Component*> level{&page};
    juce::Component* fallback = nullptr;
    while (!level.empty())
    {
        std::vector<juce::Component*> next;
        for (auto* component : level)
        {
            if (!component->isShowing())
                continue;
            if (dynamic_cast<juce::ListBox*>(component) != nullptr)
                return component;
            if (fallback == nullptr && component->getWantsKeyboardFocus()
                && dynamic_cast<juce::Button*>(component) == nullptr)
                fallback = component;
            for (auto* child : component->getChildren())
                next.push_back(child);
        }
        level = std::move(next);
    }
    return fallback;
}
} // namespace

void MainComponent::focusCurrentPage()
{
    // The window may be handed the keyboard while this component is built or taken apart.
    if (tabs == nullptr)
        return;
    if (auto* page = tabs->getCurrentContentComponent())
        if (auto* target = findKeyboardTarget(*page))
            target->grabKeyboardFocus();
}

juce::ApplicationCommandTarget* MainComponent::getNextCommandTarget()
{
    return &x47390_menu::ApplicationMenuManager::getInstance()->getCommands();
}

bool MainComponent::isInterestedInFileDrag(const juce::StringArray& files)
{
    return ui::isInterestedInLibraryFileDrag(files);
}

void MainComponent::filesDropped(const juce::StringArray& files, int, int) { ui::handleLibraryFileDrop(files); }
