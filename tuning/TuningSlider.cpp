#include "tuning/TuningSlider.h"

#include "tuning/TuningNoteMath.h"
#include "ui/FontLibrary.h"

#include <cmath>

namespace TuningEditor
{
using Style = juce::Slider::SliderStyle;

namespace
{
bool coversWithValueBox(Style style)
{
    return style == juce::Slider::LinearVertical || style == juce::Slider::LinearBar || style == juce::Slider::LinearBarVertical;
}

bool isVerticalLinear(Style style)
{
    return style == juce::Slider::LinearVertical || style == juce::Slider::LinearBarVertical;
}

bool isRotary(Style style)
{
    return style == juce::Slider::Rotary || style == juce::Slider::RotaryHorizontalDrag || style == juce::Slider::RotaryVerticalDrag ||
           style == juce::Slider::RotaryHorizontalVerticalDrag;
}

bool isTwoValue(Style style)
{
    return style == juce::Slider::TwoValueHorizontal || style == juce::Slider::TwoValueVertical;
}

bool isThreeValue(Style style)
{
    return style == juce::Slider::ThreeValueHorizontal || style == juce::Slider::ThreeValueVertical;
}

bool isHorizontal(Style style)
{
    return style == juce::Slider::LinearHorizontal || style == juce::Slider::LinearBar || style == juce::Slider::TwoValueHorizontal ||
           style == juce::Slider::ThreeValueHorizontal;
}

bool isVertical(Style style)
{
    return style == juce::Slider::LinearVertical || style == juce::Slider::LinearBarVertical || style == juce::Slider::TwoValueVertical ||
           style == juce::Slider::ThreeValueVertical;
}

double smallestAngleBetween(double a1, double a2)
{
    const double twoPi = juce::MathConstants<double>::twoPi;
    return juce::jmin(std::abs(a1 - a2), std::abs(a1 + twoPi - a2), std::abs(a2 + twoPi - a1));
}
} // namespace

//==============================================================================
class Slider::Pimpl : public juce::AsyncUpdater,
                      public juce::Button::Listener,
                      public juce::Label::Listener,
                      public juce::Value::Listener
{
public:
    explicit Pimpl(Slider& s) : owner(s) {}

    ~Pimpl() override
    {
        currentValue.removeListener(this);
        valueMin.removeListener(this);
        valueMax.removeListener(this);
        popupDisplay.reset();
        cancelPendingUpdate();
    }

    void registerListeners()
    {
        currentValue.addListener(this);
        valueMin.addListener(this);
        valueMax.addListener(this);
    }

    // The value box: a label whose wheel events belong to the slider alone.
    class SliderLabelComp : public juce::Label
    {
    public:
        void mouseWheelMove(const juce::MouseEvent&, const juce::MouseWheelDetails&) override {}
    };

    // The value bubble shown while dragging, when enabled.
    class PopupDisplayComponent : public juce::BubbleComponent, public juce::Timer
    {
    public:
        explicit PopupDisplayComponent(Slider& s) : slider(s), font(15.0f, juce::Font::bold) { setAlwaysOnTop(true); }

        void paintContent(juce::Graphics& g, int w, int h) override
        {
            g.setFont(font);
            g.setColour(slider.findColour(juce::TooltipWindow::textColourId, true));
            g.drawFittedText(text, juce::Rectangle<int>(w, h), juce::Justification::centred, 1);
        }

        void getContentSize(int& w, int& h) override
        {
            w = (int) std::ceil(font.getStringWidthFloat(text)) + 18;
            h = (int) (font.getHeight() * 1.6f);
        }

        void updatePosition(const juce::String& newText)
        {
            text = newText;
            BubbleComponent::setPosition(&slider, 15, 10);
            repaint();
        }

        void timerCallback() override
        {
            stopTimer();
            slider.pimpl->popupDisplay.reset();
        }

    private:
        Slider& slider;
        juce::Font font;
        juce::String text;
    };

    //==========================================================================
    double getValue() const { return currentValue.getValue(); }

    double constrained(double value) const
    {
        if (interval > 0.0)
            value = minimum + interval * std::floor((value - minimum) / interval + 0.5);
        return juce::jlimit(minimum, juce::jmax(minimum, maximum), value);
    }

    void setValue(double newValue, juce::NotificationType notification)
    {
        newValue = constrained(newValue);
        if (isThreeValue(style))
            newValue = juce::jlimit((double) valueMin.getValue(), juce::jmax((double) valueMin.getValue(),
                                                                              (double) valueMax.getValue()),
                                    newValue);
        if (newValue == lastCurrentValue)
            return;

        if (valueBox != nullptr)
            valueBox->hideEditor(true);
        lastCurrentValue = newValue;
        if ((double) currentValue.getValue() != newValue)
            currentValue = newValue;
        updateText();
        owner.repaint();
        if (popupDisplay != nullptr)
            popupDisplay->updatePosition(owner.getTextFromValue(newValue));
        triggerChangeMessage(notification);
    }

    void setMinValue(double newValue, juce::NotificationType notification, bool nudgeOthers)
    {
        newValue = constrained(newValue);
        if (isTwoValue(style))
        {
            if (nudgeOthers && newValue > (double) valueMax.getValue())
                setMaxValue(newValue, notification, false);
            newValue = juce::jmin((double) valueMax.getValue(), newValue);
        }
        else
        {
            if (nudgeOthers && newValue > lastCurrentValue)
                setValue(newValue, notification);
            newValue = juce::jmin(lastCurrentValue, newValue);
        }
        if (lastValueMin != newValue)
        {
            lastValueMin = newValue;
            valueMin = newValue;
            owner.repaint();
            triggerChangeMessage(notification);
        }
    }

    void setMaxValue(double newValue, juce::NotificationType notification, bool nudgeOthers)
    {
        newValue = constrained(newValue);
        if (isTwoValue(style))
        {
            if (nudgeOthers && newValue < (double) valueMin.getValue())
                setMinValue(newValue, notification, false);
            newValue = juce::jmax((double) valueMin.getValue(), newValue);
        }
        else
        {
            if (nudgeOthers && newValue < lastCurrentValue)
                setValue(newValue, notification);
            newValue = juce::jmax(lastCurrentValue, newValue);
        }
        if (lastValueMax != newValue)
        {
            lastValueMax = newValue;
            valueMax = newValue;
            owner.repaint();
            triggerChangeMessage(notification);
        }
    }

    void triggerChangeMessage(juce::NotificationType notification)
    {
        if (notification == juce::dontSendNotification)
            return;
        owner.valueChanged();
        if (notification == juce::sendNotificationSync)
            handleAsyncUpdate();
        else
            triggerAsyncUpdate();
    }

    void handleAsyncUpdate() override
    {
        cancelPendingUpdate();
        juce::Component::BailOutChecker checker(&owner);
        listeners.callChecked(checker, [this](Slider::Listener& l) { l.sliderValueChanged(&owner); });
    }

    void sendDragStart()
    {
        // What the owner compares the value with when this drag, wheel step or typed change ends.
        mouseDownValue = getValue();
        owner.startedDragging();
        juce::Component::BailOutChecker checker(&owner);
        listeners.callChecked(checker, [this](Slider::Listener& l) { l.sliderDragStarted(&owner); });
    }

    void sendDragEnd()
    {
        owner.stoppedDragging();
        draggedThumb = -1;
        juce::Component::BailOutChecker checker(&owner);
        listeners.callChecked(checker, [this](Slider::Listener& l) { l.sliderDragEnded(&owner); });
    }

    // Drag start, a synchronous change and drag end, as one step of the user.
    void setValueAsUserStep(double newValue)
    {
        juce::Component::SafePointer<Slider> alive(&owner);
        sendDragStart();
        if (alive == nullptr)
            return;
        setValue(newValue, juce::sendNotificationSync);
        if (alive == nullptr)
            return;
        sendDragEnd();
    }

    void valueChanged(juce::Value& value) override
    {
        if (value.refersToSameSourceAs(currentValue))
        {
            if (!isTwoValue(style))
                setValue(currentValue.getValue(), juce::dontSendNotification);
        }
        else if (value.refersToSameSourceAs(valueMin))
        {
            setMinValue(valueMin.getValue(), juce::dontSendNotification, true);
        }
        else if (value.refersToSameSourceAs(valueMax))
        {
            setMaxValue(valueMax.getValue(), juce::dontSendNotification, true);
        }
    }

    void buttonClicked(juce::Button*) override {}

    void labelTextChanged(juce::Label* label) override
    {
        const auto text = label->getText();
        const bool noteStyle = style == juce::Slider::LinearBarVertical;
        if (isAcceptedTypedText(text, noteStyle, relativeOctaveMode) && text.isNotEmpty())
        {
            const double typed =
                owner.snapValue(noteStyle ? owner.getValueFromNoteText(text) : owner.getValueFromText(text));
            if (typed != getValue())
            {
                juce::Component::SafePointer<Slider> alive(&owner);
                setValueAsUserStep(typed);
                if (alive == nullptr)
                    return;
            }
        }
        updateText();
    }

    void updateText()
    {
        if (valueBox == nullptr)
            return;
        const double value = getValue();
        const auto text = style == juce::Slider::LinearBarVertical ? owner.getNoteTextFromValue(value)
                                                              : owner.getTextFromValue(value);
        if (text != valueBox->getText())
            valueBox->setText(text, juce::dontSendNotification);
    }

    void updateDecimalPlaces()
    {
        decimalPlaces = 7;
        if (interval != 0.0)
        {
            int v = std::abs(juce::roundToInt(interval * 10000000));
            while (v != 0 && (v % 10) == 0 && decimalPlaces > 0)
            {
                --decimalPlaces;
                v /= 10;
            }
        }
    }

    void setRange(double newMin, double newMax, double newInterval)
    {
        if (minimum == newMin && maximum == newMax && interval == newInterval)
            return;
        minimum = newMin;
        maximum = newMax;
        interval = newInterval;
        updateDecimalPlaces();
        if (!isTwoValue(style))
        {
            // Kept within the new range, without notification.
            setValue(getValue(), juce::dontSendNotification);
        }
        else
        {
            setMinValue(valueMin.getValue(), juce::dontSendNotification, false);
            setMaxValue(valueMax.getValue(), juce::dontSendNotification, false);
        }
        updateText();
    }

    void setTextBoxIsEditable(bool shouldBeEditable)
    {
        editableText = shouldBeEditable;
        editableBySingleClick = true;
        if (valueBox != nullptr)
            valueBox->setEditable(editableText && owner.isEnabled());
    }

    //==========================================================================
    void lookAndFeelChanged()
    {
        if (textBoxPosition == juce::Slider::NoTextBox)
        {
            valueBox.reset();
        }
        else
        {
            const auto carried = valueBox != nullptr ? valueBox->getText() : owner.getTextFromValue(getValue());
            valueBox.reset();
            valueBox = std::make_unique<SliderLabelComp>();
            auto& box = *valueBox;
            box.setJustificationType(juce::Justification::centredRight);
            box.setEditable(false, true, true);

            const bool covering = coversWithValueBox(style);
            const auto text = owner.findColour(juce::Slider::textBoxTextColourId);
            const auto background = owner.findColour(juce::Slider::textBoxBackgroundColourId);
            const auto outline = owner.findColour(juce::Slider::textBoxOutlineColourId);
            box.setColour(juce::Label::textColourId, text);
            box.setColour(juce::Label::backgroundColourId,
                          covering ? juce::Colours::transparentBlack : background);
            box.setColour(juce::Label::outlineColourId, outline);
            box.setColour(juce::TextEditor::textColourId, text);
            box.setColour(juce::TextEditor::backgroundColourId,
                          background.withAlpha((juce::uint8) (covering ? 0xB3 : 0xFF)));
            box.setColour(juce::TextEditor::outlineColourId, outline);
            box.setColour(juce::TextEditor::highlightColourId, owner.findColour(juce::Slider::textBoxHighlightColourId));
            box.setFont(ui::FontLibrary::getInstance()->getFont("TuningSliderCent"));

            owner.addAndMakeVisible(box);
            box.setWantsKeyboardFocus(false);
            box.setText(carried, juce::dontSendNotification);
            // Once the owner has chosen the editing, a rebuilt box (a new look, new colours) keeps it.
            if (editableBySingleClick || editableText != box.isEditable())
                box.setEditable(editableText && owner.isEnabled());
            box.addListener(this);

            if (covering)
            {
                box.addMouseListener(&owner, false);
                box.setMouseCursor(juce::MouseCursor::ParentCursor);
            }
            else
            {
                box.setTooltip(owner.getTooltip());
            }
        }
        owner.resized();
        owner.repaint();
    }

    void resized()
    {
        const int w = owner.getWidth();
        const int h = owner.getHeight();
        const bool sideBox = textBoxPosition == juce::Slider::TextBoxLeft || textBoxPosition == juce::Slider::TextBoxRight;
        const int bw = juce::jmax(0, juce::jmin(textBoxWidth, sideBox ? w - 30 : w));
        const int bh = juce::jmax(0, juce::jmin(textBoxHeight, sideBox ? h : h - 15));

        sliderRect = {0, 0, w, h};
        juce::Rectangle<int> boxBounds;
        if (coversWithValueBox(style))
        {
            boxBounds = {0, 0, w, h};
        }
        else if (valueBox != nullptr)
        {
            switch (textBoxPosition)
            {
                case juce::Slider::TextBoxLeft:
                    boxBounds = {0, (h - bh) / 2, bw, bh};
                    sliderRect = {bw, 0, w - bw, h};
                    break;
                case juce::Slider::TextBoxRight:
                    boxBounds = {w - bw, (h - bh) / 2, bw, bh};
                    sliderRect = {0, 0, w - bw, h};
                    break;
                case juce::Slider::TextBoxAbove:
                    boxBounds = {(w - bw) / 2, 0, bw, bh};
                    sliderRect = {0, bh, w, h - bh};
                    break;
                case juce::Slider::TextBoxBelow:
                    boxBounds = {(w - bw) / 2, h - bh, bw, bh};
                    sliderRect = {0, 0, w, h - bh};
                    break;
                case juce::Slider::NoTextBox:
                default:
                    break;
            }
        }
        if (valueBox != nullptr)
            valueBox->setBounds(boxBounds);

        const int indent = juce::jmin(w / 2, h / 2, 4) + 2;
        if (isVerticalLinear(style))
        {
            // A fixed drag region, whatever the slider's height.
            sliderRegionStart = 0;
            sliderRegionSize = 200;
            sliderRect = {0, 1, 200, h - 2};
        }
        else if (style == juce::Slider::LinearBar)
        {
            sliderRegionStart = 1;
            sliderRegionSize = w - 2;
            sliderRect = {1, 1, w - 2, h - 2};
        }
        else if (isHorizontal(style))
        {
            sliderRegionStart = sliderRect.getX() + indent;
            sliderRegionSize = juce::jmax(1, sliderRect.getWidth() - indent * 2);
            sliderRect.setBounds(sliderRegionStart, sliderRect.getY(), sliderRegionSize, sliderRect.getHeight());
        }
        else if (isVertical(style))
        {
            sliderRegionStart = sliderRect.getY() + indent;
            sliderRegionSize = juce::jmax(1, sliderRect.getHeight() - indent * 2);
            sliderRect.setBounds(sliderRect.getX(), sliderRegionStart, sliderRect.getWidth(), sliderRegionSize);
        }
        else
        {
            sliderRegionStart = 0;
            sliderRegionSize = 100;
        }
        thumbIndent = indent;
    }

    //==========================================================================
    float linearPosition(double value)
    {
        double pos;
        if (maximum <= minimum)
            pos = 0.5;
        else if (value < minimum)
            pos = 0.0;
        else if (value > maximum)
            pos = 1.0;
        else
            pos = owner.valueToProportionOfLength(value);
        if (isVertical(style))
            pos = 1.0 - pos;
        return (float) (sliderRegionStart + pos * sliderRegionSize);
    }

    void paint(juce::Graphics& g)
    {
        if (style == juce::Slider::IncDecButtons || isRotary(style))
            return;
        if (coversWithValueBox(style))
        {
            if (valueBox == nullptr)
            {
                g.setColour(owner.findColour(juce::Slider::textBoxOutlineColourId));
                g.drawRect(0, 0, owner.getWidth(), owner.getHeight(), 1);
            }
            return;
        }

        // A rounded groove and glass thumbs, as the toolkit's second look draws them.
        const bool vertical = isVertical(style);
        const auto r = sliderRect.toFloat();
        const float thickness = (float) thumbIndent;
        juce::Rectangle<float> groove =
            vertical ? juce::Rectangle<float>(r.getCentreX() - thickness * 0.5f, r.getY(), thickness, r.getHeight())
                     : juce::Rectangle<float>(r.getX(), r.getCentreY() - thickness * 0.5f, r.getWidth(), thickness);
        const auto trackColour = owner.findColour(juce::Slider::trackColourId);
        g.setGradientFill(juce::ColourGradient(trackColour.darker(0.3f), groove.getX(), groove.getY(),
                                               trackColour.brighter(0.2f), groove.getRight(), groove.getBottom(),
                                               false));
        g.fillRoundedRectangle(groove, 5.0f);
        g.setColour(juce::Colour(0x4c000000));
        g.drawRoundedRectangle(groove, 5.0f, 0.5f);

        const auto thumbColour = owner.findColour(juce::Slider::thumbColourId);
        const float outline = owner.isEnabled() ? 0.8f : 0.3f;
        const float diameter = thickness * 2.0f;
        const auto drawThumbAt = [&](double value, int direction)
        {
            const float p = linearPosition(value);
            const float x = vertical ? r.getCentreX() - thickness : p - thickness;
            const float y = vertical ? p - thickness : r.getCentreY() - thickness;
            if (direction < 0)
                juce::LookAndFeel_V2::drawGlassSphere(g, x, y, diameter, thumbColour, outline);
            else
                juce::LookAndFeel_V2::drawGlassPointer(g, x, y, diameter, thumbColour, outline, direction);
        };
        if (isTwoValue(style) || isThreeValue(style))
        {
            drawThumbAt(valueMin.getValue(), vertical ? 1 : 4);
            drawThumbAt(valueMax.getValue(), vertical ? 3 : 2);
        }
        if (!isTwoValue(style))
            drawThumbAt(getValue(), -1);
    }

    //==========================================================================
    int thumbIndexAt(const juce::MouseEvent& e)
    {
        if (!isTwoValue(style) && !isThreeValue(style))
            return 0;
        const float mouse = isVertical(style) ? (float) e.getPosition().y : (float) e.getPosition().x;
        const float normal = std::abs(linearPosition(getValue()) - mouse);
        const float min = std::abs(linearPosition(valueMin.getValue()) + (isVertical(style) ? 0.1f : -0.1f) - mouse);
        const float max = std::abs(linearPosition(valueMax.getValue()) + (isVertical(style) ? -0.1f : 0.1f) - mouse);
        if (isTwoValue(style))
            return max <= min ? 2 : 1;
        if (normal >= min && max >= min)
            return 1;
        if (normal >= max)
            return 2;
        return 0;
    }

    double clampProportion(double p) const
    {
        return (isRotary(style) && !rotaryStopsAtEnd) ? p - std::floor(p) : juce::jlimit(0.0, 1.0, p);
    }

    void handleRotaryDrag(juce::Point<int> pos, bool draggedSinceDown)
    {
        const double dx = pos.x - sliderRect.getCentreX();
        const double dy = pos.y - sliderRect.getCentreY();
        if (dx * dx + dy * dy <= 25.0)
            return;
        double angle = std::atan2(dx, -dy);
        while (angle < 0.0)
            angle += juce::MathConstants<double>::twoPi;

        if (rotaryStopsAtEnd && draggedSinceDown)
        {
            if (std::abs(angle - lastAngle) > juce::MathConstants<double>::pi)
                angle += angle >= lastAngle ? -juce::MathConstants<double>::twoPi : juce::MathConstants<double>::twoPi;
            if (angle >= lastAngle)
                angle = juce::jmin(angle, (double) juce::jmax(rotaryStart, rotaryEnd));
            else
                angle = juce::jmax(angle, (double) juce::jmin(rotaryStart, rotaryEnd));
        }
        else
        {
            while (angle < rotaryStart)
                angle += juce::MathConstants<double>::twoPi;
            if (angle > rotaryEnd)
                angle = smallestAngleBetween(angle, rotaryStart) <= smallestAngleBetween(angle, rotaryEnd) ? rotaryStart
                                                                                                          : rotaryEnd;
        }
        const double proportion = (angle - rotaryStart) / (rotaryEnd - rotaryStart);
        valueWhenLastDragged = owner.proportionOfLengthToValue(juce::jlimit(0.0, 1.0, proportion));
        lastAngle = angle;
    }

    void handleAbsoluteDrag(juce::Point<int> pos)
    {
        double newPos;
        const bool dragsFromPress = style == juce::Slider::RotaryHorizontalDrag || style == juce::Slider::RotaryVerticalDrag ||
                                    ((style == juce::Slider::LinearHorizontal || style == juce::Slider::LinearBar ||
                                      isVerticalLinear(style)) &&
                                     !snapsToMouse);
        if (dragsFromPress)
        {
            const bool byX = style == juce::Slider::RotaryHorizontalDrag || style == juce::Slider::LinearHorizontal ||
                             style == juce::Slider::LinearBar;
            const int diff = byX ? pos.x - dragStart.x : dragStart.y - pos.y;
            newPos = owner.valueToProportionOfLength(valueOnMouseDown) + diff / (double) pixelsForFullDragExtent;
        }
        else if (style == juce::Slider::RotaryHorizontalVerticalDrag)
        {
            const int diff = (pos.x - dragStart.x) + (dragStart.y - pos.y);
            newPos = owner.valueToProportionOfLength(valueOnMouseDown) + diff / (double) pixelsForFullDragExtent;
        }
        else
        {
            const int mouse = isHorizontal(style) ? pos.x : pos.y;
            newPos = (mouse - sliderRegionStart) / (double) sliderRegionSize;
            if (isVertical(style))
                newPos = 1.0 - newPos;
        }
        valueWhenLastDragged = owner.proportionOfLengthToValue(clampProportion(newPos));
    }

    void handleVelocityDrag(const juce::MouseEvent& e)
    {
        const auto pos = e.getPosition();
        const bool horizontalStyle = isHorizontal(style) || style == juce::Slider::RotaryHorizontalDrag;
        const int diff = style == juce::Slider::RotaryHorizontalVerticalDrag
                             ? (pos.x - lastDrag.x) + (lastDrag.y - pos.y)
                             : (horizontalStyle ? pos.x - lastDrag.x : pos.y - lastDrag.y);
        const double maxSpeed = juce::jmax(200.0, (double) sliderRegionSize);
        double speed = juce::jlimit(0.0, maxSpeed, (double) std::abs(diff));
        if (speed == 0.0)
            return;
        speed = 0.2 * velocitySensitivity *
                (1.0 + std::sin(juce::MathConstants<double>::pi *
                                (1.5 + juce::jmin(0.5, velocityOffset +
                                                           juce::jmax(0.0, speed - velocityThreshold) / maxSpeed))));
        if (diff < 0)
            speed = -speed;
        if (isVertical(style) || style == juce::Slider::RotaryVerticalDrag)
            speed = -speed;
        const double newPos = clampProportion(owner.valueToProportionOfLength(valueWhenLastDragged) + speed);
        valueWhenLastDragged = owner.proportionOfLengthToValue(newPos);
        e.source.enableUnboundedMouseMovement(true, false);
        pointerHidden = true;
    }

    bool isAbsoluteDragMode(juce::ModifierKeys mods) const
    {
        return velocityBased == (userKeyOverridesVelocity && mods.testFlags(juce::ModifierKeys::ctrlAltCommandModifiers));
    }

    void mouseDown(const juce::MouseEvent& e)
    {
        useDragEvents = false;
        incDecDragged = false;
        dragStart = lastDrag = e.getPosition();
        if (!mouseInteractionEnabled || !owner.isEnabled())
            return;

        if (e.mods.isPopupMenu() && menuEnabled)
        {
            showPopupMenu();
        }
        else if (doubleClickToValue && style != juce::Slider::IncDecButtons && e.mods.isAltDown() &&
                 doubleClickReturnValue >= minimum && doubleClickReturnValue <= maximum)
        {
            mouseDoubleClick();
        }
        else if (maximum > minimum)
        {
            useDragEvents = true;
            if (valueBox != nullptr)
                valueBox->hideEditor(true);
            draggedThumb = thumbIndexAt(e);
            minMaxDifference = (double) valueMax.getValue() - (double) valueMin.getValue();
            if (!isTwoValue(style))
                lastAngle = rotaryStart + (rotaryEnd - rotaryStart) * owner.valueToProportionOfLength(getValue());
            valueWhenLastDragged = draggedThumb == 2   ? (double) valueMax.getValue()
                                   : draggedThumb == 1 ? (double) valueMin.getValue()
                                                       : getValue();
            valueOnMouseDown = valueWhenLastDragged;

            if (popupDisplayEnabled)
            {
                popupDisplay.reset();
                popupDisplay = std::make_unique<PopupDisplayComponent>(owner);
                if (popupParent != nullptr)
                    popupParent->addChildComponent(*popupDisplay);
                else
                    popupDisplay->addToDesktop(juce::ComponentPeer::windowIsTemporary |
                                               juce::ComponentPeer::windowIgnoresKeyPresses |
                                               juce::ComponentPeer::windowIgnoresMouseClicks);
                popupDisplay->updatePosition({});
                popupDisplay->setVisible(true);
            }

            juce::Component::SafePointer<Slider> alive(&owner);
            sendDragStart();
            if (alive == nullptr)
                return;
            mouseDrag(e);
        }
    }

    void mouseDrag(const juce::MouseEvent& e)
    {
        if (!mouseInteractionEnabled || !useDragEvents || maximum <= minimum)
            return;
        // A click edits the text; only a drag changes the value.
        if (coversWithValueBox(style) && e.mouseWasClicked() && valueBox != nullptr && valueBox->isEditable())
            return;

        if (style == juce::Slider::Rotary)
        {
            handleRotaryDrag(e.getPosition(), e.mouseWasDraggedSinceMouseDown());
        }
        else if (isAbsoluteDragMode(e.mods) || (maximum - minimum) / sliderRegionSize < interval)
        {
            handleAbsoluteDrag(e.getPosition());
        }
        else
        {
            handleVelocityDrag(e);
        }

        valueWhenLastDragged = juce::jlimit(minimum, maximum, valueWhenLastDragged);
        const auto notification = sendChangeOnlyOnRelease ? juce::dontSendNotification : juce::sendNotificationSync;
        juce::Component::SafePointer<Slider> alive(&owner);
        if (draggedThumb == 0)
        {
            setValue(owner.snapValue(valueWhenLastDragged), notification);
        }
        else if (draggedThumb == 1)
        {
            setMinValue(owner.snapValue(valueWhenLastDragged), notification, true);
            if (alive != nullptr && e.mods.isShiftDown())
                setMaxValue(getMinimumThumb() + minMaxDifference, juce::dontSendNotification, true);
            else
                minMaxDifference = (double) valueMax.getValue() - (double) valueMin.getValue();
        }
        else if (draggedThumb == 2)
        {
            setMaxValue(owner.snapValue(valueWhenLastDragged), notification, true);
            if (alive != nullptr && e.mods.isShiftDown())
                setMinValue(getMaximumThumb() - minMaxDifference, juce::dontSendNotification, true);
            else
                minMaxDifference = (double) valueMax.getValue() - (double) valueMin.getValue();
        }
        if (alive != nullptr)
            lastDrag = e.getPosition();
    }

    double getMinimumThumb() const { return valueMin.getValue(); }
    double getMaximumThumb() const { return valueMax.getValue(); }

    void mouseUp()
    {
        if (owner.isEnabled() && useDragEvents && maximum > minimum)
        {
            useDragEvents = false;
            restoreMouseIfHidden();
            if (sendChangeOnlyOnRelease && valueOnMouseDown != getValue())
                triggerChangeMessage(juce::sendNotificationAsync);
            juce::Component::SafePointer<Slider> alive(&owner);
            sendDragEnd();
            if (alive != nullptr)
                popupDisplay.reset();
        }
        else if (popupDisplay != nullptr)
        {
            popupDisplay->startTimer(2000);
        }
    }

    void mouseDoubleClick()
    {
        if (doubleClickToValue && style != juce::Slider::IncDecButtons && doubleClickReturnValue >= minimum &&
            doubleClickReturnValue <= maximum)
            setValueAsUserStep(doubleClickReturnValue);
    }

    // True when the event was used; false passes it to the parent.
    bool mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
    {
        if (!mouseInteractionEnabled || !wheelEnabled || isTwoValue(style) || !owner.isEnabled())
            return false;
        if (maximum <= minimum || e.mods.isAnyMouseButtonDown())
            return true;
        if (valueBox != nullptr)
            valueBox->hideEditor(false);

        const double value = getValue();
        const double amount = (wheel.deltaX != 0.0f ? -wheel.deltaX : wheel.deltaY) * (wheel.isReversed ? -0.15 : 0.15);
        const double candidate =
            owner.proportionOfLengthToValue(clampProportion(owner.valueToProportionOfLength(value) + amount));
        if (candidate == value)
            return true;
        double step = std::abs(candidate - value);
        if (isVerticalLinear(style) && interval > 0.0)
            step = interval;
        else
            step = juce::jmax(interval, step);
        setValueAsUserStep(owner.snapValue(value + (candidate < value ? -step : step)));
        return true;
    }

    void restoreMouseIfHidden()
    {
        if (!pointerHidden)
            return;
        pointerHidden = false;
        for (auto& source : juce::Desktop::getInstance().getMouseSources())
        {
            if (!source.isUnboundedMouseMovementEnabled())
                continue;
            source.enableUnboundedMouseMovement(false);
            const double value = draggedThumb == 2   ? (double) valueMax.getValue()
                                 : draggedThumb == 1 ? (double) valueMin.getValue()
                                                     : getValue();
            juce::Point<float> mouse;
            if (isRotary(style))
            {
                mouse = source.getLastMouseDownPosition();
                const auto delta = (float) (pixelsForFullDragExtent * (owner.valueToProportionOfLength(valueOnMouseDown) -
                                                                       owner.valueToProportionOfLength(value)));
                if (style == juce::Slider::RotaryHorizontalDrag)
                    mouse += {-delta, 0.0f};
                else if (style == juce::Slider::RotaryVerticalDrag)
                    mouse += {0.0f, delta};
                else
                    mouse += {delta / -2.0f, delta / 2.0f};
                mouse = owner.getScreenBounds().reduced(4).toFloat().getConstrainedPoint(mouse);
                dragStart = lastDrag = owner.getLocalPoint(nullptr, mouse).toInt();
                valueOnMouseDown = valueWhenLastDragged;
            }
            else
            {
                const float p = linearPosition(value);
                mouse = owner.localPointToGlobal(
                    juce::Point<float>(isHorizontal(style) ? p : (float) owner.getWidth() / 2.0f,
                                       isVertical(style) ? p : (float) owner.getHeight() / 2.0f));
            }
            const_cast<juce::MouseInputSource&>(source).setScreenPosition(mouse);
        }
    }

    void showPopupMenu()
    {
        juce::PopupMenu menu;
        menu.addItem(1, "Velocity-sensitive mode", true, velocityBased);
        if (isRotary(style))
        {
            juce::PopupMenu rotary;
            rotary.addItem(2, "Use circular dragging", true, style == juce::Slider::Rotary);
            rotary.addItem(3, "Use left-right dragging", true, style == juce::Slider::RotaryHorizontalDrag);
            rotary.addItem(4, "Use up-down dragging", true, style == juce::Slider::RotaryVerticalDrag);
            rotary.addItem(5, "Use left-right/up-down dragging", true, style == juce::Slider::RotaryHorizontalVerticalDrag);
            menu.addSubMenu("Rotary mode", rotary);
        }
        juce::Component::SafePointer<Slider> target(&owner);
        menu.showMenuAsync(juce::PopupMenu::Options(), [target](int result)
        {
            if (target == nullptr)
                return;
            switch (result)
            {
                case 1: target->setVelocityBasedMode(!target->pimpl->velocityBased); break;
                case 2: target->setSliderStyle(juce::Slider::Rotary); break;
                case 3: target->setSliderStyle(juce::Slider::RotaryHorizontalDrag); break;
                case 4: target->setSliderStyle(juce::Slider::RotaryVerticalDrag); break;
                case 5: target->setSliderStyle(juce::Slider::RotaryHorizontalVerticalDrag); break;
                default: break;
            }
        });
    }

    //==========================================================================
    Slider& owner;

    int relativeOctaveMode = 0;
    bool mouseInteractionEnabled = true;
    double mouseDownValue = 0.0;

    Style style = juce::Slider::LinearHorizontal;
    juce::ListenerList<Slider::Listener> listeners;
    juce::Value currentValue{0.0}, valueMin{0.0}, valueMax{0.0};
    double lastCurrentValue = 0.0, lastValueMin = 0.0, lastValueMax = 0.0;
    double minimum = 0.0, maximum = 10.0, interval = 0.0;
    double doubleClickReturnValue = 0.0;
    double valueWhenLastDragged = 0.0, valueOnMouseDown = 0.0;
    double skew = 1.0;
    double lastAngle = 0.0;
    double velocitySensitivity = 1.0, velocityOffset = 0.0;
    double minMaxDifference = 0.0;
    int velocityThreshold = 1;
    float rotaryStart = juce::MathConstants<float>::pi * 1.2f;
    float rotaryEnd = juce::MathConstants<float>::pi * 2.8f;
    juce::Point<int> dragStart, lastDrag;
    int sliderRegionStart = 0, sliderRegionSize = 1;
    int draggedThumb = -1;
    int pixelsForFullDragExtent = 250;
    juce::Rectangle<int> sliderRect;
    int thumbIndent = 2;
    TextEntryBoxPosition textBoxPosition = juce::Slider::TextBoxLeft;
    juce::String textSuffix;
    int decimalPlaces = 7;
    int textBoxWidth = 80, textBoxHeight = 20;
    bool editableText = true;
    bool editableBySingleClick = false; // set by setTextBoxIsEditable
    bool doubleClickToValue = false;
    bool velocityBased = false;
    bool userKeyOverridesVelocity = true;
    bool rotaryStopsAtEnd = true;
    bool sendChangeOnlyOnRelease = false;
    bool popupDisplayEnabled = false;
    bool menuEnabled = false;
    bool useDragEvents = false;
    bool pointerHidden = false;
    bool incDecDragged = false;
    bool wheelEnabled = true;
    bool snapsToMouse = true;
    std::unique_ptr<SliderLabelComp> valueBox;
    std::unique_ptr<PopupDisplayComponent> popupDisplay;
    juce::Component* popupParent = nullptr;
};

//==============================================================================
Slider::Slider()
{
    setWantsKeyboardFocus(false);
    setRepaintsOnMouseActivity(true);
    pimpl = std::make_unique<Pimpl>(*this);
    Slider::lookAndFeelChanged();
    pimpl->updateText();
    pimpl->registerListeners();
}

Slider::~Slider()
{
    pimpl.reset();
}

void Slider::addListener(Listener* listener)
{
    pimpl->listeners.add(listener);
}

void Slider::removeListener(Listener* listener)
{
    pimpl->listeners.remove(listener);
}

void Slider::setSliderStyle(SliderStyle style)
{
    if (pimpl->style == style)
        return;
    pimpl->style = style;
    repaint();
    lookAndFeelChanged();
}

Slider::SliderStyle Slider::getSliderStyle() const noexcept
{
    return pimpl->style;
}

void Slider::setRange(double minimum, double maximum, double interval)
{
    pimpl->setRange(minimum, maximum, interval);
}

double Slider::getMinimum() const noexcept
{
    return pimpl->minimum;
}

double Slider::getMaximum() const noexcept
{
    return pimpl->maximum;
}

double Slider::getInterval() const noexcept
{
    return pimpl->interval;
}

void Slider::setSkewFactor(double skew)
{
    pimpl->skew = skew;
}

double Slider::getSkewFactor() const noexcept
{
    return pimpl->skew;
}

void Slider::setValue(double newValue, juce::NotificationType notification)
{
    pimpl->setValue(newValue, notification);
}

double Slider::getValue() const
{
    return pimpl->getValue();
}

juce::Value& Slider::getValueObject() noexcept
{
    return pimpl->currentValue;
}

void Slider::setMinValue(double newValue, juce::NotificationType notification)
{
    pimpl->setMinValue(newValue, notification, false);
}

void Slider::setMaxValue(double newValue, juce::NotificationType notification)
{
    pimpl->setMaxValue(newValue, notification, false);
}

double Slider::getMinValue() const
{
    return pimpl->getMinimumThumb();
}

double Slider::getMaxValue() const
{
    return pimpl->getMaximumThumb();
}

juce::Value& Slider::getMinValueObject() noexcept
{
    return pimpl->valueMin;
}

juce::Value& Slider::getMaxValueObject() noexcept
{
    return pimpl->valueMax;
}

void Slider::setTextBoxStyle(TextEntryBoxPosition position, bool isReadOnly, int width, int height)
{
    auto& p = *pimpl;
    if (p.textBoxPosition == position && p.editableText == !isReadOnly && p.textBoxWidth == width &&
        p.textBoxHeight == height)
        return;
    p.textBoxPosition = position;
    p.editableText = !isReadOnly;
    p.textBoxWidth = width;
    p.textBoxHeight = height;
    repaint();
    lookAndFeelChanged();
}

Slider::TextEntryBoxPosition Slider::getTextBoxPosition() const noexcept
{
    return pimpl->textBoxPosition;
}

void Slider::setTextBoxIsEditable(bool shouldBeEditable)
{
    pimpl->setTextBoxIsEditable(shouldBeEditable);
}

bool Slider::isTextBoxEditable() const noexcept
{
    return pimpl->editableText;
}

void Slider::setTextValueSuffix(const juce::String& suffix)
{
    if (pimpl->textSuffix == suffix)
        return;
    pimpl->textSuffix = suffix;
    pimpl->updateText();
}

juce::Label* Slider::getValueBox() const noexcept
{
    return pimpl->valueBox.get();
}

void Slider::setVelocityBasedMode(bool isVelocityBased)
{
    pimpl->velocityBased = isVelocityBased;
}

void Slider::setVelocityModeParameters(double sensitivity, int threshold, double offset, bool userCanPressKeyToSwapMode)
{
    pimpl->velocitySensitivity = sensitivity;
    pimpl->velocityThreshold = threshold;
    pimpl->velocityOffset = offset;
    pimpl->userKeyOverridesVelocity = userCanPressKeyToSwapMode;
}

void Slider::setRotaryParameters(float startAngleRadians, float endAngleRadians, bool stopAtEnd)
{
    pimpl->rotaryStart = startAngleRadians;
    pimpl->rotaryEnd = endAngleRadians;
    pimpl->rotaryStopsAtEnd = stopAtEnd;
}

void Slider::setDoubleClickReturnValue(bool enabled, double valueToSetOnDoubleClick)
{
    pimpl->doubleClickToValue = enabled;
    pimpl->doubleClickReturnValue = valueToSetOnDoubleClick;
}

void Slider::setChangeNotificationOnlyOnRelease(bool onlyNotifyOnRelease)
{
    pimpl->sendChangeOnlyOnRelease = onlyNotifyOnRelease;
}

void Slider::setPopupDisplayEnabled(bool enabled, juce::Component* parentComponentToUse)
{
    pimpl->popupDisplayEnabled = enabled;
    pimpl->popupParent = parentComponentToUse;
}

void Slider::setPopupMenuEnabled(bool menuEnabled)
{
    pimpl->menuEnabled = menuEnabled;
}

void Slider::setScrollWheelEnabled(bool enabled)
{
    pimpl->wheelEnabled = enabled;
}

void Slider::setSliderSnapsToMousePosition(bool shouldSnapToMouse)
{
    pimpl->snapsToMouse = shouldSnapToMouse;
}

void Slider::setMouseDragSensitivity(int distanceForFullScaleDrag)
{
    if (distanceForFullScaleDrag > 0)
        pimpl->pixelsForFullDragExtent = distanceForFullScaleDrag;
}

void Slider::setRelativeOctaveMode(bool relative)
{
    pimpl->relativeOctaveMode = relative ? 1 : 0;
}

bool Slider::isRelativeOctaveMode() const noexcept
{
    return pimpl->relativeOctaveMode != 0;
}

void Slider::setMouseInteractionEnabled(bool enabled)
{
    pimpl->mouseInteractionEnabled = enabled;
}

bool Slider::isMouseInteractionEnabled() const noexcept
{
    return pimpl->mouseInteractionEnabled;
}

double Slider::getMouseDownValue() const noexcept
{
    return pimpl->mouseDownValue;
}

void Slider::mouseDown(const juce::MouseEvent& e)
{
    pimpl->mouseDown(e);
}

void Slider::mouseDrag(const juce::MouseEvent& e)
{
    if (isEnabled())
        pimpl->mouseDrag(e);
}

void Slider::mouseUp(const juce::MouseEvent&)
{
    pimpl->mouseUp();
}

void Slider::mouseDoubleClick(const juce::MouseEvent&)
{
    if (isEnabled() && pimpl->mouseInteractionEnabled)
        pimpl->mouseDoubleClick();
}

void Slider::mouseWheelMove(const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    if (!pimpl->mouseWheelMove(e, wheel))
        Component::mouseWheelMove(e, wheel);
}

void Slider::lookAndFeelChanged()
{
    pimpl->lookAndFeelChanged();
}

void Slider::enablementChanged()
{
    repaint();
}

void Slider::paint(juce::Graphics& g)
{
    pimpl->paint(g);
}

void Slider::modifierKeysChanged(const juce::ModifierKeys& modifiers)
{
    if (pimpl->style != juce::Slider::Rotary && pimpl->style != juce::Slider::IncDecButtons &&
        pimpl->isAbsoluteDragMode(modifiers))
        pimpl->restoreMouseIfHidden();
}

void Slider::focusOfChildComponentChanged(FocusChangeType)
{
    repaint();
}

void Slider::resized()
{
    pimpl->resized();
}

void Slider::colourChanged()
{
    lookAndFeelChanged();
}

double Slider::getValueFromText(const juce::String& text)
{
    auto t = text.trimStart();
    if (pimpl->textSuffix.isNotEmpty() && t.endsWith(pimpl->textSuffix))
        t = t.substring(0, t.length() - pimpl->textSuffix.length());
    while (t.startsWithChar('+'))
        t = t.substring(1).trimStart();
    return t.initialSectionContainingOnly("0123456789.,-").getDoubleValue();
}

double Slider::getValueFromNoteText(const juce::String& text)
{
    return noteValueFromText(text, isRelativeOctaveMode());
}

juce::String Slider::getTextFromValue(double value)
{
    if (pimpl->decimalPlaces > 0)
        return juce::String(value, pimpl->decimalPlaces) + pimpl->textSuffix;
    return juce::String(juce::roundToInt(value)) + pimpl->textSuffix;
}

juce::String Slider::getNoteTextFromValue(double value)
{
    return noteText(value, isRelativeOctaveMode());
}

double Slider::proportionOfLengthToValue(double proportion)
{
    if (proportion > 0.0 && pimpl->skew != 1.0)
        proportion = std::exp(std::log(proportion) / pimpl->skew);
    return pimpl->minimum + (pimpl->maximum - pimpl->minimum) * proportion;
}

double Slider::valueToProportionOfLength(double value)
{
    const double length = pimpl->maximum - pimpl->minimum;
    if (!(length > 0.0))
        return 0.0;
    const double n = (value - pimpl->minimum) / length;
    return pimpl->skew == 1.0 ? n : std::pow(juce::jmax(0.0, n), pimpl->skew);
}

double Slider::snapValue(double attemptedValue)
{
    return attemptedValue;
}
} // namespace TuningEditor
