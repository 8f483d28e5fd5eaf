#include "ui/ProgramTuningEditComponent.h"

#include "data/ParameterValueText.h"
#include "ui/DialogKeyboard.h"

namespace
{
// The "Scale Set" row of the common part names every tuning byte.
constexpr ParameterKey tuningParameter{0, 49};
} // namespace

int programTuningItemForByte(int tuningByte)
{
    int value = tuningByte >= 128 ? tuningByte - 105 : (tuningByte < 23 ? tuningByte : 0);
    if (value >= ProgramTuningEditComponent::numTunings || value < 0)
        value = 0;
    return value + 1;
}

int programTuningByteForItem(int itemId)
{
    const int index = itemId - 1;
    return index < 23 ? index : index + 105;
}

juce::String ProgramTuningEditComponent::getTuningName(int itemId)
{
    ParameterDescription description{};
    if (!getParameterDescription(nullptr, tuningParameter, description))
        return {};
    return juce::String(getParameterValueText(description, programTuningByteForItem(itemId)));
}

ProgramTuningEditComponent::ProgramTuningEditComponent()
{
    addAndMakeVisible(tuningBox);
    tuningBox.setEditableText(false);
    tuningBox.setJustificationType(juce::Justification::centredLeft);
    tuningBox.setTextWhenNothingSelected({});
    tuningBox.setTextWhenNoChoicesAvailable("(no choices)");
    for (int id = 1; id <= numTunings; ++id)
        tuningBox.addItem(getTuningName(id), id);
    tuningBox.addListener(this);
    tuningBox.setBounds(32, 24, 150, 24);

    addAndMakeVisible(okButton);
    okButton.setButtonText("OK");
    okButton.addListener(this);
    okButton.setBounds(16, 64, 78, 24);

    addAndMakeVisible(cancelButton);
    cancelButton.setButtonText("Cancel");
    cancelButton.addListener(this);
    cancelButton.setBounds(112, 64, 78, 24);
    ui::setDefaultButton(okButton);
    ui::setEscapeButton(cancelButton);

    setSize(206, 100);
}

ProgramTuningEditComponent::~ProgramTuningEditComponent() { tuningBox.removeListener(this); }

void ProgramTuningEditComponent::paint(juce::Graphics& g) { g.fillAll(juce::Colour(0xffffffff)); }

void ProgramTuningEditComponent::buttonClicked(juce::Button* button)
{
    int result = 0;
    if (button == &okButton)
    {
        selectedTuning = tuningBox.getSelectedId() - 1;
        result = 1;
    }
    else if (button != &cancelButton)
    {
        return;
    }
    if (auto* window = findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState(result);
}
