#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The strip at the top of the main window: the current program display and the transfer buttons.
class HeaderComponent : public juce::Component
{
public:
    HeaderComponent() = default;

    void paint(juce::Graphics& g) override { g.fillAll(juce::Colour(0xff111111)); }
};
