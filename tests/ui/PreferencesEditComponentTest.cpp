#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ModalDriver.h"
#include "ui/ModalDialogRunner.h"
#include "ui/PreferencesEditComponent.h"

#include <gtest/gtest.h>

using x47390_preferences::PreferencesData;

namespace
{
struct ChangeCounter : application::PreferencesDataChangeBroadcasterObserver
{
    ChangeCounter() { application::PreferencesDataChangeBroadcaster::getInstance()->addListener(this); }
    ~ChangeCounter() override { application::PreferencesDataChangeBroadcaster::getInstance()->removeListener(this); }
    void preferencesDataChanged() override { ++count; }
    int count = 0;
};

// Each test has its own preferences and a MIDI fabric with the devices it adds.
class PreferencesDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        delete PreferencesData::getInstanceWithoutCreating();
        setenv("XDG_CONFIG_HOME", temp.file("config").getFullPathName().toRawUTF8(), 1);
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(fabric);
    }

    void TearDown() override
    {
        testsupport::drainMessageLoop();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(nullptr);
        delete PreferencesData::getInstanceWithoutCreating();
    }

    static PreferencesData& preferences() { return *PreferencesData::getInstance(); }

    testsupport::TemporaryFolder temp;
    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric = platform::midi::VirtualMidiFabric::create();
};

juce::StringArray itemsOf(const juce::ComboBox& box)
{
    juce::StringArray items;
    for (int i = 0; i < box.getNumItems(); ++i)
        items.add(box.getItemText(i));
    return items;
}
} // namespace

TEST_F(PreferencesDialogTest, ChildrenSitAtTheirPlaces)
{
    PreferencesEditComponent panel;
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 540, 315));
    struct Place
    {
        juce::Component* child;
        juce::Rectangle<int> bounds;
    };
    const Place places[] = {
        {&panel.getManualPortToggle(), {32, 32, 456, 24}}, {&panel.getMidiInBox(), {120, 64, 376, 24}},
        {&panel.getMidiOutBox(), {120, 96, 376, 24}},      {&panel.getAutoReceiveToggle(), {32, 168, 464, 24}},
        {&panel.getWarningToggle(), {32, 192, 472, 24}},   {&panel.getFontSizeSlider(), {216, 224, 184, 24}},
        {&panel.getFontSizeValueLabel(), {416, 224, 32, 24}}, {&panel.getCancelButton(), {328, 278, 94, 24}},
        {&panel.getOkButton(), {432, 278, 94, 24}},
    };
    for (const auto& place : places)
    {
        EXPECT_EQ(place.child->getBounds(), place.bounds) << place.child->getName();
        EXPECT_TRUE(place.child->isVisible());
    }
    auto* resource = CJQZResource::getInstance();
    EXPECT_EQ(panel.getOkButton().getButtonText(), resource->getString("CommonOK"));
    EXPECT_EQ(panel.getManualPortToggle().getButtonText(), resource->getString("PreferencesDialogMidiPortManualSetting"));
    EXPECT_EQ(panel.getMidiInBox().getTextWhenNoChoicesAvailable(), "(no choices)");

    // The panel's own colours at fixed points: its background, and the translucent OK button over it.
    const auto image = panel.createComponentSnapshot(panel.getLocalBounds(), true, 1.0f);
    EXPECT_EQ(image.getPixelAt(100, 290), juce::Colour(0xff333333));
    EXPECT_EQ(image.getPixelAt(300, 20), juce::Colour(0xff333333));
    EXPECT_NE(image.getPixelAt(436, 282), juce::Colour(0xff333333));
    testsupport::keepImage(image, "ui/preferences-dialog");
}

TEST_F(PreferencesDialogTest, StoredRowHeightsOpenAtTheirStep)
{
    struct Case
    {
        int stored; // -1: absent
        int step;
    };
    const Case cases[] = {{-1, 0}, {0, 0}, {20, 0}, {22, 1}, {25, 1}, {35, 3}, {40, 4}, {41, 4}, {1000, 4}};
    for (const auto& c : cases)
    {
        delete PreferencesData::getInstanceWithoutCreating();
        PreferencesData::getPreferencesFile().deleteFile();
        if (c.stored >= 0)
            preferences().setIntValue("ProgramListHeight", c.stored);
        PreferencesEditComponent panel;
        EXPECT_EQ(panel.getFontSizeSlider().getValue(), c.step) << c.stored;
        EXPECT_EQ(panel.getFontSizeValueLabel().getText(), juce::String(c.step + 1)) << c.stored;
    }
}

TEST_F(PreferencesDialogTest, PortsAreListedAndTheSavedOnesSelected)
{
    fabric->addDevice("Alpha", {"In A"}, {"Out A", "Out B"});
    fabric->addDevice("Beta", {"In B"}, {});
    preferences().setValue("MidiInPort", "Beta - In B");
    preferences().setValue("MidiOutPort", "Gone - Port 1");
    preferences().setBoolValue("MidiPortAutoScan", true);

    PreferencesEditComponent panel;
    EXPECT_EQ(itemsOf(panel.getMidiInBox()), (juce::StringArray{"Alpha - In A", "Beta - In B"}));
    EXPECT_EQ(itemsOf(panel.getMidiOutBox()), (juce::StringArray{"Alpha - Out A", "Alpha - Out B"}));
    EXPECT_EQ(panel.getMidiInBox().getSelectedId(), 2);
    EXPECT_EQ(panel.getMidiOutBox().getSelectedId(), 0) << "a port that is gone selects nothing";
    EXPECT_FALSE(panel.getManualPortToggle().getToggleState());
    EXPECT_FALSE(panel.getMidiInBox().isEnabled());
    EXPECT_FALSE(panel.getMidiOutBox().isEnabled());

    // The toggle enables both boxes at once and stores nothing by itself.
    panel.getManualPortToggle().setToggleState(true, juce::sendNotificationSync);
    EXPECT_TRUE(panel.getMidiInBox().isEnabled());
    EXPECT_TRUE(panel.getMidiOutBox().isEnabled());
    EXPECT_TRUE(preferences().getBoolValue("MidiPortAutoScan", false));
    panel.getManualPortToggle().setToggleState(false, juce::sendNotificationSync);
    EXPECT_FALSE(panel.getMidiInBox().isEnabled());

    // OK stores the empty text for the box with nothing selected.
    panel.buttonClicked(&panel.getOkButton());
    EXPECT_EQ(preferences().getValue("MidiInPort", "x"), "Beta - In B");
    EXPECT_EQ(preferences().getValue("MidiOutPort", "x"), "");
}

TEST_F(PreferencesDialogTest, WithoutPortsTheBoxesListNothing)
{
    PreferencesEditComponent panel;
    EXPECT_EQ(panel.getMidiInBox().getNumItems(), 0);
    EXPECT_EQ(panel.getMidiOutBox().getNumItems(), 0);
}

TEST_F(PreferencesDialogTest, OKStoresEverySetting)
{
    preferences().setIntValue("ProgramListHeight", 25);
    PreferencesEditComponent panel;
    EXPECT_TRUE(panel.getAutoReceiveToggle().getToggleState()) << "absent keys read as true";
    EXPECT_TRUE(panel.getWarningToggle().getToggleState());

    panel.getAutoReceiveToggle().setToggleState(false, juce::sendNotificationSync);
    panel.getWarningToggle().setToggleState(false, juce::sendNotificationSync);
    panel.getManualPortToggle().setToggleState(true, juce::sendNotificationSync);
    panel.getFontSizeSlider().setValue(3, juce::sendNotificationSync);
    EXPECT_EQ(panel.getFontSizeValueLabel().getText(), "4");
    EXPECT_EQ(preferences().getIntValue("ProgramListHeight", 0), 25) << "nothing is stored before OK";

    panel.buttonClicked(&panel.getOkButton());
    EXPECT_FALSE(preferences().getBoolValue("AutoReceive", true));
    EXPECT_FALSE(preferences().getBoolValue("WarnBeforeWriting", true));
    EXPECT_FALSE(preferences().getBoolValue("MidiPortAutoScan", true));
    EXPECT_EQ(preferences().getIntValue("ProgramListHeight", 0), 35);
}

// In a real dialog window: OK ends it with 1, Cancel with 0 after putting back the row height read at opening
// and announcing a change, Escape with 0 and nothing stored.
TEST_F(PreferencesDialogTest, TheDialogEndsWithItsResults)
{
    preferences().setIntValue("ProgramListHeight", 30);
    preferences().setBoolValue("AutoReceive", true);
    ChangeCounter changes;

    {
        PreferencesEditComponent panel;
        uitest::ModalDriver driver;
        driver.then([&](juce::Component& modal) {
            auto* window = dynamic_cast<juce::DialogWindow*>(&modal);
            if (window == nullptr)
                return false;
            // The window fits the panel: nothing is added below or beside it.
            EXPECT_EQ(panel.getBounds().getBottomRight(), juce::Point<int>(540, 315));
            EXPECT_EQ(window->getContentComponentBorder().getTopAndBottom(), 0);
            panel.getAutoReceiveToggle().setToggleState(false, juce::dontSendNotification);
            panel.getOkButton().triggerClick();
            return true;
        });
        EXPECT_EQ(ui::runModalDialog(panel, "Preferences"), 1);
        EXPECT_FALSE(preferences().getBoolValue("AutoReceive", true));
    }
    {
        PreferencesEditComponent panel;
        uitest::ModalDriver driver;
        driver.then([&](juce::Component&) {
            panel.getFontSizeSlider().setValue(0, juce::dontSendNotification);
            preferences().setIntValue("ProgramListHeight", 20); // as if something had applied the slider
            panel.getCancelButton().triggerClick();
            return true;
        });
        changes.count = 0;
        EXPECT_EQ(ui::runModalDialog(panel, "Preferences"), 0);
        EXPECT_EQ(preferences().getIntValue("ProgramListHeight", 0), 30);
        EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes.count > 0; }));
    }
    {
        PreferencesEditComponent panel;
        uitest::ModalDriver driver;
        driver.then([&](juce::Component& modal) {
            panel.getWarningToggle().setToggleState(false, juce::dontSendNotification);
            modal.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
            return true;
        });
        EXPECT_EQ(ui::runModalDialog(panel, "Preferences"), 0);
        EXPECT_TRUE(preferences().getBoolValue("WarnBeforeWriting", false)) << "Escape stores nothing";
    }
}
