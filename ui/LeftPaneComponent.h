#pragma once

#include "ui/ProgramListComponent.h"

#include <memory>

// The upper part of the program page: the program table.
class LeftPaneComponent : public juce::Component
{
public:
    LeftPaneComponent()
    {
        list = std::make_unique<ProgramListComponent>();
        addAndMakeVisible(*list);
    }

    ProgramListComponent* getProgramListComponent() const noexcept { return list.get(); }

    void paint(juce::Graphics& g) override { g.fillAll(juce::Colour(0xff111111)); }
    void resized() override { list->setBounds(getLocalBounds()); }

private:
    std::unique_ptr<ProgramListComponent> list;
};
