// The about box, the debug window and the shell's images.
#include "tests/support/TestSupport.h"
#include "ui/AboutComponent.h"
#include "ui/DebugWindow.h"
#include "ui/ImageLibrary.h"
#include "ui/ModalDialogRunner.h"

#include <gtest/gtest.h>

TEST(ShellImages, AreDrawnAtTheirSizeOnceAndHandedOutByName)
{
    const auto names = ui::getImageNames();
    EXPECT_TRUE(names.contains("ApplicationIcon"));
    EXPECT_TRUE(names.contains("AboutPicture"));
    EXPECT_FALSE(ui::getImage("NoSuchImage").isValid());

    const auto icon = ui::getImage("ApplicationIcon");
    EXPECT_EQ(icon.getBounds(), juce::Rectangle<int>(0, 0, 512, 512));
    EXPECT_EQ(icon.getPixelAt(1, 1).getAlpha(), 0);     // rounded corner
    EXPECT_EQ(icon.getPixelAt(256, 256).getAlpha(), 255); // solid tile
    EXPECT_EQ(ui::getImage("ApplicationIcon"), icon);     // drawn once

    const auto about = ui::getImage("AboutPicture");
    EXPECT_EQ(about.getBounds(), juce::Rectangle<int>(0, 0, 1200, 800)); // twice the 600 x 400 it is shown at
    // The title at the top left is light on the dark picture.
    int light = 0;
    for (int y = 80; y < 210; y += 2)
        for (int x = 80; x < 600; x += 2)
            light += about.getPixelAt(x, y).getBrightness() > 0.8f ? 1 : 0;
    EXPECT_GT(light, 500);
    EXPECT_LT(about.getPixelAt(1180, 20).getBrightness(), 0.3f);
}

TEST(AboutBox, ShowsThePictureWithTheVersionAndClosesOnAClick)
{
    AboutComponent about;
    EXPECT_EQ(about.getBounds(), juce::Rectangle<int>(0, 0, 600, 400));
    auto& label = about.getVersionLabel();
    EXPECT_EQ(label.getText(), "version: 1.1.1");
    EXPECT_EQ(label.getBounds(), juce::Rectangle<int>(344, 368, 246, 24));
    EXPECT_EQ(label.getJustificationType(), juce::Justification::centredRight);
    EXPECT_FLOAT_EQ(label.getFont().getHeight(), 15.0f);

    const auto image = about.createComponentSnapshot(about.getLocalBounds(), true, 1.0f);
    int versionPixels = 0;
    for (int y = 368; y < 392; ++y)
        for (int x = 344; x < 590; ++x)
            versionPixels += image.getPixelAt(x, y).getBrightness() > 0.8f ? 1 : 0;
    EXPECT_GT(versionPixels, 50);

    juce::MessageManager::callAsync(
        []
        {
            if (auto* modal = juce::ModalComponentManager::getInstance()->getModalComponent(0))
                if (auto* box = dynamic_cast<AboutComponent*>(
                        dynamic_cast<juce::DialogWindow*>(modal)->getContentComponent()))
                {
                    const auto where = box->getLocalBounds().getCentre().toFloat();
                    box->mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), where, {},
                                                    1.0f, 0, 0, 0, 0, box, box, juce::Time::getCurrentTime(), where,
                                                    juce::Time::getCurrentTime(), 1, false));
                }
        });
    EXPECT_EQ(ui::runModalDialog(about, "About"), 0);
}

TEST(DebugWindow, OpensOnceClosesOnALaterTurnAndOpensAgain)
{
    auto* manager = x47390_debug::DebugWindowManager::getInstance();
    manager->openDebugWindow();
    auto* window = manager->getWindow();
    ASSERT_NE(window, nullptr);
    manager->openDebugWindow();
    EXPECT_EQ(manager->getWindow(), window);
    EXPECT_EQ(window->getName(), "Debug Window");
    EXPECT_FALSE(window->isUsingNativeTitleBar());
    EXPECT_TRUE(window->isVisible());
    ASSERT_NE(window->getContentComponent(), nullptr);
    EXPECT_EQ(window->getContentComponent()->getBounds().getWidth(), 600);
    EXPECT_EQ(window->getContentComponent()->getBounds().getHeight(), 400);

    window->closeButtonPressed();
    EXPECT_NE(manager->getWindow(), nullptr); // not inside its own callback
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return manager->getWindow() == nullptr; }));
    manager->openDebugWindow();
    EXPECT_NE(manager->getWindow(), nullptr);
    delete manager;
}
