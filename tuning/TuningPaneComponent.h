#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class TuningEditComponent;

// The MICROTUNING tab's page: a dark panel holding the tuning editor at a fixed place.
class TuningPaneComponent : public juce::Component
{
public:
    TuningPaneComponent();
    ~TuningPaneComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    TuningEditComponent* getTuningEditor() const noexcept { return editor.get(); }

private:
    std::unique_ptr<TuningEditComponent> editor;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TuningPaneComponent)
};
