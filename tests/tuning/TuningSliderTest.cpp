#include "data/TuningSelection.h"
#include "tests/support/TestSupport.h"
#include "tuning/TuningSlider.h"

#include <gtest/gtest.h>

#include <vector>

using TuningEditor::Slider;

namespace
{
struct Recorder : Slider::Listener
{
    void sliderValueChanged(Slider* s) override { events.push_back("value " + juce::String((int) s->getValue())); }
    void sliderDragStarted(Slider* s) override
    {
        events.push_back("start");
        valueAtStart = s->getValue();
    }
    void sliderDragEnded(Slider* s) override { events.push_back("end " + juce::String((int) s->getMouseDownValue())); }

    std::vector<juce::String> events;
    double valueAtStart = 0.0;
};

// A slider configured as the tuning page configures its note or cent sliders, inside a parent that
// counts the wheel events passed on to it.
struct Parent : juce::Component
{
    void mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails&) override { ++wheelEvents; }
    int wheelEvents = 0;
};

struct SliderTest : ::testing::Test
{
    void SetUp() override
    {
        parent.setSize(200, 200);
        parent.addAndMakeVisible(slider);
        slider.setBounds(10, 100, 38, 18);
        slider.addListener(&recorder);
    }

    void makeNoteSlider(bool octave)
    {
        slider.setRelativeOctaveMode(octave);
        slider.setRange(octave ? -12.0 : 0.0, octave ? 23.0 : 127.0, 1.0);
        slider.setSliderStyle(juce::Slider::LinearBarVertical);
        slider.setTextBoxStyle(juce::Slider::TextBoxAbove, false, 80, 20);
        slider.setSliderSnapsToMousePosition(false);
        slider.setTextBoxIsEditable(true);
    }

    void makeCentSlider()
    {
        slider.setRange(-50.0, 49.0, 1.0);
        slider.setSliderStyle(juce::Slider::LinearVertical);
        slider.setTextBoxStyle(juce::Slider::TextBoxAbove, false, 80, 20);
        slider.setSliderSnapsToMousePosition(false);
        slider.setTextBoxIsEditable(true);
    }

    juce::MouseEvent event(juce::Point<int> position, juce::Point<int> downPosition, bool dragged,
                           juce::ModifierKeys mods = juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier))
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), position.toFloat(), mods,
                                juce::MouseInputSource::defaultPressure, 0.0f, 0.0f, 0.0f, 0.0f, &slider, &slider, now,
                                downPosition.toFloat(), now, 1, dragged);
    }

    // Presses at (10, 9), drags up by dy pixels in steps and releases there.
    void drag(int dy, juce::ModifierKeys mods = juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier))
    {
        const juce::Point<int> down(10, 9);
        slider.mouseDown(event(down, down, false, mods));
        for (int step = 1; step <= 5; ++step)
            slider.mouseDrag(event(down.translated(0, -dy * step / 5), down, true, mods));
        slider.mouseUp(event(down.translated(0, -dy), down, true, mods));
    }

    void wheel(float deltaY)
    {
        juce::MouseWheelDetails details{};
        details.deltaY = deltaY;
        slider.mouseWheelMove(event({10, 9}, {10, 9}, false, {}), details);
    }

    void type(const juce::String& text)
    {
        slider.getValueBox()->setText(text, juce::sendNotificationSync);
    }

    void TearDown() override { currentTuningSlot = 6; }

    Parent parent;
    Slider slider;
    Recorder recorder;
};
} // namespace

TEST_F(SliderTest, NoteSlidersShowNoteNames)
{
    makeNoteSlider(false);
    slider.setValue(61, juce::dontSendNotification);
    EXPECT_EQ(slider.getValueBox()->getText(), "C#4");
    slider.setValue(0, juce::dontSendNotification);
    EXPECT_EQ(slider.getValueBox()->getText(), "C -1");

    makeNoteSlider(true);
    slider.setValue(13, juce::dontSendNotification);
    EXPECT_EQ(slider.getValueBox()->getText(), "+C#");
    slider.setValue(-12, juce::dontSendNotification);
    EXPECT_EQ(slider.getValueBox()->getText(), "-C ");
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(SliderTest, CentSlidersShowWholeNumbersAndTheValueBoxCoversTheSlider)
{
    makeCentSlider();
    slider.setValue(-7, juce::dontSendNotification);
    EXPECT_EQ(slider.getValueBox()->getText(), "-7");
    EXPECT_EQ(slider.getValueBox()->getBounds(), slider.getLocalBounds());
}

TEST_F(SliderTest, ATypedNoteReachesListenersAsOneDragFromTheShownValue)
{
    makeNoteSlider(false);
    slider.setValue(60, juce::dontSendNotification);
    type("C#4");
    EXPECT_EQ(slider.getValue(), 61);
    EXPECT_EQ(recorder.events, (std::vector<juce::String>{"start", "value 61", "end 60"}));
    EXPECT_EQ(slider.getMouseDownValue(), 60);
    EXPECT_EQ(slider.getValueBox()->getText(), "C#4");
}

TEST_F(SliderTest, RejectedOrUnchangedTextsChangeNothingAndShowTheValueAgain)
{
    makeNoteSlider(false);
    slider.setValue(60, juce::dontSendNotification);
    for (const char* text : {"C 4", "4C", "C4.", "C4"})
    {
        type(text);
        EXPECT_EQ(slider.getValue(), 60) << text;
        EXPECT_EQ(slider.getValueBox()->getText(), "C 4") << text;
    }
    type("");
    EXPECT_EQ(slider.getValue(), 60);
    EXPECT_TRUE(recorder.events.empty());

    makeNoteSlider(true);
    slider.setValue(0, juce::dontSendNotification);
    type("+C#1");
    EXPECT_EQ(slider.getValue(), 0);
    type("+C#");
    EXPECT_EQ(slider.getValue(), 13);
}

TEST_F(SliderTest, TypedCents)
{
    makeCentSlider();
    const std::pair<const char*, int> cases[] = {{"-50", -50}, {"12.5", -50}, {"#5", 0}, {"49", 49}, {"99", 49},
                                                 {"+5", 49}};
    for (const auto& [text, value] : cases)
    {
        type(text);
        EXPECT_EQ(slider.getValue(), value) << text;
    }
}

TEST_F(SliderTest, DraggingUpTwoHundredFiftyPixelsCrossesTheWholeRangeWhateverTheModifiers)
{
    makeNoteSlider(false);
    for (int mods : {(int) juce::ModifierKeys::leftButtonModifier,
                     juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::ctrlModifier,
                     juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier})
    {
        slider.setValue(0, juce::dontSendNotification);
        drag(250, juce::ModifierKeys(mods));
        EXPECT_EQ(slider.getValue(), 127) << mods;
        drag(-125, juce::ModifierKeys(mods));
        EXPECT_NEAR(slider.getValue(), 64, 1) << mods;
    }
    makeCentSlider();
    slider.setValue(-50, juce::dontSendNotification);
    drag(250);
    EXPECT_EQ(slider.getValue(), 49);
}

TEST_F(SliderTest, ADragReportsStartValuesAndEndWithThePressValue)
{
    makeCentSlider();
    slider.setValue(10, juce::dontSendNotification);
    recorder.events.clear();
    drag(25); // a tenth of the full extent: about 10 cents
    EXPECT_EQ(slider.getValue(), 20);
    ASSERT_GE(recorder.events.size(), 3u);
    EXPECT_EQ(recorder.events.front(), "start");
    EXPECT_EQ(recorder.events.back(), "end 10");
    EXPECT_EQ(slider.getMouseDownValue(), 10);
}

TEST_F(SliderTest, AClickWithoutMovementOpensTheTextAndKeepsTheValue)
{
    makeNoteSlider(false);
    slider.setValue(60, juce::dontSendNotification);
    const juce::Point<int> down(10, 9);
    slider.mouseDown(event(down, down, false));
    slider.mouseDrag(event(down, down, false));
    slider.mouseUp(event(down, down, false));
    EXPECT_EQ(slider.getValue(), 60);
    EXPECT_EQ(slider.getMouseDownValue(), 60);
}

TEST_F(SliderTest, TheValueBoxKeepsItsEditingThroughANewLook)
{
    makeNoteSlider(false);
    EXPECT_TRUE(slider.getValueBox()->isEditableOnSingleClick());
    juce::LookAndFeel_V4 otherLook;
    parent.setLookAndFeel(&otherLook);
    EXPECT_TRUE(slider.getValueBox()->isEditableOnSingleClick());
    slider.setTextBoxIsEditable(false);
    slider.setColour(juce::Slider::textBoxTextColourId, juce::Colours::red);
    EXPECT_FALSE(slider.getValueBox()->isEditable());
    parent.setLookAndFeel(nullptr);
}

TEST_F(SliderTest, OneWheelNotchIsOneStep)
{
    makeNoteSlider(false);
    slider.setValue(60, juce::dontSendNotification);
    wheel(0.2f);
    EXPECT_EQ(slider.getValue(), 61);
    wheel(-0.2f);
    wheel(-0.2f);
    EXPECT_EQ(slider.getValue(), 59);
    wheel(0.0f);
    EXPECT_EQ(slider.getValue(), 59);
    EXPECT_EQ(recorder.events.back(), "end 60");
    EXPECT_EQ(parent.wheelEvents, 0);
}

TEST_F(SliderTest, WithoutMouseInteractionNothingMovesAndTheWheelGoesToTheParent)
{
    makeNoteSlider(false);
    slider.setValue(60, juce::dontSendNotification);
    slider.setMouseInteractionEnabled(false);
    drag(100);
    wheel(0.2f);
    EXPECT_EQ(slider.getValue(), 60);
    EXPECT_TRUE(recorder.events.empty());
    EXPECT_EQ(parent.wheelEvents, 1);
}

TEST_F(SliderTest, SetValueSnapsClampsAndNotifiesOnlyOnChange)
{
    makeCentSlider();
    slider.setValue(3.4, juce::sendNotificationSync);
    EXPECT_EQ(slider.getValue(), 3);
    slider.setValue(3.2, juce::sendNotificationSync);
    slider.setValue(200, juce::sendNotificationSync);
    EXPECT_EQ(slider.getValue(), 49);
    EXPECT_EQ(recorder.events, (std::vector<juce::String>{"value 3", "value 49"}));

    // Asynchronous changes arrive as one call.
    slider.setValue(1, juce::sendNotificationAsync);
    slider.setValue(2, juce::sendNotificationAsync);
    testsupport::drainMessageLoop();
    EXPECT_EQ(recorder.events.back(), "value 2");
    EXPECT_EQ(recorder.events.size(), 3u);

    // A narrower range keeps the value inside without notification.
    slider.setRange(-10, 1, 1);
    EXPECT_EQ(slider.getValue(), 1);
    EXPECT_EQ(recorder.events.size(), 3u);
}
