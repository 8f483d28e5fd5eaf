// The program's dialogs answered from the keyboard alone: the default button, Tab round the controls, Space,
// Return and Escape, and the focus ring that shows where Return goes.
#include "app/PreferencesData.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ModalDriver.h"
#include "ui/AboutComponent.h"
#include "ui/AlertDialogComponent.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/DialogKeyboard.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ProgramTuningEditComponent.h"
#include "ui/WriteWarningComponents.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace
{
const juce::KeyPress returnKey(juce::KeyPress::returnKey);
const juce::KeyPress escapeKey(juce::KeyPress::escapeKey);
const juce::KeyPress spaceKey(juce::KeyPress::spaceKey);
const juce::KeyPress tabKey(juce::KeyPress::tabKey);
const juce::KeyPress shiftTabKey(juce::KeyPress::tabKey, juce::ModifierKeys::shiftModifier, 0);

// The button inside the dialog that has the keyboard focus, if any.
juce::Button* focusedButtonIn(juce::Component& window)
{
    auto* focused = dynamic_cast<juce::Button*>(juce::Component::getCurrentlyFocusedComponent());
    return focused != nullptr && window.isParentOf(focused) ? focused : nullptr;
}

// Runs the body in a real dialog window. Once the window has the keyboard, and with it one of its buttons, the
// check looks at the dialog and the keys go in as the window system hands them over; the dialog's result
// comes back (99 when nothing ended it).
int runWithKeys(juce::Component& body, const std::vector<juce::KeyPress>& keys,
                const std::function<void(juce::Component& window, juce::Button& focused)>& check = {})
{
    uitest::ModalDriver driver;
    const auto deadline = juce::Time::getMillisecondCounter() + 60000;
    driver.then(
        [&](juce::Component& window)
        {
            auto* peer = window.getPeer();
            if (juce::Time::getMillisecondCounter() > deadline)
            {
                ADD_FAILURE() << "the dialog never had the keyboard";
                window.exitModalState(99);
                return true;
            }
            if (peer == nullptr || !peer->isFocused())
            {
                // No window manager here hands the new window the keyboard.
                if (peer != nullptr)
                    peer->grabFocus();
                return false;
            }
            auto* focused = focusedButtonIn(window);
            if (focused == nullptr && uitest::ModalDriver::find<juce::Button>(body) != nullptr)
                return false;
            if (check && focused != nullptr)
                check(window, *focused);
            for (const auto& key : keys)
                peer->handleKeyPress(key);
            return true;
        });
    return ui::runModalDialog(body, "Keys");
}

// Whether the button's face shows the focus ring: its left edge, halfway down, in the ring's colour.
bool wearsRing(juce::Button& button)
{
    const auto image = button.createComponentSnapshot(button.getLocalBounds(), false, 1.0f);
    const auto pixel = image.getPixelAt(1, button.getHeight() / 2);
    const juce::Colour ring(x47390_ui::DefaultLookAndFeel::focusRingColour);
    return std::abs(pixel.getRed() - ring.getRed()) < 40 && std::abs(pixel.getBlue() - ring.getBlue()) < 40
           && std::abs(pixel.getGreen() - ring.getGreen()) < 40;
}

class DialogKeyboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", config.get().getFullPathName().toRawUTF8(), 1);
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);
        auto* fonts = ui::FontLibrary::getInstance();
        for (const char* key : {"DialogText", "TextButton", "Label"})
            fonts->addFont(key, fonts->makeFont(fonts->defaultTypefaceName, 16.0f));
    }

    void TearDown() override
    {
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
    }

    testsupport::TemporaryFolder config;
    x47390_ui::DefaultLookAndFeel lookAndFeel;
};

std::unique_ptr<juce::Component> alert(int type, bool cancelIsDefault = false)
{
    return std::make_unique<AlertDialogComponent>(type, "Message", cancelIsDefault);
}
} // namespace

// Return presses the default button: OK or Yes, but Cancel where the answer overwrites the instrument or deletes
// files. Tab and Shift+Tab go round the controls, Space and Return press the focused button, Escape is Cancel.
TEST_F(DialogKeyboardTest, EveryDialogAnswersTheKeyboard)
{
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<juce::Component>()> make;
        std::vector<juce::KeyPress> keys;
        int result;
    };
    const auto okOnly = [] { return alert(AlertDialogComponent::okOnly); };
    const auto okCancel = [] { return alert(AlertDialogComponent::okCancel); };
    const auto yesNoCancel = [] { return alert(AlertDialogComponent::yesNoCancel); };
    const auto safeOkCancel = [] { return alert(AlertDialogComponent::okCancel, true); };
    const auto writeWarning = [] { return std::make_unique<WriteWarningComponent>(); };
    const auto userDataWarning = [] { return std::make_unique<WriteUserDataWarningComponent>(); };
    const auto programTuning = [] { return std::make_unique<ProgramTuningEditComponent>(); };
    const Case cases[] = {
        {"OK alone: Return", okOnly, {returnKey}, 1},
        {"OK alone: Space", okOnly, {spaceKey}, 1},
        {"OK alone: Tab stays on OK", okOnly, {tabKey, returnKey}, 1},
        {"OK/Cancel: Return", okCancel, {returnKey}, 1},
        {"OK/Cancel: Escape", okCancel, {escapeKey}, 0},
        {"OK/Cancel: Tab to Cancel", okCancel, {tabKey, returnKey}, 0},
        {"Yes/No/Cancel: Return", yesNoCancel, {returnKey}, 1},
        {"Yes/No/Cancel: Tab, Return", yesNoCancel, {tabKey, returnKey}, 2},
        {"Yes/No/Cancel: Tab, Tab, Space", yesNoCancel, {tabKey, tabKey, spaceKey}, 0},
        {"Yes/No/Cancel: round to Yes", yesNoCancel, {tabKey, tabKey, tabKey, returnKey}, 1},
        {"Yes/No/Cancel: Shift+Tab to Cancel", yesNoCancel, {shiftTabKey, returnKey}, 0},
        {"Yes/No/Cancel: Escape", yesNoCancel, {escapeKey}, 0},
        {"deleting: Return cancels", safeOkCancel, {returnKey}, 0},
        {"deleting: Tab to OK", safeOkCancel, {tabKey, returnKey}, 1},
        {"write warning: Return cancels", writeWarning, {returnKey}, 0},
        {"write warning: Tab to OK", writeWarning, {tabKey, spaceKey}, 1},
        {"write warning: Escape", writeWarning, {escapeKey}, 0},
        {"user data warning: Return cancels", userDataWarning, {returnKey}, 0},
        {"user data warning: back to OK", userDataWarning, {shiftTabKey, returnKey}, 1},
        {"program tuning: Return", programTuning, {returnKey}, 1},
        {"program tuning: Escape", programTuning, {escapeKey}, 0},
        {"about box: Return closes it", [] { return std::make_unique<AboutComponent>(); }, {returnKey}, 0},
    };
    for (const auto& entry : cases)
    {
        SCOPED_TRACE(entry.name);
        auto body = entry.make();
        EXPECT_EQ(runWithKeys(*body, entry.keys), entry.result);
    }
}

// The default button has the focus when the dialog opens and wears the ring; the ring follows the focus.
TEST_F(DialogKeyboardTest, TheFocusRingShowsWhereReturnGoes)
{
    AlertDialogComponent panel(AlertDialogComponent::yesNoCancel, "Message");
    runWithKeys(panel, {escapeKey},
                [&](juce::Component& window, juce::Button& focused)
                {
                    EXPECT_EQ(&focused, &panel.getButton(0));
                    EXPECT_TRUE(wearsRing(panel.getButton(0)));
                    EXPECT_FALSE(wearsRing(panel.getButton(1)));
                    // Tests side by side share the display: another one's window may take the keyboard for a
                    // moment, and a Tab pressed then moves nothing. It is pressed again once this window has it.
                    auto* peer = window.getPeer();
                    peer->handleKeyPress(tabKey);
                    EXPECT_TRUE(testsupport::runMessageLoopUntil(
                        [&]
                        {
                            auto* now = focusedButtonIn(window);
                            if (now == &panel.getButton(1))
                                return true;
                            if (!peer->isFocused())
                                peer->grabFocus();
                            else if (now == &panel.getButton(0))
                                peer->handleKeyPress(tabKey);
                            return false;
                        }));
                    EXPECT_EQ(focusedButtonIn(window), &panel.getButton(1));
                    EXPECT_FALSE(wearsRing(panel.getButton(0)));
                    EXPECT_TRUE(wearsRing(panel.getButton(1)));
                    testsupport::keepImage(window.createComponentSnapshot(window.getLocalBounds()),
                                           "dialogs/alert-focus-on-no");
                });

    WriteWarningComponent warning;
    runWithKeys(warning, {escapeKey},
                [&](juce::Component& window, juce::Button& focused)
                {
                    EXPECT_EQ(&focused, &warning.getCancelButton());
                    EXPECT_TRUE(wearsRing(warning.getCancelButton()));
                    EXPECT_FALSE(wearsRing(warning.getOkButton()));
                    testsupport::keepImage(window.createComponentSnapshot(window.getLocalBounds()),
                                           "dialogs/write-warning-default");
                });

    // Outside a dialog a focused button keeps the program's plain look.
    juce::TextButton plain("Plain");
    plain.setSize(80, 24);
    ui::setDefaultButton(plain);
    EXPECT_FALSE(ui::showsFocusRing(plain));
}
