#include "ui/UserUnitPaneComponents.h"

#include "app/ApplicationMenuManager.h"
#include "app/DocumentOperations.h"
#include "app/PreferencesData.h"
#include "data/DataCenter.h"
#include "ui/ModalDialogState.h"

namespace
{
constexpr int headerHeight = 28;

x47390_data::UserData* slots() { return &x47390_data::DataCenter::getInstance()->getUserData(); }

bool isModalDialogOpen() { return ui::ModalDialogState::getInstance()->isModalDialogOpen(); }
} // namespace

int getUserUnitDropSlot(int rowUnderDrop, int positionInDrop, int numRows) noexcept
{
    if (rowUnderDrop < 0 || positionInDrop < 0 || positionInDrop >= numRows - rowUnderDrop)
        return -1;
    return rowUnderDrop + positionInDrop;
}

bool isUserUnitFile(const juce::String& path)
{
    for (const char* extension : {".snvrunit", ".drvnzqunit", ".fncsrlunit"})
        if (path.endsWithIgnoreCase(extension))
            return true;
    return false;
}

UserUnitPaneComponent::UserUnitPaneComponent(std::unique_ptr<ui::UserListViewInterface> listView,
                                             std::unique_ptr<ui::UserListControllerInterface> listController,
                                             const juce::String& listName, int kindCode)
    : view(std::move(listView)), controller(std::move(listController)), unitKindCode(kindCode)
{
    list = std::make_unique<UserListComponent>(view.get(), controller.get());
    addAndMakeVisible(*list);
    list->setName(listName);

    auto& listBox = list->getListBox();
    applyRowHeight();
    listBox.getHeader().setSize(listBox.getHeader().getWidth(), headerHeight);
    listBox.setHeaderHeight(headerHeight);
    list->dragTypeName = ui::userListDragItemTypeName;
    listBox.setColour(juce::ListBox::backgroundColourId, juce::Colours::black);
    list->setLookAndFeel(&lookAndFeel);
    list->copyTargetColour = juce::Colour(0xdd333333);
    list->insertIndicatorColour = juce::Colour(0xff333333);

    setSize(790, 530);
    application::PreferencesDataChangeBroadcaster::getInstance()->addListener(this);
}

UserUnitPaneComponent::~UserUnitPaneComponent()
{
    if (auto* broadcaster = application::PreferencesDataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    list->setLookAndFeel(nullptr);
    list.reset();
}

void UserUnitPaneComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void UserUnitPaneComponent::resized() { list->setBounds(getLocalBounds()); }

juce::ApplicationCommandTarget* UserUnitPaneComponent::getNextCommandTarget()
{
    return &x47390_menu::ApplicationMenuManager::getInstance()->getCommands();
}

bool UserUnitPaneComponent::isInterestedInFileDrag(const juce::StringArray& files)
{
    if (isModalDialogOpen())
        return false;
    for (const auto& path : files)
        if (isUserUnitFile(path))
            return true;
    return false;
}

void UserUnitPaneComponent::filesDropped(const juce::StringArray& files, int x, int y)
{
    if (isModalDialogOpen())
        return;
    auto& listBox = list->getListBox();
    const int rows = view->getNumRows();
    const int rowUnderDrop = listBox.getRowContainingPosition(x, y);
    for (int position = 0; position < files.size(); ++position)
    {
        if (!isUserUnitFile(files[position]))
            continue;
        const int slot = getUserUnitDropSlot(rowUnderDrop, position, rows);
        if (slot >= 0)
            loadUserUnitFile(juce::File(files[position]), slot, unitKindCode);
    }
}

void UserUnitPaneComponent::preferencesDataChanged() { applyRowHeight(); }

void UserUnitPaneComponent::applyRowHeight()
{
    auto& listBox = list->getListBox();
    listBox.setRowHeight(x47390_preferences::PreferencesData::getInstance()->getIntValue("ProgramListHeight", 0));
    listBox.lookAndFeelChanged();
}

UserOscPaneComponent::UserOscPaneComponent()
    : UserUnitPaneComponent(std::make_unique<x47390_ui::UserOscListView>(slots()),
                            std::make_unique<x47390_ui::UserOscListController>(slots()), "User Osc. List", 4)
{
}

UserModFXPaneComponent::UserModFXPaneComponent()
    : UserUnitPaneComponent(std::make_unique<x47390_ui::UserModFXListView>(slots()),
                            std::make_unique<x47390_ui::UserModFXListController>(slots()), "User ModFX List", 1)
{
}

UserDelFXPaneComponent::UserDelFXPaneComponent()
    : UserUnitPaneComponent(std::make_unique<x47390_ui::UserDelFXListView>(slots()),
                            std::make_unique<x47390_ui::UserDelFXListController>(slots()), "User DelFX List", 2)
{
}

UserRevFXPaneComponent::UserRevFXPaneComponent()
    : UserUnitPaneComponent(std::make_unique<x47390_ui::UserRevFXListView>(slots()),
                            std::make_unique<x47390_ui::UserRevFXListController>(slots()), "User RevFX List", 3)
{
}
