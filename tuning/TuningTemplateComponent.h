#pragma once

#include "ui/DefaultLookAndFeel.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The body of the tuning template dialog (250 x 100): choosing one of the 23 factory tunings puts it at
// once into the user octave or user scale being edited, as one undo step each; OK only closes.
class TuningTemplateComponent : public juce::Component, public juce::ComboBox::Listener, public juce::Button::Listener
{
public:
    TuningTemplateComponent();
    ~TuningTemplateComponent() override;

    void paint(juce::Graphics&) override;
    void resized() override {}

    void comboBoxChanged(juce::ComboBox* comboBox) override;
    void buttonClicked(juce::Button* button) override;

    // Applies template id 1..23 (names as in the combo box) to the current tuning slot; any other id
    // changes nothing.
    static void applyTemplate(int id);

    // The names of templates 1..23.
    static juce::StringArray getTemplateNames();

    juce::ComboBox& getComboBox() noexcept { return comboBox; }
    juce::TextButton& getOkButton() noexcept { return okButton; }

private:
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    x47390_ui::DefaultLookAndFeel comboLookAndFeel;
    juce::ComboBox comboBox{"new combo box"};
    juce::TextButton okButton{"new button"};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(TuningTemplateComponent)
};

// Ends the modal state of the dialog window that holds the component, with the given result.
void closeEnclosingDialog(juce::Component& component, int result);
