#include "tuning/TuningPaneComponent.h"

#include "tuning/TuningEditComponent.h"

TuningPaneComponent::TuningPaneComponent()
{
    editor = std::make_unique<TuningEditComponent>();
    addAndMakeVisible(*editor);
    setSize(940, 450);
}

TuningPaneComponent::~TuningPaneComponent() = default;

void TuningPaneComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xff0c0c0c));
}

void TuningPaneComponent::resized()
{
    editor->setBounds(75, 0, 790, getHeight());
}
