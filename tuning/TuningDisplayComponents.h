#pragma once

#include "data/DataChangeBroadcaster.h"
#include "data/ListenerHolder.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Told which key tile was pressed (the tile index, 0..10).
class KbdDisplayComponentListener
{
public:
    virtual void kbdDisplayComponentClicked(int tileIndex) = 0;

protected:
    ~KbdDisplayComponentListener() = default;
};

// One small keyboard of the tuning page's row of eleven: tile i stands for notes 12i..12i+11 (tile 10 for
// 120..127). Pressing it while a user scale is edited shows that page; it is dimmed unless it is the page
// shown. Drops are not taken.
class KbdDisplayComponent : public juce::Component,
                            public juce::DragAndDropTarget,
                            public data::DataChangeObserver,
                            public juce::AsyncUpdater,
                            public ListenerHolder<KbdDisplayComponentListener>
{
public:
    explicit KbdDisplayComponent(int tileIndex);
    ~KbdDisplayComponent() override;

    int getTileIndex() const noexcept { return tileIndex; }

    void paint(juce::Graphics&) override;
    void mouseDown(const juce::MouseEvent&) override;
    void handleAsyncUpdate() override;
    void dataChanged() override;

    bool isInterestedInDragSource(const SourceDetails&) override { return false; }
    void itemDragEnter(const SourceDetails&) override {}
    void itemDragMove(const SourceDetails&) override {}
    void itemDragExit(const SourceDetails&) override {}
    void itemDropped(const SourceDetails&) override {}

private:
    int tileIndex;
    juce::Image tileImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KbdDisplayComponent)
};

// The red mark over the key of note n on its tile, shown while the note sounds. Takes no clicks.
class KbdGuidDisplayComponent : public juce::Component, public juce::AsyncUpdater
{
public:
    explicit KbdGuidDisplayComponent(int noteNumber);

    int getNoteNumber() const noexcept { return noteNumber; }

    void paint(juce::Graphics&) override;
    void handleAsyncUpdate() override {}

private:
    int noteNumber;
    juce::Image onImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KbdGuidDisplayComponent)
};

// The red key of one pitch class over the page's large keyboard, shown while a counted note of that class
// sounds. Takes no clicks, so the sliders beneath stay usable.
class OctGuidDisplayComponent : public juce::Component, public juce::AsyncUpdater
{
public:
    explicit OctGuidDisplayComponent(int pitchClass);

    int getPitchClass() const noexcept { return pitchClass; }

    void paint(juce::Graphics&) override;
    void handleAsyncUpdate() override {}

private:
    int pitchClass;
    juce::String imageName;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(OctGuidDisplayComponent)
};
