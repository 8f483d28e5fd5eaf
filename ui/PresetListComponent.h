#pragma once

#include "app/PreferencesDataChangeBroadcaster.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "ui/DragBadge.h"
#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// The loaded preset libraries as a tree: one row per library, opening into one row per program.
// Clicking a program makes it the current program; dragging programs carries their preset keys to
// the program table of the main window. Nothing is edited here.
class PresetListComponent : public juce::Component,
                            public data::PresetDataChangeBroadcasterObserver,
                            public ui::DragBadgeContainer,
                            public ui::DragBadgeSource,
                            public application::PreferencesDataChangeBroadcasterObserver
{
public:
    // The hidden root of the tree.
    class RootItem : public juce::TreeViewItem
    {
    public:
        bool mightContainSubItems() override { return true; }
    };

    PresetListComponent();
    ~PresetListComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;
    juce::String getDragBadgeText(const juce::var& description) override;

    void presetDataChanged() override;
    void preferencesDataChanged() override;

    // Makes a new tree of the preset libraries, every library closed. The tree view must not hold
    // the old root while this runs.
    void rebuildTree();

    juce::TreeView& getTreeView() noexcept { return *treeView; }
    RootItem* getRootItem() const noexcept { return rootItem.get(); }

private:
    void refresh();

    x47390_ui::DefaultLookAndFeel lookAndFeel;
    std::unique_ptr<RootItem> rootItem;
    std::unique_ptr<juce::TreeView> treeView;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(PresetListComponent)
};

// A preset library's row.
class PresetRootItem : public juce::TreeViewItem
{
public:
    explicit PresetRootItem(int index) : libraryIndex(index) {}

    bool mightContainSubItems() override { return true; }
    int getItemHeight() const override;
    juce::String getUniqueName() const override;
    void paintItem(juce::Graphics&, int width, int height) override;

    const int libraryIndex;
};

// One program of a preset library.
class PresetDataItem : public juce::TreeViewItem
{
public:
    PresetDataItem(int library, int program) : libraryIndex(library), programIndex(program) {}

    bool mightContainSubItems() override { return false; }
    int getItemHeight() const override;
    juce::String getUniqueName() const override;
    void paintItem(juce::Graphics&, int width, int height) override;
    void itemSelectionChanged(bool isNowSelected) override;
    // Describes every selected program row of the tree, not only this one.
    juce::var getDragSourceDescription() override;

    // "[001] name" for the first program.
    juce::String getRowText() const;

    const int libraryIndex;
    const int programIndex;
};
