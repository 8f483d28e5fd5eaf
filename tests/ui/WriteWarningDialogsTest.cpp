#include "app/PreferencesData.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ProgramTuningEditComponent.h"
#include "ui/WriteWarningComponents.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
template <class T>
T& child(juce::Component& parent, const juce::String& name, int nth = 0)
{
    for (auto* c : parent.getChildren())
        if (c->getName() == name && nth-- == 0)
            if (auto* found = dynamic_cast<T*>(c))
                return *found;
    throw std::runtime_error(("no child " + name).toStdString());
}

int countPixels(const juce::Image& image, juce::Rectangle<int> area, const std::function<bool(juce::Colour)>& test)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += test(image.getPixelAt(x, y)) ? 1 : 0;
    return count;
}

// Snapshots are kept as PNG files too, to look at.
juce::Image snapshotOf(juce::Component& component, const char* name)
{
    auto image = component.createComponentSnapshot(component.getLocalBounds(), true, 2.0f);
    testsupport::keepImage(image, juce::String("ui/") + name);
    return image;
}

// Runs the dialog in a real window; the step runs from a timer once the window is up. 99 when stalled.
int runInWindow(juce::Component& content, std::function<void(juce::DialogWindow&)> step)
{
    int tries = 0;
    std::function<void()> poll;
    poll = [&]
    {
        auto* window = dynamic_cast<juce::DialogWindow*>(juce::ModalComponentManager::getInstance()->getModalComponent(0));
        if (window != nullptr && window->isShowing())
            step(*window);
        else if (++tries < 400)
            juce::Timer::callAfterDelay(5, poll);
        else if (window != nullptr)
            window->exitModalState(99);
    };
    juce::Timer::callAfterDelay(5, poll);
    return ui::runModalDialog(content, "Test");
}

class WriteWarningDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", config.get().getFullPathName().toRawUTF8(), 1);
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        auto* fonts = ui::FontLibrary::getInstance();
        fonts->addFont("DialogText", fonts->makeFont(fonts->defaultTypefaceName, 20.0f));
        fonts->addFont("TextButton", fonts->makeFont(fonts->defaultTypefaceName, 16.0f));
        fonts->addFont("Label", fonts->makeFont(fonts->defaultTypefaceName, 16.0f));
    }

    void TearDown() override { delete x47390_preferences::PreferencesData::getInstanceWithoutCreating(); }

    static bool warnBeforeWriting()
    {
        return x47390_preferences::PreferencesData::getInstance()->getBoolValue("WarnBeforeWriting", true);
    }

    testsupport::TemporaryFolder config;
};
} // namespace

TEST_F(WriteWarningDialogs, WriteWarningLayout)
{
    WriteWarningComponent panel;
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 455, 110));

    struct Row
    {
        juce::Component* component;
        juce::Rectangle<int> bounds;
        juce::String text;
    };
    const Row rows[] = {
        {&child<juce::Label>(panel, "new label", 0), {16, 16, 424, 16}, "The data on the sonavire will be replaced."},
        {&child<juce::Label>(panel, "new label", 1), {16, 40, 424, 16}, "Do you want to continue?"},
        {&child<juce::TextButton>(panel, "OkButton"), {368, 72, 72, 24}, "OK"},
        {&child<juce::TextButton>(panel, "CancelButton"), {288, 72, 72, 24}, "Cancel"},
        {&child<juce::ToggleButton>(panel, "DontWarning"), {16, 72, 256, 24}, "Do not ask again"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.component->getBounds(), row.bounds);
        EXPECT_TRUE(row.component->isVisible());
        if (auto* label = dynamic_cast<juce::Label*>(row.component))
        {
            EXPECT_EQ(label->getText(), row.text);
            EXPECT_EQ(label->getJustificationType(), juce::Justification(juce::Justification::centredLeft));
            EXPECT_EQ(label->getFont().getHeight(), 20.0f); // "DialogText"
            EXPECT_FALSE(label->isEditableOnSingleClick() || label->isEditableOnDoubleClick());
        }
        else
        {
            EXPECT_EQ(dynamic_cast<juce::Button*>(row.component)->getButtonText(), row.text);
        }
    }
    EXPECT_FALSE(panel.getDontWarnToggle().getToggleState());
    EXPECT_EQ(panel.getOkButton().findColour(juce::TextButton::buttonColourId), juce::Colour(0x49666666));
    EXPECT_EQ(panel.getCancelButton().findColour(juce::TextButton::buttonColourId), juce::Colour(0x49666666));
    EXPECT_TRUE(panel.getOkButton().isConnectedOnLeft() && panel.getOkButton().isConnectedOnBottom());

    // Grey panel, white text, grey toggle text.
    const auto image = snapshotOf(panel, "WriteWarningComponent");
    EXPECT_EQ(image.getPixelAt(4, 4), juce::Colour(0xff333333));
    EXPECT_EQ(image.getPixelAt(900, 200), juce::Colour(0xff333333));
    auto isWhite = [](juce::Colour c) { return c.getBrightness() > 0.9f; };
    auto isToggleGrey = [](juce::Colour c) { return std::abs(c.getBrightness() - 0.5f) < 0.08f && c.getSaturation() < 0.1f; };
    EXPECT_GT(countPixels(image, {32, 32, 400, 32}, isWhite), 200);
    EXPECT_GT(countPixels(image, {32, 80, 200, 32}, isWhite), 100);
    EXPECT_GT(countPixels(image, {80, 144, 300, 48}, isToggleGrey), 50);
}

TEST_F(WriteWarningDialogs, WriteUserDataWarningLayout)
{
    WriteUserDataWarningComponent panel;
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 540, 180));
    auto& message = child<juce::Label>(panel, "new label");
    EXPECT_EQ(message.getBounds(), juce::Rectangle<int>(16, 16, 504, 112));
    // The four pieces joined as they are: line breaks come only from the texts themselves.
    EXPECT_EQ(message.getText(), "The user units on the sonavire will be rearranged as shown in the lists. "
                                 "Units of emptied slots are removed from the instrument, "
                                 "and units loaded from files are sent to it. Do you want to continue?");
    EXPECT_EQ(message.getJustificationType(), juce::Justification(juce::Justification::topLeft));
    EXPECT_EQ(panel.getOkButton().getBounds(), juce::Rectangle<int>(318, 139, 127, 24));
    EXPECT_EQ(panel.getOkButton().getButtonText(), "Write");
    EXPECT_EQ(panel.getCancelButton().getBounds(), juce::Rectangle<int>(453, 139, 72, 24));
    EXPECT_EQ(panel.getCancelButton().findColour(juce::TextButton::buttonColourId), juce::Colour(0x69999999));
    EXPECT_EQ(panel.getDontWarnToggle().getBounds(), juce::Rectangle<int>(17, 139, 256, 24));

    const auto image = snapshotOf(panel, "WriteUserDataWarningComponent");
    EXPECT_EQ(image.getPixelAt(4, 4), juce::Colour(0xff333333));
    // The message wraps inside its area: text on its first lines, none below it.
    auto isWhite = [](juce::Colour c) { return c.getBrightness() > 0.9f; };
    EXPECT_GT(countPixels(image, {32, 32, 1000, 40}, isWhite), 300);
    EXPECT_GT(countPixels(image, {32, 80, 1000, 40}, isWhite), 300);
    EXPECT_EQ(countPixels(image, {32, 258, 560, 14}, isWhite), 0);
}

// The panels end their window themselves: OK with 1 after storing the preference, Cancel and Escape with 0.
TEST_F(WriteWarningDialogs, ButtonsEndTheWindowAndOkStoresThePreference)
{
    struct Case
    {
        const char* what;
        bool userData;
        bool toggle;
        int button; // 0 OK, 1 Cancel, 2 the escape key
        int result;
        bool warnAfterwards;
    };
    const Case cases[] = {
        {"OK, toggle on", false, true, 0, 1, false},  {"OK, toggle off", false, false, 0, 1, true},
        {"Cancel, toggle on", false, true, 1, 0, true}, {"Escape", false, true, 2, 0, true},
        {"user data OK, toggle on", true, true, 0, 1, false}, {"user data Cancel", true, true, 1, 0, true},
        {"user data Escape", true, false, 2, 0, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        x47390_preferences::PreferencesData::getInstance()->setBoolValue("WarnBeforeWriting", true);
        std::unique_ptr<WriteConfirmationPanel> panel;
        if (c.userData)
            panel = std::make_unique<WriteUserDataWarningComponent>();
        else
            panel = std::make_unique<WriteWarningComponent>();
        const int result = runInWindow(*panel,
                                       [&](juce::DialogWindow& window)
                                       {
                                           panel->getDontWarnToggle().setToggleState(c.toggle, juce::sendNotification);
                                           if (c.button == 0)
                                               panel->getOkButton().triggerClick();
                                           else if (c.button == 1)
                                               panel->getCancelButton().triggerClick();
                                           else
                                               static_cast<juce::Component&>(window).keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
                                       });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(warnBeforeWriting(), c.warnAfterwards);
    }
}

TEST_F(WriteWarningDialogs, ProgramTuningDialogLayoutAndItems)
{
    ProgramTuningEditComponent dialog;
    EXPECT_EQ(dialog.getBounds(), juce::Rectangle<int>(0, 0, 206, 100));
    EXPECT_EQ(dialog.getTuningBox().getBounds(), juce::Rectangle<int>(32, 24, 150, 24));
    EXPECT_EQ(dialog.getOkButton().getBounds(), juce::Rectangle<int>(16, 64, 78, 24));
    EXPECT_EQ(dialog.getCancelButton().getBounds(), juce::Rectangle<int>(112, 64, 78, 24));
    EXPECT_EQ(dialog.getOkButton().getButtonText(), "OK");
    EXPECT_EQ(dialog.getCancelButton().getButtonText(), "Cancel");
    EXPECT_FALSE(dialog.getTuningBox().isTextEditable());
    EXPECT_EQ(dialog.getTuningBox().getTextWhenNoChoicesAvailable(), "(no choices)");
    EXPECT_EQ(dialog.getTuningBox().getText(), "");

    auto& box = dialog.getTuningBox();
    ASSERT_EQ(box.getNumItems(), 35);
    const std::pair<int, const char*> items[] = {
        {1, "Equal Temp"}, {6, "kirnberger"}, {14, "Reverse"},   {15, "XQV001"},     {20, "XQV006"},
        {21, "KW001"},     {23, "KW003"},     {24, "UserScale1"}, {29, "UserScale6"}, {30, "UserOctave1"},
        {35, "UserOctave6"},
    };
    for (const auto& [id, name] : items)
        EXPECT_EQ(box.getItemText(box.indexOfItemId(id)), name) << id;
    for (int i = 0; i < 35; ++i)
        EXPECT_EQ(box.getItemId(i), i + 1);

    box.setSelectedId(30, juce::dontSendNotification);
    const auto image = snapshotOf(dialog, "ProgramTuningEditComponent");
    EXPECT_EQ(image.getPixelAt(4, 4), juce::Colour(0xffffffff));
    EXPECT_EQ(image.getPixelAt(400, 190), juce::Colour(0xffffffff));
}

TEST_F(WriteWarningDialogs, ProgramTuningDialogEndsWithItsChoice)
{
    struct Case
    {
        int item;
        int button; // 0 OK, 1 Cancel, 2 the escape key
        int result;
        int selectedTuning;
    };
    for (const auto& c : {Case{1, 0, 1, 0}, Case{35, 0, 1, 34}, Case{24, 1, 0, -1}, Case{24, 2, 0, -1}})
    {
        SCOPED_TRACE(c.item);
        ProgramTuningEditComponent dialog;
        dialog.selectedTuning = -1;
        const int result = runInWindow(dialog,
                                       [&](juce::DialogWindow& window)
                                       {
                                           dialog.getTuningBox().setSelectedId(c.item);
                                           if (c.button == 0)
                                               dialog.getOkButton().triggerClick();
                                           else if (c.button == 1)
                                               dialog.getCancelButton().triggerClick();
                                           else
                                               static_cast<juce::Component&>(window).keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
                                       });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dialog.selectedTuning, c.selectedTuning);
    }
}
