#pragma once

#include "data/DataChangeBroadcaster.h"
#include "ui/DragBadge.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

// One slot of the live set: the number and name of the program it refers to. Program rows dropped
// on it assign a program, another slot dropped on it swaps (or, with Option, copies), and a
// double-click empties it. Each is one undo step.
class FavoriteDisplayComponent : public juce::Component,
                                 public juce::DragAndDropTarget,
                                 public data::DataChangeObserver,
                                 public ui::DragBadgeSource
{
public:
    FavoriteDisplayComponent(int bank, int slot);
    ~FavoriteDisplayComponent() override;

    void mouseEnter(const juce::MouseEvent&) override;
    void mouseDrag(const juce::MouseEvent&) override;
    void mouseDoubleClick(const juce::MouseEvent&) override;
    void paint(juce::Graphics&) override;
    void dataChanged() override;

    juce::String getDragBadgeText(const juce::var& description) override;
    // The badge beside the pointer shows what is dragged; the toolkit's picture would hide this slot.
    bool shouldDrawDragImageWhenOver() override { return false; }
    bool isInterestedInDragSource(const SourceDetails&) override;
    void itemDragEnter(const SourceDetails&) override;
    void itemDragMove(const SourceDetails&) override {}
    void itemDragExit(const SourceDetails&) override;
    void itemDropped(const SourceDetails&) override;

    // Brings the shown number and name up to date with the library.
    void refresh();

    const int bank;
    const int slot;
    bool dropHighlighted = false;
    bool dragStarted = false;
    juce::Point<int> dragOrigin;
    juce::String nameText;
    int shownProgram = -1;
    juce::String numberText;

private:
    juce::Image highlightImage;
    juce::Image normalImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FavoriteDisplayComponent)
};

// The live set: four banks, LIVE SET A to D, of eight slots.
class FavoriteEditComponent : public juce::Component
{
public:
    static constexpr int numBanks = 4;
    static constexpr int numSlots = 8;

    FavoriteEditComponent();
    ~FavoriteEditComponent() override;

    void resized() override;

    FavoriteDisplayComponent& getSlot(int bank, int slot) { return *slots[(size_t) bank][(size_t) slot]; }
    juce::Label& getBankLabel(int bank) { return *labels[(size_t) bank]; }

private:
    std::array<std::array<std::unique_ptr<FavoriteDisplayComponent>, numSlots>, numBanks> slots;
    std::array<std::unique_ptr<juce::Label>, numBanks> labels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FavoriteEditComponent)
};
