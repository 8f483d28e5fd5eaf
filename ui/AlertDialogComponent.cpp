#include "ui/AlertDialogComponent.h"

#include "app/CJQZResource.h"
#include "ui/DialogKeyboard.h"
#include "ui/ModalDialogRunner.h"

namespace
{
constexpr int margin = 16;
constexpr int panelWidth = 420;
constexpr int messageWidth = 384;
constexpr int messageMinimumHeight = 56;
constexpr int buttonWidth = 88;
constexpr int buttonHeight = 24;
constexpr int results[3] = {1, 2, 0};
} // namespace

AlertDialogComponent::AlertDialogComponent(int panelType, const juce::String& text, bool cancelIsDefault)
    : type(panelType), message(text)
{
    // The message is read, not edited: Tab goes round the buttons only.
    messageDisplay.setWantsKeyboardFocus(false);
    messageDisplay.setMultiLine(true, true);
    messageDisplay.setReturnKeyStartsNewLine(false);
    messageDisplay.setReadOnly(true);
    messageDisplay.setScrollbarsShown(false);
    messageDisplay.setCaretVisible(false);
    messageDisplay.setPopupMenuEnabled(false);
    messageDisplay.setColour(juce::TextEditor::textColourId, juce::Colour(0xffffffff));
    messageDisplay.setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00ffffff));
    messageDisplay.setColour(juce::TextEditor::highlightColourId, juce::Colour(0x40ffffff));
    messageDisplay.setColour(juce::TextEditor::shadowColourId, juce::Colour(0x00000000));
    messageDisplay.setColour(juce::TextEditor::outlineColourId, juce::Colour(0x00000000));
    messageDisplay.setColour(juce::TextEditor::focusedOutlineColourId, juce::Colour(0x00000000));
    messageDisplay.setLookAndFeel(&lookAndFeel);
    messageDisplay.setBounds(margin, margin, messageWidth, messageMinimumHeight);
    messageDisplay.setText(message, false);
    addAndMakeVisible(messageDisplay);

    auto* resource = CJQZResource::getInstance();
    const juce::String captions[3][3] = {{"CommonOK", "", ""},
                                         {"CommonOK", "", "CommonCancel"},
                                         {"CommonYes", "CommonNo", "CommonCancel"}};
    const auto row = (size_t) juce::jlimit(0, 2, type);
    for (size_t i = 0; i < buttons.size(); ++i)
    {
        auto& button = *buttons[i];
        button.setSize(buttonWidth, buttonHeight);
        button.setConnectedEdges(juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight
                                 | juce::Button::ConnectedOnTop | juce::Button::ConnectedOnBottom);
        button.addListener(this);
        button.setColour(juce::TextButton::buttonColourId, juce::Colour(i == 1 ? 0x49333333 : 0x49666666));
        button.setColour(juce::TextButton::buttonOnColourId, juce::Colour(0x69999999));
        button.setColour(juce::TextButton::textColourOffId, juce::Colour(0xffffffff));
        button.setColour(juce::TextButton::textColourOnId, juce::Colour(0xffffffff));
        button.setLookAndFeel(&lookAndFeel);
        const auto& key = captions[row][i];
        button.setButtonText(key.isEmpty() ? juce::String() : resource->getString(key));
        addChildComponent(button);
        button.setVisible(key.isNotEmpty());
    }
    ui::setDefaultButton(cancelIsDefault && thirdButton.isVisible() ? thirdButton : firstButton);
    ui::setEscapeButton(thirdButton);

    setSize(panelWidth, 120);
    // The panel grows with the message, and so does the message area, so long texts stay readable.
    messageHeight = messageDisplay.getTextHeight();
    messageDisplay.setSize(messageWidth, juce::jmax(messageMinimumHeight, messageHeight));
    setSize(panelWidth, margin + messageHeight + buttonHeight + 41);
}

AlertDialogComponent::~AlertDialogComponent()
{
    messageDisplay.setLookAndFeel(nullptr);
    for (auto* button : buttons)
        button->setLookAndFeel(nullptr);
}

void AlertDialogComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff333333)); }

void AlertDialogComponent::resized()
{
    const int top = margin + messageHeight + 25;
    const int right = margin + messageWidth;
    switch (type)
    {
        case okOnly: firstButton.setTopLeftPosition(right - buttonWidth, top); break;
        case okCancel:
            firstButton.setTopLeftPosition(right - buttonWidth, top);
            thirdButton.setTopLeftPosition(right - 192, top);
            break;
        default:
            firstButton.setTopLeftPosition(margin, top);
            secondButton.setTopLeftPosition(margin + 104, top);
            thirdButton.setTopLeftPosition(right - buttonWidth, top);
            break;
    }
}

void AlertDialogComponent::buttonClicked(juce::Button* button)
{
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] == button)
            if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
                window->exitModalState(results[i]);
}

int runAlertDialog(int type, const juce::String& title, const juce::String& message, bool cancelIsDefault)
{
    ui::ScopedModalDialog modal;
    if (modal.wasAlreadyOpen())
        return 0;
    AlertDialogComponent panel(type, message, cancelIsDefault);
    return ui::runModalDialog(panel, title);
}

void showAlertDialog(const juce::String& title, const juce::String& message)
{
    runAlertDialog(AlertDialogComponent::okOnly, title, message);
}
