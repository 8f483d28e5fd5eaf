#include "ui/PresetInformationEditComponent.h"

#include "ui/DialogKeyboard.h"
#include "ui/ModalDialogRunner.h"

namespace
{
void setUpEditor(juce::TextEditor& editor, int y)
{
    editor.setMultiLine(false);
    editor.setReturnKeyStartsNewLine(false);
    editor.setReadOnly(false);
    editor.setScrollbarsShown(true);
    editor.setCaretVisible(true);
    editor.setPopupMenuEnabled(true);
    editor.setColour(juce::TextEditor::textColourId, juce::Colour(0xff808080));
    // The look's editors have the panel's own colour: these fields would not show on it.
    editor.setColour(juce::TextEditor::backgroundColourId, juce::Colour(0xff111111));
    editor.setColour(juce::TextEditor::outlineColourId, juce::Colour(0xff666666));
    editor.setColour(juce::TextEditor::focusedOutlineColourId, juce::Colour(0xffd3d3d3));
    editor.setBounds(152, y, 288, 24);
}

void setUpLabel(juce::Label& label, const juce::String& text, int y, int width = 120)
{
    label.setText(text, juce::dontSendNotification);
    label.setEditable(false);
    label.setJustificationType(juce::Justification::centredLeft);
    label.setBounds(24, y, width, 24);
}

// Changed only by its buttons, within its range.
void setUpSlider(juce::Slider& slider, double maximum, int y)
{
    slider.setSliderStyle(juce::Slider::IncDecButtons);
    slider.setTextBoxStyle(juce::Slider::TextBoxLeft, true, 80, 20);
    slider.setRange(1.0, maximum, 1.0);
    slider.setValue(1.0, juce::dontSendNotification);
    slider.setColour(juce::Slider::textBoxTextColourId, juce::Colour(0xff808080));
    slider.setColour(juce::Slider::textBoxBackgroundColourId, juce::Colour(0xff111111));
    slider.setBounds(152, y, 150, 24);
}
} // namespace

PresetInformationEditComponent::PresetInformationEditComponent()
{
    setUpLabel(dataIdLabel, "data ID", 24);
    setUpEditor(dataIdEditor, 24);
    setUpLabel(nameLabel, "display name", 64);
    setUpEditor(nameEditor, 64);
    setUpLabel(authorLabel, "author", 104);
    setUpEditor(authorEditor, 104);
    setUpLabel(dateLabel, "date", 144);
    setUpEditor(dateEditor, 144);
    setUpLabel(copyrightLabel, "copyright", 184);
    setUpEditor(copyrightEditor, 184);
    setUpLabel(versionLabel, "version", 224);
    setUpSlider(versionSlider, 1000.0, 224);
    setUpLabel(programCountLabel, "Program       1  ~", 264, 96);
    // The caption is wider than its box in our fonts: squeezed rather than cut short.
    programCountLabel.setMinimumHorizontalScale(0.5f);
    setUpSlider(programCountSlider, 500.0, 264);
    versionSlider.addListener(this);
    programCountSlider.addListener(this);

    okButton.setButtonText("OK");
    cancelButton.setButtonText("Cancel");
    okButton.setBounds(272, 320, 78, 24);
    cancelButton.setBounds(360, 320, 78, 24);
    ui::setDefaultButton(okButton);
    ui::setEscapeButton(cancelButton);
    okButton.addListener(this);
    cancelButton.addListener(this);

    for (juce::Component* child :
         {(juce::Component*) &nameEditor, (juce::Component*) &authorEditor, (juce::Component*) &dateEditor,
          (juce::Component*) &copyrightEditor, (juce::Component*) &versionSlider, (juce::Component*) &nameLabel,
          (juce::Component*) &authorLabel, (juce::Component*) &dateLabel, (juce::Component*) &copyrightLabel,
          (juce::Component*) &versionLabel, (juce::Component*) &cancelButton, (juce::Component*) &okButton,
          (juce::Component*) &dataIdEditor, (juce::Component*) &dataIdLabel, (juce::Component*) &programCountLabel,
          (juce::Component*) &programCountSlider})
    {
        child->setLookAndFeel(&lookAndFeel);
        addAndMakeVisible(child);
    }
    setSize(480, 380);
}

PresetInformationEditComponent::~PresetInformationEditComponent()
{
    for (auto* child : getChildren())
        child->setLookAndFeel(nullptr);
}

void PresetInformationEditComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff333333)); }

void PresetInformationEditComponent::buttonClicked(juce::Button* button)
{
    if (button == &okButton)
    {
        information.dataID = dataIdEditor.getText();
        information.name = nameEditor.getText();
        information.author = authorEditor.getText();
        information.date = dateEditor.getText();
        information.copyright = copyrightEditor.getText();
        information.version = juce::roundToInt(versionSlider.getValue());
        information.numOfProg = juce::roundToInt(programCountSlider.getValue());
        confirmed = true;
        ui::endEnclosingDialog(*this, 0);
    }
    else if (button == &cancelButton)
    {
        ui::endEnclosingDialog(*this, 1);
    }
}
