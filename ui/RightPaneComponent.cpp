#include "ui/RightPaneComponent.h"

#include "ui/FavoriteEditComponent.h"

namespace
{
// A viewport that neither the wheel nor a drag moves.
void makeFixed(juce::Viewport& viewport)
{
    viewport.setScrollBarsShown(false, false, false, false);
    viewport.setScrollOnDragMode(juce::Viewport::ScrollOnDragMode::never);
    viewport.setScrollBarThickness(18);
}
} // namespace

RightPaneComponent::RightPaneComponent()
{
    addAndMakeVisible(viewport);
    makeFixed(viewport);
    viewport.setViewedComponent(new FavoriteEditComponent(), true);
    setSize(870, 220);
}

RightPaneComponent::~RightPaneComponent() = default;

void RightPaneComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xff111111)); }

void RightPaneComponent::resized() { viewport.setBounds(getLocalBounds()); }
