#include "app/CurrentLanguageModel.h"
#include "tests/support/TestSupport.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/FontLibrary.h"
#include "ui/ProgressBarComponent.h"

#include <gtest/gtest.h>

namespace
{
class LookAndFeelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        delete ui::FontLibrary::getInstanceWithoutCreating();
        library = ui::FontLibrary::getInstance();
        x47390_application::CurrentLanguageModel::getInstance()->language = 0;
    }

    void TearDown() override
    {
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        delete ui::FontLibrary::getInstanceWithoutCreating();
    }

    ui::FontLibrary* library = nullptr;
};

int countPixels(const juce::Image& image, juce::Rectangle<int> area, const std::function<bool(juce::Colour)>& test)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += test(image.getPixelAt(x, y)) ? 1 : 0;
    return count;
}

bool isLight(juce::Colour c)
{
    return c.getBrightness() > 0.6f;
}

juce::MouseEvent mouseEventAt(juce::Component& component, juce::Point<float> position, bool dragged)
{
    const auto now = juce::Time::getCurrentTime();
    return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), position,
                            juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                            &component, &component, now, {1.0f, 10.0f}, now, 1, dragged);
}
} // namespace

TEST_F(LookAndFeelTest, FontsComeFromTheLibraryAndUnknownStylesGiveTheDefault)
{
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    juce::TextButton button("b");
    juce::Label label("l");
    label.setFont(juce::Font(40.0f));

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(lookAndFeel.getTextButtonFont(button, 30), library->defaultFont);
    EXPECT_EQ(lookAndFeel.getLabelFont(label), library->defaultFont);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Font not found: TextButton\nFont not found: Label\n");

    library->addFont("TextButton", library->makeFont("Arial Unicode MS", 16.0f));
    library->addFont("Label", library->makeFont("Arial Unicode MS", 13.0f));
    library->addFont("PopupMenu", library->makeFont("Arial Unicode MS", 15.0f));
    EXPECT_FLOAT_EQ(lookAndFeel.getTextButtonFont(button, 30).getHeight(), 16.0f);
    EXPECT_FLOAT_EQ(lookAndFeel.getLabelFont(label).getHeight(), 13.0f); // whatever the label's own font
    EXPECT_FLOAT_EQ(lookAndFeel.getPopupMenuFont().getHeight(), 15.0f);
}

TEST_F(LookAndFeelTest, MenuBarTitleWidthsFollowTheLanguage)
{
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    juce::MenuBarComponent bar;
    auto& language = x47390_application::CurrentLanguageModel::getInstance()->language;

    const int english[] = {40, 40, 80, 50, 40};
    const int japanese[] = {60, 40, 80, 50, 40};
    for (int index = 0; index < 5; ++index)
    {
        language = 0;
        EXPECT_EQ(lookAndFeel.getMenuBarItemWidth(bar, index, "File"), english[index]) << index;
        language = 1;
        EXPECT_EQ(lookAndFeel.getMenuBarItemWidth(bar, index, "File"), japanese[index]) << index;
    }
    EXPECT_EQ(lookAndFeel.getDefaultMenuBarHeight(), 20);
}

TEST_F(LookAndFeelTest, MenuBarTitleIsHighlightedOnlyWhileItsMenuIsOpen)
{
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    library->addFont("PopupMenu", library->makeFont("Arial Unicode MS", 16.0f));
    juce::MenuBarComponent bar;

    for (bool open : {false, true})
    {
        juce::Image image(juce::Image::RGB, 80, 20, true);
        juce::Graphics g(image);
        lookAndFeel.drawMenuBarItem(g, 80, 20, 2, "MIDI", true, open, true, bar);

        EXPECT_EQ(image.getPixelAt(1, 1).getARGB(), open ? 0xff333333u : 0xff222222u);
        EXPECT_GT(countPixels(image, image.getBounds(), isLight), 20); // the title is drawn
    }
}

TEST_F(LookAndFeelTest, NamedFacesResolveThroughTheLookAndFeel)
{
    // Fonts built elsewhere by name, in styles the library never made, and the default sans-serif
    // font named after the application face, are drawn once this look-and-feel is the default one.
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    lookAndFeel.setDefaultSansSerifTypefaceName("Arial Unicode MS");
    juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);
    juce::Typeface::clearTypefaceCache();

    for (const auto& font : {juce::Font("Arial Unicode MS", 20.0f, juce::Font::bold), juce::Font(20.0f)})
    {
        SCOPED_TRACE(font.getTypefaceName());
        juce::Image image(juce::Image::ARGB, 200, 40, true);
        {
            juce::Graphics g(image);
            g.setColour(juce::Colours::white);
            g.setFont(font);
            g.drawText("Bold title", 0, 0, 200, 40, juce::Justification::centred, false);
        }
        EXPECT_GT(countPixels(image, image.getBounds(), [](juce::Colour c) { return c.getAlpha() > 0; }), 50);
    }
}

TEST_F(LookAndFeelTest, DialogWidgetsPaintTheirTextsAndTheProgressBar)
{
    library->addFont("TextButton", library->makeFont("Arial Unicode MS", 16.0f));
    library->addFont("Label", library->makeFont("Arial Unicode MS", 16.0f));
    x47390_ui::DefaultLookAndFeel lookAndFeel;

    juce::Component dialog;
    dialog.setLookAndFeel(&lookAndFeel);
    dialog.setSize(460, 150);

    juce::Label status("StatusMessage", "Receiving programs");
    status.setJustificationType(juce::Justification::centredTop);
    juce::TextButton cancel("CancelButton");
    cancel.setButtonText("Cancel");
    ui::ProgressBarComponent bar("ProgressBar");
    bar.setRange(0.0, 100.0, 1.0);
    bar.setTextBoxIsEditable(false);
    bar.setSliderStyle(juce::Slider::LinearBar);
    bar.setTextValueSuffix("%");
    bar.setValue(40.0, juce::dontSendNotification);

    for (auto* child : std::initializer_list<juce::Component*>{&status, &cancel, &bar})
    {
        child->setLookAndFeel(&lookAndFeel);
        dialog.addAndMakeVisible(child);
    }
    status.setBounds(20, 24, 420, 40);
    bar.setBounds(20, 64, 420, 24);
    cancel.setBounds(352, 104, 88, 24);

    juce::Image image(juce::Image::RGB, 460, 150, true);
    {
        juce::Graphics g(image);
        g.fillAll(juce::Colour(0xff333333));
        dialog.paintEntireComponent(g, true);
    }

    EXPECT_GT(countPixels(image, status.getBounds(), isLight), 100);
    EXPECT_GT(countPixels(image, cancel.getBounds(), isLight), 30);
    // The filled part of the bar differs from the empty part, and the value text is drawn.
    EXPECT_NE(image.getPixelAt(30, 66), image.getPixelAt(430, 66));
    EXPECT_GT(countPixels(image, bar.getBounds(), isLight), 10);

    for (auto* child : dialog.getChildren())
        child->setLookAndFeel(nullptr);
    dialog.setLookAndFeel(nullptr);
}

TEST_F(LookAndFeelTest, ProgressBarIgnoresTheMouse)
{
    ui::ProgressBarComponent bar;
    juce::Slider plain;
    EXPECT_EQ(bar.getName(), "ProgressBar");

    for (juce::Slider* slider : {static_cast<juce::Slider*>(&bar), &plain})
    {
        slider->setRange(0.0, 100.0, 1.0);
        slider->setSliderStyle(juce::Slider::LinearBar);
        slider->setBounds(0, 0, 420, 24);
        slider->setValue(10.0, juce::dontSendNotification);

        slider->mouseDown(mouseEventAt(*slider, {300.0f, 10.0f}, false));
        slider->mouseDrag(mouseEventAt(*slider, {350.0f, 10.0f}, true));
        slider->mouseUp(mouseEventAt(*slider, {350.0f, 10.0f}, true));
        slider->mouseDoubleClick(mouseEventAt(*slider, {350.0f, 10.0f}, false));
        juce::MouseWheelDetails wheel{0.0f, 1.0f, false, false, false};
        slider->mouseWheelMove(mouseEventAt(*slider, {350.0f, 10.0f}, false), wheel);
    }

    EXPECT_EQ(bar.getValue(), 10.0);
    EXPECT_NE(plain.getValue(), 10.0); // the same events move an ordinary slider
}
