#include "ui/ImageTextButton.h"

#include "ui/FontLibrary.h"

namespace ui
{
ImageTextButton::ImageTextButton(const juce::String& name)
    : juce::ImageButton(name), textFont(FontLibrary::getInstance()->getFont("ImageTextButton"))
{
}

void ImageTextButton::paintButton(juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    juce::ImageButton::paintButton(g, shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);
    g.setFont(textFont);
    g.setColour(textColour);
    g.drawText(getButtonText(), 0, 0, getWidth(), getHeight(), juce::Justification::centred, true);
}
} // namespace ui
