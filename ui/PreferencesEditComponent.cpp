#include "ui/PreferencesEditComponent.h"

#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "midi/MidiDeviceManager.h"
#include "ui/DialogKeyboard.h"
#include "ui/ModalDialogRunner.h"

namespace
{
constexpr int panelWidth = 540;
constexpr int panelHeight = 315;

void setUpLabel(juce::Label& label, const juce::String& text)
{
    label.setText(text, juce::dontSendNotification);
    label.setEditable(false);
    label.setJustificationType(juce::Justification::centredLeft);
}

void setUpPortBox(juce::ComboBox& box)
{
    box.setEditableText(false);
    box.setJustificationType(juce::Justification::centredLeft);
    box.setTextWhenNothingSelected({});
    box.setTextWhenNoChoicesAvailable("(no choices)");
}

// Fills a port box with the endpoint names and selects the saved one (exact match), if present.
template <class NameOf>
void fillPortBox(juce::ComboBox& box, juce::StringArray& names, int count, NameOf nameOf, const juce::String& saved)
{
    for (int i = 0; i < count; ++i)
    {
        const auto name = nameOf(i);
        names.add(name);
        box.addItem(name, i + 1);
    }
    const int index = names.indexOf(saved);
    if (index >= 0)
        box.setSelectedId(index + 1, juce::dontSendNotification);
}

// The name at the box's selected index, or the empty text when nothing is selected.
juce::String selectedName(const juce::ComboBox& box, const juce::StringArray& names)
{
    const int index = box.getSelectedItemIndex();
    return index >= 0 ? names[index] : juce::String();
}
} // namespace

PreferencesEditComponent::PreferencesEditComponent()
{
    auto* resource = CJQZResource::getInstance();

    midiPortGroup.setText(resource->getString("PreferencesDialogGroupMidiPort"));
    otherGroup.setText(resource->getString("PreferencesDialogGroupOther"));
    for (auto* group : {&midiPortGroup, &otherGroup})
    {
        group->setColour(juce::GroupComponent::outlineColourId, juce::Colour(0xff666666));
        group->setColour(juce::GroupComponent::textColourId, juce::Colour(0xff999999));
    }
    midiPortGroup.setBounds(8, 8, 520, 136);
    otherGroup.setBounds(8, 144, 520, 120);

    manualPortToggle.setButtonText(resource->getString("PreferencesDialogMidiPortManualSetting"));
    autoReceiveToggle.setButtonText(resource->getString("PreferencesDialogAutoReceive"));
    warningToggle.setButtonText(resource->getString("PreferencesDialogWarningBeforeWriting"));
    manualPortToggle.setBounds(32, 32, 456, 24);
    autoReceiveToggle.setBounds(32, 168, 464, 24);
    warningToggle.setBounds(32, 192, 472, 24);

    setUpLabel(midiInLabel, resource->getString("PreferencesDialogMidiInPort"));
    setUpLabel(midiOutLabel, resource->getString("PreferencesDialogMidiOutPort"));
    setUpLabel(fontSizeLabel, resource->getString("PreferencesDialogFontSize"));
    setUpLabel(fontSizeValueLabel, {});
    midiInLabel.setBounds(32, 64, 80, 24);
    midiOutLabel.setBounds(32, 96, 80, 24);
    fontSizeLabel.setBounds(48, 224, 160, 24);
    fontSizeValueLabel.setBounds(416, 224, 32, 24);

    setUpPortBox(midiInBox);
    setUpPortBox(midiOutBox);
    midiInBox.setBounds(120, 64, 376, 24);
    midiOutBox.setBounds(120, 96, 376, 24);
    midiInBox.addListener(this);
    midiOutBox.addListener(this);

    cancelButton.setButtonText(resource->getString("CommonCancel"));
    okButton.setButtonText(resource->getString("CommonOK"));
    cancelButton.setBounds(328, 278, 94, 24);
    okButton.setBounds(432, 278, 94, 24);
    ui::setDefaultButton(okButton);
    ui::setEscapeButton(cancelButton);
    for (auto* button : {&cancelButton, &okButton})
    {
        button->setConnectedEdges(juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight
                                  | juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom);
        button->setColour(juce::TextButton::buttonColourId, juce::Colour(0x49666666));
        button->setColour(juce::TextButton::buttonOnColourId, juce::Colour(0x69999999));
        button->setColour(juce::TextButton::textColourOffId, juce::Colour(0xffffffff));
        button->setColour(juce::TextButton::textColourOnId, juce::Colour(0xffffffff));
    }
    for (juce::Button* button : {(juce::Button*) &manualPortToggle, (juce::Button*) &autoReceiveToggle,
                                 (juce::Button*) &warningToggle, (juce::Button*) &cancelButton,
                                 (juce::Button*) &okButton})
        button->addListener(this);

    fontSizeSlider.setRange(0.0, 4.0, 1.0);
    fontSizeSlider.setSliderStyle(juce::Slider::LinearHorizontal);
    fontSizeSlider.setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
    fontSizeSlider.setColour(juce::Slider::thumbColourId, juce::Colour(0xff666666));
    fontSizeSlider.setColour(juce::Slider::trackColourId, juce::Colour(0xff111111));
    fontSizeSlider.setBounds(216, 224, 184, 24);
    fontSizeSlider.addListener(this);

    for (juce::Component* child :
         {(juce::Component*) &otherGroup, (juce::Component*) &midiPortGroup, (juce::Component*) &midiInBox,
          (juce::Component*) &midiOutBox, (juce::Component*) &manualPortToggle, (juce::Component*) &autoReceiveToggle,
          (juce::Component*) &warningToggle, (juce::Component*) &midiInLabel, (juce::Component*) &midiOutLabel,
          (juce::Component*) &cancelButton, (juce::Component*) &okButton, (juce::Component*) &fontSizeLabel,
          (juce::Component*) &fontSizeSlider, (juce::Component*) &fontSizeValueLabel})
        addAndMakeVisible(child);

    // The values, as stored.
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    listHeightAtOpening = preferences->getIntValue("ProgramListHeight", 0);
    manualPortToggle.setToggleState(!preferences->getBoolValue("MidiPortAutoScan", true), juce::dontSendNotification);
    autoReceiveToggle.setToggleState(preferences->getBoolValue("AutoReceive", true), juce::dontSendNotification);
    warningToggle.setToggleState(preferences->getBoolValue("WarnBeforeWriting", true), juce::dontSendNotification);

    const int step = stepForHeight(listHeightAtOpening);
    fontSizeSlider.setValue(step, juce::sendNotificationAsync);
    fontSizeValueLabel.setText(juce::String(step + 1), juce::dontSendNotification);

    updatePortBoxes();

    auto& midi = midi::MidiDeviceManager::getInstance()->getMidi();
    fillPortBox(
        midiInBox, inputPortNames, midi.getNumSources(), [&midi](int i) { return midi.getSourceName(i); },
        preferences->getValue("MidiInPort", {}));
    fillPortBox(
        midiOutBox, outputPortNames, midi.getNumDestinations(), [&midi](int i) { return midi.getDestinationName(i); },
        preferences->getValue("MidiOutPort", {}));

    for (auto* child : getChildren())
        child->setLookAndFeel(&lookAndFeel);
    setSize(panelWidth, panelHeight);
}

PreferencesEditComponent::~PreferencesEditComponent()
{
    for (auto* child : getChildren())
        child->setLookAndFeel(nullptr);
}

int PreferencesEditComponent::stepForHeight(int height)
{
    for (size_t i = 0; i < programListHeightSteps.size(); ++i)
        if (programListHeightSteps[i] >= height)
            return (int) i;
    return (int) programListHeightSteps.size() - 1;
}

void PreferencesEditComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff333333)); }

void PreferencesEditComponent::updatePortBoxes()
{
    const bool manual = manualPortToggle.getToggleState();
    midiInBox.setEnabled(manual);
    midiOutBox.setEnabled(manual);
}

void PreferencesEditComponent::buttonClicked(juce::Button* button)
{
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    if (button == &manualPortToggle)
    {
        updatePortBoxes();
    }
    else if (button == &cancelButton)
    {
        preferences->setIntValue("ProgramListHeight", listHeightAtOpening);
        application::PreferencesDataChangeBroadcaster::getInstance()->triggerAsyncUpdate();
        ui::endEnclosingDialog(*this, 0);
    }
    else if (button == &okButton)
    {
        preferences->setBoolValue("WarnBeforeWriting", warningToggle.getToggleState());
        preferences->setBoolValue("AutoReceive", autoReceiveToggle.getToggleState());
        preferences->setBoolValue("MidiPortAutoScan", !manualPortToggle.getToggleState());
        preferences->setValue("MidiInPort", selectedName(midiInBox, inputPortNames));
        preferences->setValue("MidiOutPort", selectedName(midiOutBox, outputPortNames));
        const auto step = (size_t) juce::jlimit(0, 4, juce::roundToInt(fontSizeSlider.getValue()));
        preferences->setIntValue("ProgramListHeight", programListHeightSteps[step]);
        ui::endEnclosingDialog(*this, 1);
    }
}

void PreferencesEditComponent::sliderValueChanged(juce::Slider* slider)
{
    if (slider == &fontSizeSlider)
        fontSizeValueLabel.setText(juce::String(juce::roundToInt(slider->getValue()) + 1), juce::dontSendNotification);
}
