#include "ui/WriteWarningComponents.h"

#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "ui/DialogKeyboard.h"
#include "ui/FontLibrary.h"

namespace
{
juce::String localised(const char* key) { return CJQZResource::getInstance()->getString(key); }

void paintButton(juce::TextButton& button, juce::Colour colour)
{
    button.setConnectedEdges(juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight
                             | juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom);
    button.setColour(juce::TextButton::buttonColourId, colour);
    button.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0x69999999));
    button.setColour(juce::TextButton::textColourOffId, juce::Colour(0xffffffff));
    button.setColour(juce::TextButton::textColourOnId, juce::Colour(0xffffffff));
}
} // namespace

WriteConfirmationPanel::WriteConfirmationPanel() = default;

WriteConfirmationPanel::~WriteConfirmationPanel()
{
    for (auto* child : getChildren())
        child->setLookAndFeel(nullptr);
}

void WriteConfirmationPanel::addMessageLabel(juce::Label& label, juce::Rectangle<int> bounds,
                                             juce::Justification justification)
{
    addAndMakeVisible(label);
    label.setFont(juce::Font(15.0f, juce::Font::plain).withTypefaceStyle("Regular"));
    label.setJustificationType(justification);
    label.setEditable(false, false, false);
    label.setColour(juce::Label::textColourId, juce::Colour(0xffffffff));
    label.setColour(juce::TextEditor::textColourId, juce::Colour(0xff000000));
    label.setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
    label.setBounds(bounds);
    labels.add(&label);
}

void WriteConfirmationPanel::finish(const char* okKey, juce::Rectangle<int> okBounds, juce::Colour cancelColour,
                                    juce::Rectangle<int> cancelBounds, const char* toggleKey,
                                    juce::Rectangle<int> toggleBounds, int width, int height)
{
    okButton.setButtonText("ok");
    addAndMakeVisible(okButton);
    paintButton(okButton, juce::Colour(0x49666666));
    okButton.addListener(this);
    okButton.setBounds(okBounds);
    okButton.setButtonText(localised(okKey));

    cancelButton.setButtonText("cancel");
    addAndMakeVisible(cancelButton);
    paintButton(cancelButton, cancelColour);
    cancelButton.addListener(this);
    cancelButton.setBounds(cancelBounds);
    cancelButton.setButtonText(localised("CommonCancel"));

    dontWarnToggle.setButtonText("Do not confirm from next time");
    addAndMakeVisible(dontWarnToggle);
    dontWarnToggle.setColour(juce::ToggleButton::textColourId, juce::Colour(0xff808080));
    dontWarnToggle.setToggleState(false, juce::dontSendNotification);
    dontWarnToggle.addListener(this);
    dontWarnToggle.setBounds(toggleBounds);
    dontWarnToggle.setButtonText(localised(toggleKey));

    // The answer overwrites the instrument: Return keeps it as it is, OK is one Tab away.
    ui::setDefaultButton(cancelButton);
    ui::setEscapeButton(cancelButton);

    for (auto* child : getChildren())
        child->setLookAndFeel(&lookAndFeel);
    for (auto* label : labels)
        label->setFont(ui::FontLibrary::getInstance()->getFont("DialogText"));
    setSize(width, height);
}

void WriteConfirmationPanel::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff333333)); }

void WriteConfirmationPanel::buttonClicked(juce::Button* button)
{
    if (button == &okButton)
    {
        x47390_preferences::PreferencesData::getInstance()->setBoolValue("WarnBeforeWriting",
                                                                         !dontWarnToggle.getToggleState());
        endDialog(1);
    }
    else if (button == &cancelButton)
    {
        endDialog(0);
    }
}

void WriteConfirmationPanel::endDialog(int result)
{
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState(result);
}

WriteWarningComponent::WriteWarningComponent()
{
    addMessageLabel(firstLine, {16, 16, 424, 16}, juce::Justification::centredLeft);
    addMessageLabel(secondLine, {16, 40, 424, 16}, juce::Justification::centredLeft);
    firstLine.setText(localised("WriteWarningDialogLine1"), juce::dontSendNotification);
    secondLine.setText(localised("WriteWarningDialogLine2"), juce::dontSendNotification);
    finish("CommonOK", {368, 72, 72, 24}, juce::Colour(0x49666666), {288, 72, 72, 24},
           "WriteWarningDialogDontConfirmNext", {16, 72, 256, 24}, 455, 110);
}

WriteUserDataWarningComponent::WriteUserDataWarningComponent()
{
    addMessageLabel(message, {16, 16, 504, 112}, juce::Justification::topLeft);
    message.setText(localised("WriteUserDataWarningDialogLine1") + localised("WriteUserDataWarningDialogLine2")
                        + localised("WriteUserDataWarningDialogLine3") + localised("WriteUserDataWarningDialogLine4"),
                    juce::dontSendNotification);
    finish("WriteUserDataWarningDialogOk", {318, 139, 127, 24}, juce::Colour(0x69999999), {453, 139, 72, 24},
           "WriteUserDataWarningDialogDontConfirmNext", {17, 139, 256, 24}, 540, 180);
}
