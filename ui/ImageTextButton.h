#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace ui
{
// An image button that draws its caption over the image, in every state. The owner sets the
// images (usually getImage("ButtonDark") and getImage("ButtonLit")) and may change the caption's
// font and colour directly.
class ImageTextButton : public juce::ImageButton
{
public:
    // The name is also the caption.
    explicit ImageTextButton(const juce::String& name = {});

    void paintButton(juce::Graphics&, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

    // A copy of the "ImageTextButton" style taken at construction.
    juce::Font textFont;
    juce::Colour textColour{0xffffffff};

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ImageTextButton)
};
} // namespace ui
