#pragma once

#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The body of the tuning import dialog (470 x 144): imports a Scala scale into the tuning being edited,
// imports or clears the Scala keyboard map, and shows which keyboard-map file is in force.
class TuningImportComponent : public juce::Component, public juce::AsyncUpdater, public juce::Button::Listener
{
public:
    TuningImportComponent();
    ~TuningImportComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override {}
    void handleAsyncUpdate() override;
    void buttonClicked(juce::Button* button) override;

    // Shows the name of the keyboard map in force (empty when none).
    void updateMapFileLabel();

    juce::TextButton& getScaleImportButton() noexcept { return scaleImportButton; }
    juce::TextButton& getMapImportButton() noexcept { return mapImportButton; }
    juce::TextButton& getClearButton() noexcept { return clearButton; }
    juce::TextButton& getOkButton() noexcept { return okButton; }
    juce::Label& getMapFileLabel() noexcept { return mapFileLabel; }

private:
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    juce::Label mapCaption{"new label", "Map File"};
    juce::Label scaleCaption{"new label", "Scala File"};
    juce::TextButton scaleImportButton{"import"};
    juce::TextButton mapImportButton{"import"};
    juce::Label mapFileLabel{"new label", ""};
    juce::TextButton clearButton{"clear"};
    juce::TextButton okButton{"OK"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TuningImportComponent)
};
