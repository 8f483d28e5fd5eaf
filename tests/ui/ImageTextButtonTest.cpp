#include "tests/support/TestSupport.h"
#include "ui/FontLibrary.h"
#include "ui/ImageLibrary.h"
#include "ui/ImageTextButton.h"

#include <gtest/gtest.h>

namespace
{
class ImageTextButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        delete ui::FontLibrary::getInstanceWithoutCreating();
        library = ui::FontLibrary::getInstance();
    }
    void TearDown() override { delete ui::FontLibrary::getInstanceWithoutCreating(); }

    ui::FontLibrary* library = nullptr;
};

juce::Image solidImage(juce::Colour colour)
{
    juce::Image image(juce::Image::ARGB, 160, 48, true);
    image.clear(image.getBounds(), colour);
    return image;
}

juce::Image render(ui::ImageTextButton& button, juce::Button::ButtonState state)
{
    button.setState(state);
    juce::Image image(juce::Image::ARGB, button.getWidth(), button.getHeight(), true);
    juce::Graphics g(image);
    button.paintButton(g, state == juce::Button::buttonOver, state == juce::Button::buttonDown);
    return image;
}

bool isRed(juce::Colour c) { return c.getRed() > 150 && c.getGreen() < 90 && c.getBlue() < 90; }

int countRed(const juce::Image& image, juce::Rectangle<int> area)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += isRed(image.getPixelAt(x, y)) ? 1 : 0;
    return count;
}
} // namespace

TEST_F(ImageTextButtonTest, TakesItsFontOnceFromTheLibrary)
{
    ::testing::internal::CaptureStdout();
    ui::ImageTextButton early("SEND");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Font not found: ImageTextButton\n");
    EXPECT_EQ(early.textFont, library->defaultFont);
    EXPECT_EQ(early.textColour, juce::Colour(0xffffffff));
    EXPECT_EQ(early.getButtonText(), "SEND");

    library->addFont("ImageTextButton", library->makeFont("Arial Unicode MS", 16.0f));
    ui::ImageTextButton button("RECEIVE");
    library->setFontHeight("ImageTextButton", 30);
    EXPECT_FLOAT_EQ(button.textFont.getHeight(), 16.0f); // a copy: later changes of the style do not reach it
}

TEST_F(ImageTextButtonTest, DrawsTheCaptionCentredOverTheImageOfEveryState)
{
    ui::ImageTextButton button("SEND");
    button.textFont = library->makeFont("Arial Unicode MS", 14.0f);
    button.textColour = juce::Colours::red;
    button.setImages(false, true, true, solidImage(juce::Colours::blue), 1.0f, {}, {}, 1.0f, {},
                     solidImage(juce::Colours::green), 1.0f, {});
    button.setSize(80, 24);

    struct Case
    {
        juce::Button::ButtonState state;
        juce::Colour background;
    };
    for (const auto& c : {Case{juce::Button::buttonNormal, juce::Colours::blue},
                          Case{juce::Button::buttonOver, juce::Colours::blue},
                          Case{juce::Button::buttonDown, juce::Colours::green}})
    {
        const auto image = render(button, c.state);
        EXPECT_EQ(image.getPixelAt(3, 12), c.background) << c.state;
        EXPECT_EQ(image.getPixelAt(76, 12), c.background);
        EXPECT_GT(countRed(image, {25, 5, 30, 14}), 10) << "caption in the middle";
        EXPECT_EQ(countRed(image, {0, 0, 20, 24}), 0) << "a short caption stays in the middle";
        EXPECT_EQ(countRed(image, {60, 0, 20, 24}), 0);
    }
}

TEST_F(ImageTextButtonTest, ALongCaptionEndsInAnEllipsisInsideTheButton)
{
    ui::ImageTextButton button("A CAPTION MUCH TOO WIDE FOR THE BUTTON");
    button.textFont = library->makeFont("Arial Unicode MS", 14.0f);
    button.textColour = juce::Colours::red;
    button.setImages(false, true, true, solidImage(juce::Colours::black), 1.0f, {}, {}, 1.0f, {}, {}, 1.0f, {});
    button.setSize(80, 24);

    const auto image = render(button, juce::Button::buttonNormal);
    // Cut off text would touch both edges; shortened text starts at the left edge and ends short of the right.
    EXPECT_EQ(countRed(image, {79, 0, 1, 24}), 0);
    EXPECT_GT(countRed(image, {0, 0, 6, 24}), 0);
    // The three dots sit on the baseline: the last glyphs have no ink in the upper half.
    int lastInk = -1;
    for (int x = 0; x < 80; ++x)
        if (countRed(image, {x, 0, 1, 24}) > 0)
            lastInk = x;
    ASSERT_GT(lastInk, 60);
    EXPECT_EQ(countRed(image, {lastInk - 8, 0, 9, 11}), 0);
    EXPECT_GT(countRed(image, {lastInk - 8, 11, 9, 10}), 0);
}

TEST(SharedWidgetImages, ButtonImagesAreDrawnAtTwiceTheirDrawnSize)
{
    for (const char* name : {"ButtonDark", "ButtonLit"})
    {
        const auto image = ui::getImage(name);
        ASSERT_TRUE(image.isValid()) << name;
        EXPECT_EQ(image.getWidth(), 160);
        EXPECT_EQ(image.getHeight(), 48);
        EXPECT_EQ(image.getPixelAt(0, 0).getAlpha(), 0) << "rounded corners";
        EXPECT_EQ(image.getPixelAt(80, 24).getAlpha(), 255);
    }
    EXPECT_LT(ui::getImage("ButtonDark").getPixelAt(80, 30).getBrightness(),
              ui::getImage("ButtonLit").getPixelAt(80, 30).getBrightness());
}
