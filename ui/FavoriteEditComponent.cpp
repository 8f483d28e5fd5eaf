#include "ui/FavoriteEditComponent.h"

#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/ProgramEditActions.h"
#include "ui/DragItems.h"
#include "ui/FontLibrary.h"
#include "ui/ImageLibrary.h"

#include <cmath>

namespace
{
constexpr int dragThreshold = 5;

x47390_data::LibraryData& library() { return x47390_data::DataCenter::getInstance()->getLibraryData(); }

int entryOf(int bank, int slot)
{
    return library().getFavoriteData().entries[(size_t) bank][(size_t) slot];
}

// One named undo step of live-set assignments, then the views refresh at once.
void assignFavorites(const char* transactionName, std::initializer_list<std::array<int, 3>> assignments)
{
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction(transactionName);
    for (const auto& a : assignments)
        undoManager->perform(new x47390_action::SetFavoriteParameterAction(a[0], a[1], a[2]));
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}
} // namespace

FavoriteDisplayComponent::FavoriteDisplayComponent(int bankIndex, int slotIndex)
    : bank(bankIndex), slot(slotIndex), highlightImage(ui::getImage("FavoriteHighlight")),
      normalImage(ui::getImage("FavoriteNormal"))
{
    setSize(84, 40);
}

FavoriteDisplayComponent::~FavoriteDisplayComponent()
{
    if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
}

void FavoriteDisplayComponent::refresh()
{
    const int program = entryOf(bank, slot);
    bool needsRepaint = false;
    if (program != shownProgram)
    {
        shownProgram = program;
        numberText = program > 499 ? juce::String("---") : juce::String::formatted("%03d", program + 1);
        needsRepaint = true;
    }
    const auto name = program > 499 ? juce::String("------") : library().getProgramData(program).getName();
    if (name != nameText)
    {
        nameText = name;
        needsRepaint = true;
    }
    if (needsRepaint)
        repaint();
}

void FavoriteDisplayComponent::dataChanged() { refresh(); }

void FavoriteDisplayComponent::mouseEnter(const juce::MouseEvent& e)
{
    dragStarted = false;
    dragOrigin = e.getPosition();
}

void FavoriteDisplayComponent::mouseDrag(const juce::MouseEvent& e)
{
    if (dragStarted)
        return;
    auto* container = juce::DragAndDropContainer::findParentDragContainerFor(this);
    if (container == nullptr)
        return;
    const auto position = e.getPosition();
    if (std::abs(position.x - dragOrigin.x) + std::abs(position.y - dragOrigin.y) < dragThreshold)
        return;
    const juce::Point<int> offset;
    container->startDragging(ui::FavoriteDataDragItem::makeDescription(bank, slot), this,
                             ui::DragBadge::getToolkitDragImage(), false, &offset, &e.source);
    dragStarted = true;
}

juce::String FavoriteDisplayComponent::getDragBadgeText(const juce::var&)
{
    return ui::makeDragBadgeText(numberText + " " + nameText, 1);
}

void FavoriteDisplayComponent::mouseDoubleClick(const juce::MouseEvent&)
{
    assignFavorites("NoAssignFavoriteData", {{bank, slot, x47390_data::FavoriteData::emptyEntry}});
}

void FavoriteDisplayComponent::paint(juce::Graphics& g)
{
    g.setOpacity(1.0f);
    g.drawImage(dropHighlighted ? highlightImage : normalImage, getLocalBounds().toFloat());

    g.setColour(juce::Colour(0xffd3d3d3));
    const int left = juce::roundToInt(getWidth() / 2.0) - 36;
    auto* fonts = ui::FontLibrary::getInstance();
    g.setFont(fonts->getFont("FavoriteDisplayNumber"));
    g.drawText(numberText, left, 3, 70, 20, juce::Justification::centred, false);
    g.setFont(fonts->getFont("FavoriteDisplayName"));
    g.drawFittedText(nameText, left, 18, 70, 20, juce::Justification::centred, 1, 0.0f);
}

bool FavoriteDisplayComponent::isInterestedInDragSource(const SourceDetails& details)
{
    if (ui::isDragDescriptionOfType(ui::programListDragItemTypeName, details.description))
        return true;
    if (!ui::FavoriteDataDragItem::isFavoriteDataDragItem(details.description))
        return false;
    ui::FavoriteDataDragItem item;
    item.fromDescription(details.description);
    return item.valid && (item.bank != bank || item.slot != slot);
}

void FavoriteDisplayComponent::itemDragEnter(const SourceDetails&)
{
    dropHighlighted = true;
    repaint();
}

void FavoriteDisplayComponent::itemDragExit(const SourceDetails&)
{
    dropHighlighted = false;
    repaint();
}

void FavoriteDisplayComponent::itemDropped(const SourceDetails& details)
{
    dropHighlighted = false;
    repaint();

    if (ui::FavoriteDataDragItem::isFavoriteDataDragItem(details.description))
    {
        ui::FavoriteDataDragItem item;
        item.fromDescription(details.description);
        if (!item.valid)
            return;
        const int program = entryOf(item.bank, item.slot);
        if (juce::ModifierKeys::getCurrentModifiers().isAltDown())
            assignFavorites("CopyFavoriteData", {{bank, slot, program}});
        else
            assignFavorites("SwapFavoriteData", {{bank, slot, program}, {item.bank, item.slot, entryOf(bank, slot)}});
        return;
    }

    if (ui::isDragDescriptionOfType(ui::programListDragItemTypeName, details.description))
    {
        ui::ProgramListDragItem item;
        item.fromDescription(details.description);
        if (!item.rows.empty())
            assignFavorites("SetFavoriteData", {{bank, slot, item.rows.front()}});
    }
}

FavoriteEditComponent::FavoriteEditComponent()
{
    for (int b = 0; b < numBanks; ++b)
    {
        auto label = std::make_unique<juce::Label>("new label", "LIVE SET " + juce::String::charToString((juce::juce_wchar) ('A' + b)));
        addAndMakeVisible(*label);
        label->setFont(juce::Font(15.0f, juce::Font::plain).withTypefaceStyle("Regular"));
        label->setJustificationType(juce::Justification::centredLeft);
        label->setEditable(false, false, false);
        label->setColour(juce::Label::textColourId, juce::Colour(0xffffffff));
        label->setBounds(5, 16 + 48 * b, 80, 24);
        labels[(size_t) b] = std::move(label);
    }

    for (int b = 0; b < numBanks; ++b)
        for (int s = 0; s < numSlots; ++s)
        {
            auto favorite = std::make_unique<FavoriteDisplayComponent>(b, s);
            favorite->refresh();
            data::DataChangeBroadcaster::getInstance()->addListener(favorite.get());
            addAndMakeVisible(*favorite);
            favorite->setName("Favorite " + juce::String(b) + ":" + juce::String(s));
            slots[(size_t) b][(size_t) s] = std::move(favorite);
        }
    setSize(1110, 240);
}

FavoriteEditComponent::~FavoriteEditComponent() = default;

void FavoriteEditComponent::resized()
{
    for (int b = 0; b < numBanks; ++b)
    {
        int x = 85;
        for (int s = 0; s < numSlots; ++s)
        {
            auto& favorite = *slots[(size_t) b][(size_t) s];
            favorite.setTopLeftPosition(x, 7 + 48 * b);
            x = favorite.getRight() + 13;
        }
    }
}
