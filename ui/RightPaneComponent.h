#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The lower part of the program page: the live-set favourites in a viewport that never scrolls.
class RightPaneComponent : public juce::Component
{
public:
    RightPaneComponent();
    ~RightPaneComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override;

    juce::Viewport& getViewport() noexcept { return viewport; }

private:
    juce::Viewport viewport{"Right Pane Content"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(RightPaneComponent)
};
