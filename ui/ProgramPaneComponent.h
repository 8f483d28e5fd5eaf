#pragma once

#include "ui/LeftPaneComponent.h"

#include <memory>

// The PROGRAM tab's page: the program table above, the live-set favourites below.
class ProgramPaneComponent : public juce::Component
{
public:
    ProgramPaneComponent()
    {
        leftPane = std::make_unique<LeftPaneComponent>();
        addAndMakeVisible(*leftPane);
    }

    LeftPaneComponent* getLeftPane() const noexcept { return leftPane.get(); }

    void paint(juce::Graphics& g) override { g.fillAll(juce::Colour(0xff111111)); }
    void resized() override { leftPane->setBounds(0, 0, getWidth(), getHeight() - 286); }

private:
    std::unique_ptr<LeftPaneComponent> leftPane;
};
