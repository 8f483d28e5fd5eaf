#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The MICROTUNING tab's page, holding the tuning editor.
class TuningPaneComponent : public juce::Component
{
public:
    TuningPaneComponent() = default;

    void paint(juce::Graphics& g) override { g.fillAll(juce::Colour(0xff111111)); }
};
