#include "ui/PresetListComponent.h"

#include "app/PreferencesData.h"
#include "data/CurrentProgramData.h"
#include "data/DataCenter.h"
#include "ui/DragItems.h"
#include "ui/FontLibrary.h"
#include "ui/SelectedProgramStatus.h"

namespace
{
const juce::Colour textColour(0xffd3d3d3);
const juce::Colour selectedRowColour(0xff333333);

int listRowHeight()
{
    return x47390_preferences::PreferencesData::getInstance()->getIntValue("ProgramListHeight", 0);
}

// A library's "NumOfProg" outside 1 to 500 cannot be trusted: all 500 slots are listed then.
int programRowCount(const x47390_data::PresetData& preset)
{
    const int count = preset.information.numOfProg;
    return count >= 1 && count <= x47390_data::PresetData::numPrograms ? count : x47390_data::PresetData::numPrograms;
}

void drawRowText(juce::Graphics& g, const juce::String& text, int width, int height)
{
    g.setFont(ui::FontLibrary::getInstance()->getFont("PresetListItemProgram"));
    g.setColour(textColour);
    g.drawText(text, 5, 0, width - 5, height, juce::Justification::centredLeft, true);
}
} // namespace

PresetListComponent::PresetListComponent()
{
    treeView = std::make_unique<juce::TreeView>("Preset List");
    treeView->setRootItemVisible(false);
    treeView->setColour(juce::TreeView::backgroundColourId, juce::Colour(0xff111111));
    treeView->setColour(juce::TreeView::linesColourId, juce::Colour(0x80ffffff));
    treeView->setDefaultOpenness(false);
    treeView->setMultiSelectEnabled(true);
    treeView->setLookAndFeel(&lookAndFeel);
    addAndMakeVisible(*treeView);

    rebuildTree();
    treeView->setRootItem(rootItem.get());
    setSize(250, 500);

    data::PresetDataChangeBroadcaster::getInstance()->addListener(this);
    application::PreferencesDataChangeBroadcaster::getInstance()->addListener(this);
}

PresetListComponent::~PresetListComponent()
{
    if (auto* broadcaster = data::PresetDataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    if (auto* broadcaster = application::PreferencesDataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);

    treeView->setRootItem(nullptr);
    treeView->setLookAndFeel(nullptr);
    treeView.reset();
    rootItem.reset();
}

void PresetListComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void PresetListComponent::resized() { treeView->setBounds(getLocalBounds()); }

void PresetListComponent::presetDataChanged() { refresh(); }

void PresetListComponent::preferencesDataChanged() { refresh(); }

void PresetListComponent::refresh()
{
    treeView->setRootItem(nullptr);
    rebuildTree();
    treeView->setRootItem(rootItem.get());
}

void PresetListComponent::rebuildTree()
{
    rootItem = std::make_unique<RootItem>();
    const auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    for (int library = 0; library < presets.getNumPresetData(); ++library)
    {
        auto libraryItem = std::make_unique<PresetRootItem>(library);
        const int rows = programRowCount(presets.getPresetData(library));
        for (int program = 0; program < rows; ++program)
            libraryItem->addSubItem(new PresetDataItem(library, program));
        rootItem->addSubItem(libraryItem.release());
    }
}

int PresetRootItem::getItemHeight() const { return listRowHeight(); }

juce::String PresetRootItem::getUniqueName() const
{
    return x47390_data::DataCenter::getInstance()->getPresetLibrary().getPresetData(libraryIndex).information.dataID;
}

void PresetRootItem::paintItem(juce::Graphics& g, int width, int height)
{
    const auto& preset = x47390_data::DataCenter::getInstance()->getPresetLibrary().getPresetData(libraryIndex);
    drawRowText(g, preset.information.name, width, height);
}

int PresetDataItem::getItemHeight() const { return listRowHeight(); }

juce::String PresetDataItem::getUniqueName() const
{
    return "Preset:" + juce::String(libraryIndex) + "-" + juce::String(programIndex);
}

juce::String PresetDataItem::getRowText() const
{
    const auto& preset = x47390_data::DataCenter::getInstance()->getPresetLibrary().getPresetData(libraryIndex);
    return juce::String::formatted("[%03d] ", programIndex + 1) + preset.getProgramData(programIndex).getName();
}

void PresetDataItem::paintItem(juce::Graphics& g, int width, int height)
{
    if (isSelected())
        g.fillAll(selectedRowColour);
    drawRowText(g, getRowText(), width, height);
}

void PresetDataItem::itemSelectionChanged(bool isNowSelected)
{
    if (!isNowSelected)
        return;

    auto* current = x47390_data::CurrentProgramData::getInstance();
    if (current->getKind() == x47390_data::CurrentProgramData::presetProgram
        && current->getPresetLibraryNumber() == libraryIndex && current->getProgramNumber() == programIndex)
        return;

    current->setPresetProgram(libraryIndex, programIndex);
    ui::SelectedProgramStatus::getInstance()->setSelection({});
}

juce::String PresetListComponent::getDragBadgeText(const juce::var& description)
{
    ui::PresetDataDragItem item;
    item.fromDescription(description);
    if (item.keys.empty())
        return {};
    const int library = ui::getPresetDragKeyLibrary(item.keys.front());
    const int program = ui::getPresetDragKeyProgram(item.keys.front());
    const auto& presets = x47390_data::DataCenter::getInstance()->getPresetLibrary();
    if (library < 0 || library >= presets.getNumPresetData() || program < 0
        || program >= x47390_data::PresetData::numPrograms)
        return {};
    const auto& preset = presets.getPresetData(library);
    return ui::makeDragBadgeText(juce::String::formatted("[%03d] ", program + 1) + preset.getProgramData(program).getName(),
                                 (int) item.keys.size());
}

juce::var PresetDataItem::getDragSourceDescription()
{
    ui::PresetDataDragItem item;
    item.valid = true;
    auto* tree = getOwnerView();
    auto* root = tree != nullptr ? tree->getRootItem() : nullptr;
    if (root != nullptr)
    {
        // In tree order, as the tree lists its selected items; library rows add nothing.
        for (int library = 0; library < root->getNumSubItems(); ++library)
        {
            auto* libraryItem = root->getSubItem(library);
            for (int program = 0; program < libraryItem->getNumSubItems(); ++program)
                if (libraryItem->getSubItem(program)->isSelected())
                    item.keys.push_back(ui::makePresetDragKey(library, program));
        }
    }
    return item.toDescription();
}
