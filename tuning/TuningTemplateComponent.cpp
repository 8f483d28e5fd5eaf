#include "tuning/TuningTemplateComponent.h"

#include "data/ApplicationUndoManager.h"
#include "data/CurrentTuneOctData.h"
#include "data/CurrentTuneScaleData.h"
#include "data/DataChangeBroadcaster.h"
#include "data/FactoryScaleTemplates.h"
#include "data/ParameterValueFormat.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "tuning/TuningNoteMath.h"
#include "ui/DialogKeyboard.h"

#include <cstdio>

namespace
{
// The program tuning names: values 0..22 name the factory tunings.
constexpr int tuningNameFormat = 38;

juce::String templateName(int id)
{
    return parameterValueFormatTable[tuningNameFormat].valueNames[id - 1];
}

void reportInvalid(int id)
{
    std::printf("Preset Numbre is invalid:%03d\n", id - 1);
    std::fflush(stdout);
}

// Notes 60..71 of the template, folded into the octave range, become the octave edit buffer.
void applyToOctave(const FactoryScaleTemplate& source)
{
    auto* holder = x47390_data::CurrentTuneOctData::getInstance();
    auto& buffer = x47390_data::CurrentTuneOctData::editBuffer;
    for (int k = 0; k < 12; ++k)
    {
        const auto* entry = &source[(size_t) (60 + k) * 3];
        const int offset = TuningEditor::foldIntoOctaveRange((int) entry[0] - 60);
        buffer[(size_t) k * 3] = (juce::uint8) (offset & 0x7F);
        buffer[(size_t) k * 3 + 1] = entry[1];
        buffer[(size_t) k * 3 + 2] = entry[2];
    }
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteTuneOct");
    undoManager->perform(new x47390_action::SetTuneOctEditAction(currentTuningSlot));
    holder->tuneOctChanged();
}
} // namespace

void closeEnclosingDialog(juce::Component& component, int result)
{
    if (auto* dialog = component.findParentComponentOfClass<juce::DialogWindow>())
        dialog->exitModalState(result);
}

TuningTemplateComponent::TuningTemplateComponent()
{
    setLookAndFeel(&lookAndFeel);

    addAndMakeVisible(comboBox);
    comboBox.setEditableText(false);
    comboBox.setJustificationType(juce::Justification::centredLeft);
    comboBox.setTextWhenNothingSelected({});
    comboBox.setTextWhenNoChoicesAvailable("(no choices)");
    for (int id = 1; id <= numFactoryScaleTemplates; ++id)
        comboBox.addItem(templateName(id), id);
    comboBox.addListener(this);
    comboBox.setLookAndFeel(&comboLookAndFeel);
    comboBox.setBounds(32, 24, 184, 24);

    addAndMakeVisible(okButton);
    okButton.setButtonText("OK");
    okButton.addListener(this);
    okButton.setBounds(136, 64, 78, 24);
    ui::setDefaultButton(okButton);

    setSize(250, 100);
}

TuningTemplateComponent::~TuningTemplateComponent()
{
    comboBox.removeListener(this);
    okButton.removeListener(this);
    comboBox.setLookAndFeel(nullptr);
    setLookAndFeel(nullptr);
}

void TuningTemplateComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xff333333));
}

void TuningTemplateComponent::comboBoxChanged(juce::ComboBox* box)
{
    if (box == &comboBox)
        applyTemplate(comboBox.getSelectedId());
}

void TuningTemplateComponent::buttonClicked(juce::Button* button)
{
    if (button == &okButton)
        closeEnclosingDialog(*this, 1);
}

void TuningTemplateComponent::applyTemplate(int id)
{
    if (id < 1 || id > numFactoryScaleTemplates)
    {
        reportInvalid(id);
        return;
    }
    if (currentTuningSlot <= 5)
    {
        applyToOctave(factoryScaleTemplates[(size_t) (id - 1)]);
    }
    else
    {
        auto* holder = x47390_data::CurrentTuneScaleData::getInstance();
        holder->pasteTuneScale((unsigned int) (id - 1));
        holder->tuneScaleChanged();
    }
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

juce::StringArray TuningTemplateComponent::getTemplateNames()
{
    juce::StringArray names;
    for (int id = 1; id <= numFactoryScaleTemplates; ++id)
        names.add(templateName(id));
    return names;
}
