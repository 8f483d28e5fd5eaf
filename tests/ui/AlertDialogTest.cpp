// The alert panel: its layout by type and message length, its results, and the modal-state rule.
#include "app/CJQZResource.h"
#include "tests/support/TestSupport.h"
#include "ui/AlertDialogComponent.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"

#include <gtest/gtest.h>

namespace
{
juce::String text(const char* key) { return CJQZResource::getInstance()->getString(key); }

// Runs the alert in a real dialog window and presses what the action presses once it shows.
int runAlertAnd(int type, const std::function<void(AlertDialogComponent&)>& action)
{
    juce::MessageManager::callAsync(
        [action]
        {
            auto* modal = juce::ModalComponentManager::getInstance()->getModalComponent(0);
            if (modal == nullptr)
                return;
            if (auto* panel = dynamic_cast<AlertDialogComponent*>(
                    dynamic_cast<juce::DialogWindow*>(modal)->getContentComponent()))
                action(*panel);
        });
    return runAlertDialog(type, "Title", "Message");
}
} // namespace

TEST(AlertDialog, ButtonsAndCaptionsFollowTheType)
{
    struct Case
    {
        int type;
        juce::StringArray captions; // first, second, third; empty: hidden
        int lefts[3];
    };
    const Case cases[] = {
        {AlertDialogComponent::okOnly, {text("CommonOK"), "", ""}, {312, 0, 0}},
        {AlertDialogComponent::okCancel, {text("CommonOK"), "", text("CommonCancel")}, {312, 0, 208}},
        {AlertDialogComponent::yesNoCancel, {text("CommonYes"), text("CommonNo"), text("CommonCancel")}, {16, 120, 312}},
    };
    for (const auto& entry : cases)
    {
        AlertDialogComponent panel(entry.type, "One line.");
        const int messageHeight = panel.getMessageDisplay().getTextHeight();
        EXPECT_EQ(panel.getWidth(), 420);
        EXPECT_EQ(panel.getHeight(), messageHeight + 81);
        EXPECT_LT(panel.getHeight(), 120);
        for (int i = 0; i < 3; ++i)
        {
            auto& button = panel.getButton(i);
            SCOPED_TRACE(juce::String(entry.type) + "/" + juce::String(i));
            EXPECT_EQ(button.isVisible(), entry.captions[i].isNotEmpty());
            if (!button.isVisible())
                continue;
            EXPECT_EQ(button.getButtonText(), entry.captions[i]);
            EXPECT_EQ(button.getBounds(), juce::Rectangle<int>(entry.lefts[i], messageHeight + 41, 88, 24));
        }
    }
}

TEST(AlertDialog, LongMessagesMakeThePanelAndTheMessageAreaTaller)
{
    const auto longText = juce::String::repeatedString("The file could not be written completely. ", 12);
    AlertDialogComponent shortPanel(0, "Short.");
    AlertDialogComponent longPanel(0, longText);
    const int height = longPanel.getMessageDisplay().getTextHeight();
    EXPECT_GT(height, 56);
    EXPECT_EQ(longPanel.getHeight(), height + 81);
    // The whole text shows: the message area is as tall as the text, not the first lines only.
    EXPECT_GE(longPanel.getMessageDisplay().getHeight(), height);
    EXPECT_LT(longPanel.getMessageDisplay().getBottom(), longPanel.getButton(0).getY());
    EXPECT_EQ(shortPanel.getMessageDisplay().getHeight(), 56);
}

TEST(AlertDialog, ResultsOfTheButtonsAndOfEscape)
{
    EXPECT_EQ(runAlertAnd(2, [](AlertDialogComponent& p) { p.buttonClicked(&p.getButton(0)); }), 1);
    EXPECT_EQ(runAlertAnd(2, [](AlertDialogComponent& p) { p.buttonClicked(&p.getButton(1)); }), 2);
    EXPECT_EQ(runAlertAnd(2, [](AlertDialogComponent& p) { p.buttonClicked(&p.getButton(2)); }), 0);
    EXPECT_EQ(runAlertAnd(2,
                          [](AlertDialogComponent& p)
                          {
                              juce::Component* window = p.findParentComponentOfClass<juce::DialogWindow>();
                              window->keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
                          }),
              0);
    EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
}

TEST(AlertDialog, ShowsNothingWhileAnotherModalDialogIsOpen)
{
    int shown = 0;
    ui::setModalDialogScript([&shown](juce::Component&, const juce::String&) { return ++shown; });
    auto* state = ui::ModalDialogState::getInstance();
    state->setModalDialogOpen(true);
    showAlertDialog("Title", "Lost");
    EXPECT_EQ(runAlertDialog(2, "Title", "Lost"), 0);
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(state->isModalDialogOpen()); // still the other dialog's
    state->setModalDialogOpen(false);

    showAlertDialog("Title", "Shown");
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(state->isModalDialogOpen());
    ui::setModalDialogScript({});
}

TEST(AlertDialog, PaintsTheDarkPanelWithTheMessage)
{
    AlertDialogComponent panel(0, "Visible message");
    const auto image = panel.createComponentSnapshot(panel.getLocalBounds(), true, 1.0f);
    EXPECT_EQ(image.getPixelAt(2, 2), juce::Colour(0xff333333));
    int light = 0;
    for (int y = 16; y < 40; ++y)
        for (int x = 16; x < 200; ++x)
            light += image.getPixelAt(x, y).getBrightness() > 0.7f ? 1 : 0;
    EXPECT_GT(light, 40);
}
