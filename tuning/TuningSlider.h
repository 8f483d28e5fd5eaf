#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace TuningEditor
{
// The tuning editor's own slider. It follows juce::Slider (styles, text-box positions and colour ids are
// the toolkit's), with these differences: the LinearBarVertical style shows and takes note names,
// typed text is filtered before it is parsed, LinearVertical works like the bar styles (the value box
// covers the slider and passes the mouse on), the vertical linear styles drag over a fixed 250 pixels
// and step by one interval per wheel event, there are no increment buttons, and the owner can switch
// the mouse off and read the value a drag started from.
class Slider : public juce::Component, public juce::SettableTooltipClient
{
public:
    using SliderStyle = juce::Slider::SliderStyle;
    using TextEntryBoxPosition = juce::Slider::TextEntryBoxPosition;

    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void sliderValueChanged(Slider* slider) = 0;
        virtual void sliderDragStarted(Slider*) {}
        virtual void sliderDragEnded(Slider*) {}
    };

    Slider();
    ~Slider() override;

    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    void setSliderStyle(SliderStyle style);
    SliderStyle getSliderStyle() const noexcept;

    void setRange(double minimum, double maximum, double interval = 0.0);
    double getMinimum() const noexcept;
    double getMaximum() const noexcept;
    double getInterval() const noexcept;
    void setSkewFactor(double skew);
    double getSkewFactor() const noexcept;

    void setValue(double newValue, juce::NotificationType notification = juce::sendNotificationAsync);
    double getValue() const;
    juce::Value& getValueObject() noexcept;
    // The two outer thumbs of the two- and three-value styles.
    void setMinValue(double newValue, juce::NotificationType notification = juce::sendNotificationAsync);
    void setMaxValue(double newValue, juce::NotificationType notification = juce::sendNotificationAsync);
    double getMinValue() const;
    double getMaxValue() const;
    juce::Value& getMinValueObject() noexcept;
    juce::Value& getMaxValueObject() noexcept;

    void setTextBoxStyle(TextEntryBoxPosition position, bool isReadOnly, int width, int height);
    TextEntryBoxPosition getTextBoxPosition() const noexcept;
    void setTextBoxIsEditable(bool shouldBeEditable);
    bool isTextBoxEditable() const noexcept;
    void setTextValueSuffix(const juce::String& suffix);
    juce::Label* getValueBox() const noexcept;

    void setVelocityBasedMode(bool isVelocityBased);
    void setVelocityModeParameters(double sensitivity, int threshold, double offset, bool userCanPressKeyToSwapMode);
    void setRotaryParameters(float startAngleRadians, float endAngleRadians, bool stopAtEnd);
    void setDoubleClickReturnValue(bool enabled, double valueToSetOnDoubleClick);
    void setChangeNotificationOnlyOnRelease(bool onlyNotifyOnRelease);
    void setPopupDisplayEnabled(bool enabled, juce::Component* parentComponentToUse);
    void setPopupMenuEnabled(bool menuEnabled);
    void setScrollWheelEnabled(bool enabled);
    void setSliderSnapsToMousePosition(bool shouldSnapToMouse);
    void setMouseDragSensitivity(int distanceForFullScaleDrag);

    // Note texts counted from the key's own C (-12..23) instead of absolute notes (0..127).
    void setRelativeOctaveMode(bool relative);
    bool isRelativeOctaveMode() const noexcept;
    // Without it a press or drag does nothing and the wheel goes to the parent.
    void setMouseInteractionEnabled(bool enabled);
    bool isMouseInteractionEnabled() const noexcept;
    // The value when the last drag, wheel step or typed change began.
    double getMouseDownValue() const noexcept;

    void mouseDown(const juce::MouseEvent&) override;
    void mouseDrag(const juce::MouseEvent&) override;
    void mouseUp(const juce::MouseEvent&) override;
    void mouseDoubleClick(const juce::MouseEvent&) override;
    void mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails&) override;
    void lookAndFeelChanged() override;
    void enablementChanged() override;
    void paint(juce::Graphics&) override;
    void modifierKeysChanged(const juce::ModifierKeys&) override;
    void focusOfChildComponentChanged(FocusChangeType) override;
    void resized() override;
    void colourChanged() override;

    virtual void startedDragging() {}
    virtual void stoppedDragging() {}
    virtual void valueChanged() {}
    virtual double getValueFromText(const juce::String& text);
    virtual double getValueFromNoteText(const juce::String& text);
    virtual juce::String getTextFromValue(double value);
    virtual juce::String getNoteTextFromValue(double value);
    virtual double proportionOfLengthToValue(double proportion);
    virtual double valueToProportionOfLength(double value);
    virtual double snapValue(double attemptedValue);

    class Pimpl;

private:
    std::unique_ptr<Pimpl> pimpl;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(Slider)
};
} // namespace TuningEditor
