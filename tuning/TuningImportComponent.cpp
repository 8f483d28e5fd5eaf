#include "tuning/TuningImportComponent.h"

#include "app/ApplicationMenuCommands.h"
#include "app/CJQZResource.h"
#include "files/ScalaDataImporter.h"
#include "tuning/TuningTemplateComponent.h"
#include "ui/DialogKeyboard.h"
#include "ui/FontLibrary.h"

namespace
{
juce::Font plainFont15()
{
    auto* fonts = ui::FontLibrary::getInstance();
    return fonts->makeFont(fonts->defaultTypefaceName, 15.0f).withTypefaceStyle("Regular");
}

void setUpCaption(juce::Label& label, int y)
{
    label.setFont(plainFont15());
    label.setJustificationType(juce::Justification::centredLeft);
    label.setEditable(false, false, false);
    label.setColour(juce::TextEditor::textColourId, juce::Colour(0xff000000));
    label.setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
    label.setBounds(24, y, 64, 24);
}

void setUpButton(juce::TextButton& button, juce::Button::Listener* listener, juce::Rectangle<int> bounds)
{
    button.setConnectedEdges(juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight |
                             juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom);
    button.setColour(juce::TextButton::buttonColourId, juce::Colour(0x49666666));
    button.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0x69999999));
    button.setColour(juce::TextButton::textColourOffId, juce::Colours::white);
    button.setColour(juce::TextButton::textColourOnId, juce::Colours::white);
    button.addListener(listener);
    button.setBounds(bounds);
}
} // namespace

TuningImportComponent::TuningImportComponent()
{
    setLookAndFeel(&lookAndFeel);

    for (auto* child : std::initializer_list<juce::Component*>{&mapCaption, &scaleCaption, &scaleImportButton,
                                                                &mapImportButton, &mapFileLabel, &clearButton,
                                                                &okButton})
        addAndMakeVisible(child);

    setUpCaption(mapCaption, 24);
    setUpCaption(scaleCaption, 65);

    setUpButton(scaleImportButton, this, {96, 65, 88, 24});
    setUpButton(mapImportButton, this, {96, 24, 88, 24});

    mapFileLabel.setFont(plainFont15());
    mapFileLabel.setJustificationType(juce::Justification::centredLeft);
    mapFileLabel.setEditable(false, false, false);
    mapFileLabel.setColour(juce::Label::backgroundColourId, juce::Colour(0x49666666));
    mapFileLabel.setColour(juce::Label::textColourId, juce::Colours::white);
    mapFileLabel.setColour(juce::Label::outlineColourId, juce::Colour(0xff222222));
    mapFileLabel.setColour(juce::TextEditor::textColourId, juce::Colours::white);
    mapFileLabel.setColour(juce::TextEditor::backgroundColourId, juce::Colours::black);
    mapFileLabel.setColour(juce::TextEditor::highlightColourId, juce::Colour(0x69999999));
    mapFileLabel.setBounds(200, 24, 160, 24);

    setUpButton(clearButton, this, {376, 24, 62, 24});
    setUpButton(okButton, this, {368, 112, 94, 24});
    ui::setDefaultButton(okButton);

    auto* texts = CJQZResource::getInstance();
    scaleImportButton.setButtonText(texts->getString("CommonImport"));
    mapImportButton.setButtonText(texts->getString("CommonImport"));
    clearButton.setButtonText(texts->getString("CommonClear"));

    setSize(470, 144);
    triggerAsyncUpdate();
}

TuningImportComponent::~TuningImportComponent()
{
    cancelPendingUpdate();
    setLookAndFeel(nullptr);
}

void TuningImportComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xff333333));
}

void TuningImportComponent::handleAsyncUpdate()
{
    updateMapFileLabel();
}

void TuningImportComponent::updateMapFileLabel()
{
    mapFileLabel.setText(x47390_file::ScalaDataImporter::keyboardMapFileName, juce::dontSendNotification);
}

void TuningImportComponent::buttonClicked(juce::Button* button)
{
    if (button == &scaleImportButton)
    {
        x47390_menu::ApplicationMenuCommands().importScalaTuning();
    }
    else if (button == &mapImportButton)
    {
        x47390_menu::ApplicationMenuCommands().importScalaKeyboardMap();
        updateMapFileLabel();
    }
    else if (button == &clearButton)
    {
        x47390_file::ScalaDataImporter::resetKeyboardMapping();
        updateMapFileLabel();
    }
    else if (button == &okButton)
    {
        closeEnclosingDialog(*this, 1);
    }
}
