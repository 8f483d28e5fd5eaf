#include "tests/ui/ListTestSupport.h"
#include "ui/PresetListComponent.h"
#include "ui/PresetWindowManager.h"

namespace
{
class PresetWindowTest : public ListFixture
{
protected:
    ~PresetWindowTest() override { delete x47390_ui::PresetWindowManager::getInstanceWithoutCreating(); }

    static x47390_ui::PresetWindowManager& manager() { return *x47390_ui::PresetWindowManager::getInstance(); }

    static void storeBounds(int x, int y, int width, int height)
    {
        preferences().setIntValue("PresetWindowPositionX", x);
        preferences().setIntValue("PresetWindowPositionY", y);
        preferences().setIntValue("PresetWindowWidth", width);
        preferences().setIntValue("PresetWindowHeight", height);
    }

    static juce::Rectangle<int> storedBounds()
    {
        return {preferences().getIntValue("PresetWindowPositionX", -2),
                preferences().getIntValue("PresetWindowPositionY", -2),
                preferences().getIntValue("PresetWindowWidth", -2), preferences().getIntValue("PresetWindowHeight", -2)};
    }
};
} // namespace

TEST_F(PresetWindowTest, OpensAtItsStoredBoundsAndStoresThemWhenClosed)
{
    storeBounds(120, 90, 300, 420);
    manager().showPresetWindow();
    auto* window = manager().getPresetWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isOnDesktop());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isUsingNativeTitleBar());
    EXPECT_TRUE(window->isResizable());
    EXPECT_EQ(window->getName(), "Presets");
    EXPECT_EQ(window->getBounds(), juce::Rectangle<int>(120, 90, 300, 420));
    EXPECT_EQ(window->lastBounds, juce::Rectangle<int>(120, 90, 300, 420));
    EXPECT_TRUE(preferences().getBoolValue("ShowPresetWindow", false));
    ASSERT_NE(dynamic_cast<PresetListComponent*>(window->getContentComponent()), nullptr);
    EXPECT_EQ(window->getContentComponent()->getBounds().getWidth(), 300);

    // A second request while it is open keeps the same window.
    manager().showPresetWindow();
    EXPECT_EQ(manager().getPresetWindow(), window);

    window->setBounds(40, 50, 260, 380);
    window->closeButtonPressed();
    EXPECT_EQ(manager().getPresetWindow(), window); // deleted from the message loop, not in the callback
    drain();
    EXPECT_EQ(manager().getPresetWindow(), nullptr);
    EXPECT_EQ(storedBounds(), juce::Rectangle<int>(40, 50, 260, 380));
    EXPECT_FALSE(preferences().getBoolValue("ShowPresetWindow", true));
}

TEST_F(PresetWindowTest, SizesBelowTheMinimumAreRaised)
{
    storeBounds(10, 20, 50, 0);
    manager().showPresetWindow();
    ASSERT_NE(manager().getPresetWindow(), nullptr);
    EXPECT_EQ(manager().getPresetWindow()->getBounds(), juce::Rectangle<int>(10, 20, 100, 100));
    manager().getPresetWindow()->closeButtonPressed();
    drain();

    // Centred too: a window of no size could not be grabbed again.
    storeBounds(-1, 20, 0, -5);
    manager().showPresetWindow();
    ASSERT_NE(manager().getPresetWindow(), nullptr);
    EXPECT_EQ(manager().getPresetWindow()->getBounds().getWidth(), 100);
    EXPECT_EQ(manager().getPresetWindow()->getBounds().getHeight(), 100);
}

TEST_F(PresetWindowTest, WithoutAStoredPositionItOpensCentredAtItsNaturalSize)
{
    manager().showPresetWindow();
    auto* window = manager().getPresetWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getWidth(), 250);
    EXPECT_EQ(window->getHeight(), 500);
    const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
    EXPECT_NEAR(window->getBounds().getCentreX(), screen.getCentreX(), 1);
    EXPECT_NEAR(window->getBounds().getCentreY(), screen.getCentreY(), 1);
    const auto opened = window->getBounds();

    // Quitting with the window open stores its bounds and keeps it due to open at the next start.
    delete x47390_ui::PresetWindowManager::getInstanceWithoutCreating();
    EXPECT_EQ(storedBounds(), opened);
    EXPECT_TRUE(preferences().getBoolValue("ShowPresetWindow", false));
}
