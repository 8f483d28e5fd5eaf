#pragma once

#include "data/DataChangeBroadcaster.h"
#include "data/ListenerHolder.h"
#include "midi/KbdGuidDisplayComponentListener.h"
#include "tuning/TuningDisplayComponents.h"
#include "tuning/TuningNoteMath.h"
#include "tuning/TuningSlider.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/SelectedTabStatus.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

namespace ui
{
class ImageTextButton;
}

namespace x47390_midi
{
class NoteOnOffReceiver;
}

// Told of changes of the shown tuning; kept for the page's listeners, none of which exist yet.
class TuneDisplayComponentListener
{
public:
    virtual ~TuneDisplayComponentListener() = default;
};

// The MICROTUNING page: edits one user octave or user scale at a time through 12 note and 12 cent
// sliders over a one-octave keyboard. The key tiles and the arrow keys page through the 128 notes of a
// user scale; incoming notes light the key and octave guides. The sliders work on the holders' edit
// buffers; every finished drag or typed value is one undo step. While the page's tab is shown, edited
// tunings are sent to the instrument as they change.
class TuningEditComponent : public juce::Component,
                            public KbdDisplayComponentListener,
                            public juce::AsyncUpdater,
                            public ListenerHolder<TuneDisplayComponentListener>,
                            public data::DataChangeObserver,
                            public KbdGuidDisplayComponentListener,
                            public TuningEditor::Slider::Listener,
                            public juce::ChangeListener,
                            public juce::KeyListener,
                            public juce::Button::Listener,
                            public ui::SelectedTabStatusObserver
{
public:
    TuningEditComponent();
    ~TuningEditComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;
    void mouseDown(const juce::MouseEvent&) override;

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void dataChanged() override;
    void kbdDisplayComponentClicked(int tileIndex) override;
    void noteStateChanged(int note) override;
    void sliderValueChanged(TuningEditor::Slider* slider) override;
    void sliderDragStarted(TuningEditor::Slider* slider) override;
    void sliderDragEnded(TuningEditor::Slider* slider) override;
    using juce::Component::keyPressed;
    bool keyPressed(const juce::KeyPress& key, juce::Component* originatingComponent) override;
    void buttonClicked(juce::Button* button) override;
    void handleAsyncUpdate() override;
    void selectedTabStatusChanged() override;

    // Makes slot 0..11 current (0..5 user octaves, 6..11 user scales) and loads it from the library.
    void selectTuningSlot(std::uint8_t slot);
    // Writes the edit buffer of the current slot back into the library (no undo step).
    void storeEditBufferToTuningList();
    void updateSliderRanges();
    void updateSlotButtonImages();
    void updatePageLabels();
    void updateSliderValues();

    // The tab bar shows this page (tab 5) or another one.
    void tuningTabShown();
    void tuningTabHidden();

    static constexpr int microtuningTabIndex = 5;

    // For tests and the owner.
    TuningEditor::Slider& getNoteSlider(int i) { return *noteSliders[(size_t) i]; }
    TuningEditor::Slider& getCentSlider(int i) { return *centSliders[(size_t) i]; }
    KbdDisplayComponent& getTile(int i) { return *tiles[(size_t) i]; }
    OctGuidDisplayComponent& getOctaveGuide(int i) { return *octaveGuides[(size_t) i]; }
    KbdGuidDisplayComponent& getKeyGuide(int n) { return *keyGuides[(size_t) n]; }
    juce::Label& getPageLabel(int i) { return *pageLabels[(size_t) i]; }
    ui::ImageTextButton& getWriteButton() { return *writeButton; }
    ui::ImageTextButton& getReceiveButton() { return *receiveButton; }
    ui::ImageTextButton& getInitializeButton() { return *initializeButton; }
    ui::ImageTextButton& getTemplateButton() { return *templateButton; }
    // Slot buttons by slot: 0..5 user octaves, 6..11 user scales.
    ui::ImageTextButton& getSlotButton(int slot);
    bool isTuningSlotSelected() const noexcept { return tuningSlotSelected; }

private:
    bool octaveSlotSelected() const;
    TuningEditor::TuningKind currentKind() const;
    std::uint8_t* entryAt(int base, int i);
    juce::uint8* negativeCentsAt(int base, int i);

    void storeCents(int cents, int base, int i);
    void storeNote(int note, int base, int i);
    void storeNoteWithUndo(int note, int base, int i);
    void storeShownPair(int base, int i, bool withUndo);
    void centSliderChanged(int i, bool withUndo);
    void noteSliderChanged(int i, bool withUndo);
    void initializeCurrentSlot();
    void restoreDragStart();
    void setPositionUsable(int i, bool usable);
    void clearPitchClassGuides();
    void clearNoteGuides();
    int indexOf(const std::array<std::unique_ptr<TuningEditor::Slider>, 12>& sliders,
                const TuningEditor::Slider* slider) const;

    // The application look, but labels keep their own fonts: the page labels are small.
    struct PageLookAndFeel : x47390_ui::DefaultLookAndFeel
    {
        juce::Font getLabelFont(juce::Label& label) override { return label.getFont(); }
    };
    PageLookAndFeel pageLookAndFeel;

    std::array<std::unique_ptr<KbdDisplayComponent>, 11> tiles;
    std::array<std::unique_ptr<OctGuidDisplayComponent>, 12> octaveGuides;
    std::array<std::unique_ptr<KbdGuidDisplayComponent>, 128> keyGuides;
    std::unique_ptr<ui::ImageTextButton> writeButton, receiveButton, initializeButton;
    std::array<std::unique_ptr<ui::ImageTextButton>, 6> scaleSlotButtons;
    std::array<std::unique_ptr<ui::ImageTextButton>, 6> octaveSlotButtons;
    std::array<std::unique_ptr<TuningEditor::Slider>, 12> noteSliders;
    std::array<std::unique_ptr<TuningEditor::Slider>, 12> centSliders;
    std::array<std::unique_ptr<juce::Label>, 11> pageLabels;
    std::unique_ptr<ui::ImageTextButton> templateButton;

    // Set by the first slot choice or data change; from then on every refresh writes the buffer back.
    bool tuningSlotSelected = false;
    // Set by every note store; a drag end that finds it set refreshes and writes back.
    bool tuningValueEdited = false;
    // Shown positions whose pitch the sliders could not show: an edit stores the shown pair whole.
    std::array<bool, 12> heldAtLimit{};
    // The entry a drag (or wheel step, or typed value) began on, as it was: a drag that ends on its start value
    // leaves it as it was, whatever the shown values stored meanwhile.
    struct DragStart
    {
        int slot = -1, base = 0, position = -1;
        std::array<std::uint8_t, 3> entry{};
        juce::uint8 negativeCents = 0;
        bool heldAtLimit = false, valueEdited = false;
    } dragStart;
    std::unique_ptr<x47390_midi::NoteOnOffReceiver> noteOnOffReceiver;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TuningEditComponent)
};
