#include "ui/ProgressBarComponent.h"

namespace ui
{
ProgressBarComponent::ProgressBarComponent(const juce::String& componentName) : juce::Slider(componentName) {}
} // namespace ui
