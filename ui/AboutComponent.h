#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The about box: the about picture with the version at the bottom right, 600 x 400. A click anywhere
// closes the dialog window it runs in, with 0.
class AboutComponent : public juce::Component
{
public:
    AboutComponent();
    ~AboutComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override {}
    void mouseDown(const juce::MouseEvent&) override;

    juce::Label& getVersionLabel() noexcept { return versionLabel; }

private:
    juce::Label versionLabel;
    juce::Image aboutImage;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AboutComponent)
};
