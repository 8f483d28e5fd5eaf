#include "tuning/TuningEditComponent.h"

#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuManager.h"
#include "data/CurrentTuneOctData.h"
#include "data/CurrentTuneScaleData.h"
#include "data/ApplicationUndoManager.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "midi/MidiNoteReceiveTask.h"
#include "tuning/TuningKeyLayout.h"
#include "ui/FontLibrary.h"
#include "ui/ImageLibrary.h"
#include "ui/ImageTextButton.h"

using TuningEditor::Slider;
using TuningEditor::TuningKind;

namespace
{
const juce::Colour blackKeyText(0xffffffff);
const juce::Colour whiteKeyText(0xff000000);
const juce::Colour hiddenText(0x00ffffff);
const juce::Colour dimmedLabel(0x80ffffff);

constexpr int slotButtonX[6] = {113, 206, 299, 393, 486, 579};
constexpr int noteSliderPosition[12][2] = {{127, 320}, {152, 240}, {191, 320}, {230, 240}, {255, 320}, {319, 320},
                                           {344, 240}, {383, 320}, {415, 240}, {447, 320}, {486, 240}, {511, 320}};
constexpr int centSliderPosition[12][2] = {{130, 288}, {155, 208}, {194, 288}, {233, 208}, {258, 288}, {322, 288},
                                           {347, 208}, {386, 288}, {418, 208}, {450, 288}, {489, 208}, {514, 288}};
constexpr int numPages = 11;
constexpr int tileWidth = 42;
constexpr int tileY = 364;
constexpr int lastPage = 10;

juce::Colour keyTextColour(int pitchClass)
{
    return TuningEditor::keyLayout::isBlackKey(pitchClass) ? blackKeyText : whiteKeyText;
}

std::unique_ptr<ui::ImageTextButton> makeButton(const juce::String& text)
{
    auto button = std::make_unique<ui::ImageTextButton>("new button");
    button->setButtonText(text);
    return button;
}

void setUpCommandButton(ui::ImageTextButton& button)
{
    button.textFont = ui::FontLibrary::getInstance()->getFont("HeaderModeButton");
    button.textColour = juce::Colour(0xffd3d3d3);
    const auto dark = ui::getImage("ButtonDark");
    const auto lit = ui::getImage("ButtonLit");
    const juce::Colour overlay(0x25e4e4e4);
    button.setImages(false, true, false, dark, 1.0f, juce::Colours::transparentBlack, juce::Image(), 1.0f, overlay,
                     lit, 1.0f, overlay);
}

void setUpSlider(Slider& slider, int pitchClass)
{
    slider.setName("new component");
    slider.setColour(juce::Slider::textBoxTextColourId, keyTextColour(pitchClass));
    slider.setColour(juce::Slider::textBoxOutlineColourId, keyTextColour(pitchClass));
    slider.setTextBoxStyle(juce::Slider::TextBoxAbove, false, 80, 20);
    slider.setSliderSnapsToMousePosition(false);
}
} // namespace

TuningEditComponent::TuningEditComponent()
{
    setLookAndFeel(&pageLookAndFeel);
    writeButton = makeButton("WRITE");
    receiveButton = makeButton("RECEIVE");
    initializeButton = makeButton("INITIALIZE");
    for (int k = 0; k < 6; ++k)
    {
        scaleSlotButtons[(size_t) k] = makeButton(juce::String(k + 1));
        octaveSlotButtons[(size_t) k] = makeButton(juce::String(k + 1));
    }
    for (int i = 0; i < 12; ++i)
    {
        noteSliders[(size_t) i] = std::make_unique<Slider>();
        centSliders[(size_t) i] = std::make_unique<Slider>();
    }
    for (int p = 0; p < numPages; ++p)
    {
        auto label = std::make_unique<juce::Label>("new label", p == 0 ? juce::String("C-1") : "C " + juce::String(p - 1));
        auto* fonts = ui::FontLibrary::getInstance();
        label->setFont(fonts->makeFont(fonts->defaultTypefaceName, 11.0f).withTypefaceStyle("Regular"));
        label->setJustificationType(juce::Justification::centredLeft);
        label->setEditable(false, false, false);
        label->setColour(juce::TextEditor::textColourId, juce::Colour(0xff000000));
        label->setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
        label->setBounds(113 + tileWidth * p, 385, 27, 15);
        pageLabels[(size_t) p] = std::move(label);
    }
    templateButton = makeButton("TEMPLATE");

    // Stacking order: later children lie above earlier ones.
    for (auto* button : {writeButton.get(), receiveButton.get(), initializeButton.get()})
        addAndMakeVisible(*button);
    for (auto& button : scaleSlotButtons)
        addAndMakeVisible(*button);
    for (auto& button : octaveSlotButtons)
        addAndMakeVisible(*button);
    for (auto& slider : noteSliders)
        addAndMakeVisible(*slider);
    for (auto& slider : centSliders)
        addAndMakeVisible(*slider);
    for (auto& label : pageLabels)
        addAndMakeVisible(*label);
    addAndMakeVisible(*templateButton);

    receiveButton->setBounds(579, 163, 80, 24);
    writeButton->setBounds(579, 198, 80, 24);
    initializeButton->setBounds(579, 286, 80, 24);
    templateButton->setBounds(579, 325, 80, 24);
    for (int k = 0; k < 6; ++k)
    {
        scaleSlotButtons[(size_t) k]->setBounds(slotButtonX[k], 40, 80, 24);
        octaveSlotButtons[(size_t) k]->setBounds(slotButtonX[k], 104, 80, 24);
    }
    for (auto* button : {writeButton.get(), receiveButton.get(), initializeButton.get(), templateButton.get()})
    {
        setUpCommandButton(*button);
        button->addListener(this);
    }
    for (int k = 0; k < 6; ++k)
    {
        scaleSlotButtons[(size_t) k]->addListener(this);
        octaveSlotButtons[(size_t) k]->addListener(this);
    }
    for (int i = 0; i < 12; ++i)
    {
        auto& cent = *centSliders[(size_t) i];
        cent.setRange(-50.0, 49.0, 1.0);
        cent.setSliderStyle(juce::Slider::LinearVertical);
        setUpSlider(cent, i);
        if (i != 2)
            cent.setColour(juce::Slider::textBoxHighlightColourId, juce::Colour(0xff808080));
        cent.setBounds(centSliderPosition[i][0], centSliderPosition[i][1], 32, 18);

        auto& note = *noteSliders[(size_t) i];
        note.setRelativeOctaveMode(false);
        note.setRange(0.0, 127.0, 1.0);
        note.setSliderStyle(juce::Slider::LinearBarVertical);
        setUpSlider(note, i);
        note.setColour(juce::Slider::textBoxHighlightColourId, juce::Colour(0xff808080));
        note.setBounds(noteSliderPosition[i][0], noteSliderPosition[i][1], 38, 18);

        // A click opens the value box for typing, a drag changes the value, on every slider alike.
        for (auto* slider : {&cent, &note})
        {
            slider->setTextBoxIsEditable(true);
            slider->addListener(this);
        }
    }

    for (int p = 0; p < numPages; ++p)
    {
        tiles[(size_t) p] = std::make_unique<KbdDisplayComponent>(p);
        tiles[(size_t) p]->addListener(this);
        addAndMakeVisible(*tiles[(size_t) p]);
    }
    for (int pc = 0; pc < 12; ++pc)
    {
        octaveGuides[(size_t) pc] = std::make_unique<OctGuidDisplayComponent>(pc);
        addAndMakeVisible(*octaveGuides[(size_t) pc]);
    }
    for (int n = 0; n < 128; ++n)
    {
        keyGuides[(size_t) n] = std::make_unique<KbdGuidDisplayComponent>(n);
        addAndMakeVisible(*keyGuides[(size_t) n]);
    }

    updateSliderRanges();

    auto& commands = x47390_menu::ApplicationMenuManager::getInstance()->getCommandManager();
    writeButton->setCommandToTrigger(&commands, x47390_menu::cmdWriteTuning, false);
    receiveButton->setCommandToTrigger(&commands, x47390_menu::cmdReceiveTuning, false);
    templateButton->setCommandToTrigger(&commands, x47390_menu::cmdTuningTemplate, false);

    // The sliders lie above the octave guides, the tiles above the labels.
    for (auto& tile : tiles)
        tile->toFront(false);
    for (auto& slider : noteSliders)
        slider->toFront(false);
    for (auto& slider : centSliders)
        slider->toFront(false);
    addKeyListener(this);
    setWantsKeyboardFocus(true);
    setSize(790, 450);
    for (auto* button : {writeButton.get(), receiveButton.get(), initializeButton.get()})
        button->setWantsKeyboardFocus(false);
    for (int k = 0; k < 6; ++k)
    {
        scaleSlotButtons[(size_t) k]->setWantsKeyboardFocus(false);
        octaveSlotButtons[(size_t) k]->setWantsKeyboardFocus(false);
    }

    data::DataChangeBroadcaster::getInstance()->addListener(this);
    ui::SelectedTabStatus::getInstance()->addListener(this);

    currentTuningSlot = 6;
    x47390_data::CurrentTuneScaleData::getInstance()->setTuneScale(0);
    updateSliderRanges();
    updateSlotButtonImages();
    triggerAsyncUpdate();

    noteOnOffReceiver = std::make_unique<x47390_midi::NoteOnOffReceiver>();
    noteOnOffReceiver->addListener(this);
}

TuningEditComponent::~TuningEditComponent()
{
    noteOnOffReceiver->removeListener(this);
    if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    if (auto* tabStatus = ui::SelectedTabStatus::getInstanceWithoutCreating())
        tabStatus->removeListener(this);
    cancelPendingUpdate();
    removeKeyListener(this);

    writeButton.reset();
    receiveButton.reset();
    initializeButton.reset();
    for (auto& button : scaleSlotButtons)
        button.reset();
    for (auto& button : octaveSlotButtons)
        button.reset();
    for (auto& slider : noteSliders)
        slider.reset();
    for (auto& slider : centSliders)
        slider.reset();
    for (auto& label : pageLabels)
        label.reset();
    templateButton.reset();
    for (auto& tile : tiles)
        tile.reset();
    for (auto& guide : octaveGuides)
        guide.reset();
    for (auto& guide : keyGuides)
        guide.reset();
    noteOnOffReceiver.reset();
    setLookAndFeel(nullptr);
}

//==============================================================================
void TuningEditComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xff000000));
    // Drawn as shapes: a picture of it would hold 3 MB from the start for a page seldom shown.
    ui::drawImageShapes(g, "TuningKeyboard", juce::Rectangle<float>(113.0f, 0.0f, 545.0f, 349.0f));
}

void TuningEditComponent::resized()
{
    int x = 113;
    for (auto& tile : tiles)
    {
        tile->setTopLeftPosition(x, tileY);
        x += tile->getWidth();
    }
    for (auto& guide : octaveGuides)
        guide->setTopLeftPosition(113, 163);
    for (auto& guide : keyGuides)
    {
        guide->setTopLeftPosition(113 + (guide->getNoteNumber() / 12) * guide->getWidth(), tileY);
        guide->toFront(false);
    }
}

void TuningEditComponent::mouseDown(const juce::MouseEvent&)
{
    // The arrow keys page through a user scale once the page has the keyboard.
    grabKeyboardFocus();
}

//==============================================================================
bool TuningEditComponent::octaveSlotSelected() const
{
    return currentTuningSlot <= 5;
}

TuningKind TuningEditComponent::currentKind() const
{
    return octaveSlotSelected() ? TuningKind::octave : TuningKind::scale;
}

std::uint8_t* TuningEditComponent::entryAt(int base, int i)
{
    if (octaveSlotSelected())
        return &x47390_data::CurrentTuneOctData::editBuffer[(size_t) i * 3];
    const int pos = base + i;
    if (pos > 127)
        return nullptr;
    return &x47390_data::CurrentTuneScaleData::editBuffer[(size_t) pos * 3];
}

juce::uint8* TuningEditComponent::negativeCentsAt(int base, int i)
{
    if (octaveSlotSelected())
        return &x47390_data::CurrentTuneOctData::getInstance()->displayFlags[(size_t) i];
    const int pos = base + i;
    if (pos > 127)
        return nullptr;
    return &x47390_data::CurrentTuneScaleData::getInstance()->displayFlags[(size_t) pos];
}

void TuningEditComponent::storeCents(int cents, int base, int i)
{
    auto* entry = entryAt(base, i);
    if (entry == nullptr)
        return;
    *negativeCentsAt(base, i) = TuningEditor::storeCents(entry, cents) ? 1 : 0;
}

void TuningEditComponent::storeNote(int note, int base, int i)
{
    if (auto* entry = entryAt(base, i))
        TuningEditor::storeNote(entry, note, *negativeCentsAt(base, i) != 0, currentKind());
    tuningValueEdited = true;
}

void TuningEditComponent::storeNoteWithUndo(int note, int base, int i)
{
    if (entryAt(base, i) != nullptr)
    {
        storeNote(note, base, i);
        auto* undoManager = application::ApplicationUndoManager::getInstance();
        if (octaveSlotSelected())
        {
            undoManager->beginNewTransaction("PasteTuneOct");
            undoManager->perform(new x47390_action::SetTuneOctEditAction(currentTuningSlot));
        }
        else
        {
            undoManager->beginNewTransaction("PasteTuneScale");
            undoManager->perform(new x47390_action::SetTuneScaleEditAction(currentTuningSlot - 6));
        }
    }
    tuningValueEdited = true;
}

void TuningEditComponent::centSliderChanged(int i, bool withUndo)
{
    const int base = 12 * currentTuningPage;
    const int cents = (int) centSliders[(size_t) i]->getValue();
    const int note = (int) noteSliders[(size_t) i]->getValue();
    const bool atLowest = note == TuningEditor::lowestShownNote(currentKind());
    storeCents(cents < 0 && atLowest ? 0 : cents, base, i);
    heldAtLimit[(size_t) i] = false;
    if (withUndo)
        storeNoteWithUndo(note, base, i);
    else
        storeNote(note, base, i);
}

void TuningEditComponent::noteSliderChanged(int i, bool withUndo)
{
    const int base = 12 * currentTuningPage;
    const int cents = (int) centSliders[(size_t) i]->getValue();
    const int note = (int) noteSliders[(size_t) i]->getValue();
    const bool atLowest = note == TuningEditor::lowestShownNote(currentKind());
    if (cents < 0 && atLowest)
        storeCents(0, base, i);
    else if (heldAtLimit[(size_t) i])
        storeCents(cents, base, i); // the stored fraction differs from the shown cents: store what is shown
    heldAtLimit[(size_t) i] = false;
    if (withUndo)
        storeNoteWithUndo(note, base, i);
    else
        storeNote(note, base, i);
}

int TuningEditComponent::indexOf(const std::array<std::unique_ptr<Slider>, 12>& sliders, const Slider* slider) const
{
    for (int i = 0; i < 12; ++i)
        if (sliders[(size_t) i].get() == slider)
            return i;
    return -1;
}

void TuningEditComponent::sliderValueChanged(Slider* slider)
{
    if (const int i = indexOf(centSliders, slider); i >= 0)
        centSliderChanged(i, false);
    else if (const int j = indexOf(noteSliders, slider); j >= 0)
        noteSliderChanged(j, false);
}

void TuningEditComponent::sliderDragStarted(Slider* slider)
{
    int position = indexOf(centSliders, slider);
    if (position < 0)
        position = indexOf(noteSliders, slider);
    const int base = 12 * currentTuningPage;
    auto* entry = position >= 0 ? entryAt(base, position) : nullptr;
    if (entry == nullptr)
    {
        dragStart = {};
        return;
    }
    dragStart = {currentTuningSlot, base, position, {entry[0], entry[1], entry[2]}, *negativeCentsAt(base, position),
                 heldAtLimit[(size_t) position], tuningValueEdited};
}

void TuningEditComponent::restoreDragStart()
{
    if (dragStart.position < 0 || dragStart.slot != currentTuningSlot || dragStart.base != 12 * currentTuningPage)
        return;
    if (auto* entry = entryAt(dragStart.base, dragStart.position))
    {
        std::copy(dragStart.entry.begin(), dragStart.entry.end(), entry);
        *negativeCentsAt(dragStart.base, dragStart.position) = dragStart.negativeCents;
        heldAtLimit[(size_t) dragStart.position] = dragStart.heldAtLimit;
        tuningValueEdited = dragStart.valueEdited;
    }
}

void TuningEditComponent::sliderDragEnded(Slider* slider)
{
    const bool unchanged = (int) slider->getValue() == (int) slider->getMouseDownValue();
    if (unchanged)
        restoreDragStart();
    else if (const int i = indexOf(centSliders, slider); i >= 0)
        centSliderChanged(i, true);
    else if (const int j = indexOf(noteSliders, slider); j >= 0)
        noteSliderChanged(j, true);
    dragStart = {};
    if (tuningValueEdited)
    {
        tuningValueEdited = false;
        triggerAsyncUpdate();
    }
    // After a typed value the arrow keys page on at once.
    if (isShowing() && !hasKeyboardFocus(true))
        grabKeyboardFocus();
}

//==============================================================================
void TuningEditComponent::setPositionUsable(int i, bool usable)
{
    auto& note = *noteSliders[(size_t) i];
    auto& cent = *centSliders[(size_t) i];
    const auto colour = usable ? keyTextColour(i) : hiddenText;
    for (auto* slider : {&note, &cent})
    {
        slider->setColour(juce::Slider::textBoxTextColourId, colour);
        slider->setColour(juce::Slider::textBoxOutlineColourId, colour);
        slider->setMouseInteractionEnabled(usable);
        slider->setTextBoxIsEditable(usable);
    }
}

void TuningEditComponent::updateSliderValues()
{
    // Values are shown without notification: showing a page never writes a note back.
    const auto kind = currentKind();
    const int base = 12 * currentTuningPage;
    for (int i = 0; i < 12; ++i)
    {
        auto* entry = entryAt(base, i);
        if (entry == nullptr)
        {
            centSliders[(size_t) i]->setValue(0.0, juce::dontSendNotification);
            noteSliders[(size_t) i]->setValue(0.0, juce::dontSendNotification);
            heldAtLimit[(size_t) i] = false;
            setPositionUsable(i, false);
            continue;
        }
        const auto shown = TuningEditor::showEntry(entry, kind);
        *negativeCentsAt(base, i) = shown.negativeCents ? 1 : 0;
        heldAtLimit[(size_t) i] = shown.heldAtLimit;
        centSliders[(size_t) i]->setValue(shown.cents, juce::dontSendNotification);
        noteSliders[(size_t) i]->setValue(shown.note, juce::dontSendNotification);
        if (i >= 8)
            setPositionUsable(i, true);
    }
}

void TuningEditComponent::updateSliderRanges()
{
    const bool octave = octaveSlotSelected();
    for (auto& slider : noteSliders)
    {
        slider->setRelativeOctaveMode(octave);
        if (octave)
            slider->setRange(-12.0, 23.0, 1.0);
        else
            slider->setRange(0.0, 127.0, 1.0);
    }
}

ui::ImageTextButton& TuningEditComponent::getSlotButton(int slot)
{
    return slot <= 5 ? *octaveSlotButtons[(size_t) slot] : *scaleSlotButtons[(size_t) (slot - 6)];
}

void TuningEditComponent::updateSlotButtonImages()
{
    const auto dark = ui::getImage("ButtonDark");
    const auto lit = ui::getImage("ButtonLit");
    for (int slot = 0; slot < 12; ++slot)
    {
        const auto& image = slot == currentTuningSlot ? lit : dark;
        getSlotButton(slot).setImages(false, true, true, image, 1.0f, juce::Colours::transparentBlack, image, 1.0f,
                                      juce::Colours::transparentBlack, image, 1.0f, juce::Colours::transparentBlack);
    }
}

void TuningEditComponent::updatePageLabels()
{
    for (int p = 0; p < numPages; ++p)
    {
        const bool current = !octaveSlotSelected() && p == currentTuningPage;
        pageLabels[(size_t) p]->setColour(juce::Label::textColourId, current ? juce::Colours::white : dimmedLabel);
    }
}

//==============================================================================
void TuningEditComponent::selectTuningSlot(std::uint8_t slot)
{
    currentTuningSlot = slot;
    if (slot <= 5)
        x47390_data::CurrentTuneOctData::getInstance()->setTuneOct(slot);
    else if (slot <= 11)
        x47390_data::CurrentTuneScaleData::getInstance()->setTuneScale(slot - 6);
    updateSliderRanges();
    if (slot > 5)
        clearPitchClassGuides();
    updateSlotButtonImages();
    tuningSlotSelected = true;
    triggerAsyncUpdate();
}

void TuningEditComponent::storeEditBufferToTuningList()
{
    if (currentTuningSlot <= 5)
        x47390_data::CurrentTuneOctData::setTuneOctToTuningList(currentTuningSlot);
    else if (currentTuningSlot <= 11)
        x47390_data::CurrentTuneScaleData::setTuneScaleToTuningList(currentTuningSlot - 6);
}

void TuningEditComponent::handleAsyncUpdate()
{
    for (auto& tile : tiles)
        tile->repaint();
    updateSliderValues();
    updatePageLabels();
    if (tuningSlotSelected)
        storeEditBufferToTuningList();
}

void TuningEditComponent::dataChanged()
{
    selectTuningSlot(currentTuningSlot);
}

void TuningEditComponent::kbdDisplayComponentClicked(int)
{
    for (auto& tile : tiles)
        tile->repaint();
    updateSliderRanges();
    updateSliderValues();
    updatePageLabels();
    if (!octaveSlotSelected())
        clearPitchClassGuides();
}

void TuningEditComponent::noteStateChanged(int note)
{
    if (note < 0 || note > 127)
        return;
    octaveGuides[(size_t) (note % 12)]->repaint();
    keyGuides[(size_t) note]->repaint();
}

bool TuningEditComponent::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    if (!isShowing() || octaveSlotSelected())
        return false;
    const auto mods = key.getModifiers();
    if (mods.isShiftDown() || mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown())
        return false;
    int step = 0;
    if (key.getKeyCode() == juce::KeyPress::leftKey)
        step = -1;
    else if (key.getKeyCode() == juce::KeyPress::rightKey)
        step = 1;
    else
        return false;
    currentTuningPage = (std::uint8_t) juce::jlimit(0, lastPage, (int) currentTuningPage + step);
    // As with a tile: a note held from another page would never be released on this one.
    clearPitchClassGuides();
    triggerAsyncUpdate();
    return true;
}

void TuningEditComponent::initializeCurrentSlot()
{
    if (octaveSlotSelected())
    {
        x47390_data::CurrentTuneOctData::getInstance()->pasteTuneOct();
        return;
    }
    auto* holder = x47390_data::CurrentTuneScaleData::getInstance();
    holder->pasteTuneScale(0);
    holder->tuneScaleChanged();
}

void TuningEditComponent::buttonClicked(juce::Button* button)
{
    if (button == initializeButton.get())
    {
        initializeCurrentSlot();
        triggerAsyncUpdate();
        return;
    }
    for (int k = 0; k < 6; ++k)
    {
        if (button == scaleSlotButtons[(size_t) k].get())
            selectTuningSlot((std::uint8_t) (6 + k));
        else if (button == octaveSlotButtons[(size_t) k].get())
            selectTuningSlot((std::uint8_t) k);
    }
}

//==============================================================================
void TuningEditComponent::clearPitchClassGuides()
{
    octGuidNoteStates.fill(0);
    for (auto& guide : octaveGuides)
        guide->repaint();
}

void TuningEditComponent::clearNoteGuides()
{
    kbdGuidNoteStates.fill(0);
    for (auto& guide : keyGuides)
        guide->repaint();
}

void TuningEditComponent::tuningTabShown()
{
    tuningLiveTransmission = true;
    // The instrument gets the tuning being edited as soon as the page shows. It is taken from the library,
    // so a library replaced meanwhile is never overwritten by what the page held before.
    selectTuningSlot(currentTuningSlot);
    clearNoteGuides();
    if (isShowing())
        grabKeyboardFocus();
}

void TuningEditComponent::tuningTabHidden()
{
    tuningLiveTransmission = false;
}

void TuningEditComponent::selectedTabStatusChanged()
{
    if (ui::SelectedTabStatus::getInstance()->tabIndex == microtuningTabIndex)
        tuningTabShown();
    else
        tuningTabHidden();
}

void TuningEditComponent::changeListenerCallback(juce::ChangeBroadcaster* source)
{
    if (auto* bar = dynamic_cast<juce::TabbedButtonBar*>(source))
    {
        if (bar->getCurrentTabIndex() == microtuningTabIndex)
            tuningTabShown();
        else
            tuningTabHidden();
    }
}
