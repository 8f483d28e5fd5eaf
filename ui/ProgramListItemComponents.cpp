#include "ui/ProgramListItemComponents.h"

#include "app/PreferencesData.h"
#include "data/ProgramData.h"
#include "ui/FontLibrary.h"
#include "ui/WholeText.h"

#include <algorithm>

int getProgramListRowHeight()
{
    return x47390_preferences::PreferencesData::getInstance()->getIntValue("ProgramListHeight", 0);
}

void ProgramListItemMouseListenerHolder::addItemMouseListener(ProgramListItemMouseListener* listener)
{
    mouseListeners.push_back(listener);
}

void ProgramListItemMouseListenerHolder::removeItemMouseListener(ProgramListItemMouseListener* listener)
{
    const auto found = std::find(mouseListeners.begin(), mouseListeners.end(), listener);
    if (found != mouseListeners.end())
        mouseListeners.erase(found);
}

template <class Call>
void ProgramListItemMouseListenerHolder::forward(Call&& call)
{
    // A listener may remove itself meanwhile: stop when the list has become shorter.
    const size_t count = mouseListeners.size();
    for (size_t i = 0; i < count && i < mouseListeners.size(); ++i)
        call(*mouseListeners[i]);
}

void ProgramListItemMouseListenerHolder::forwardMouseDown(juce::Component* c, const juce::MouseEvent& e)
{
    forward([&](ProgramListItemMouseListener& l) { l.itemMouseDown(c, e); });
}

void ProgramListItemMouseListenerHolder::forwardMouseUp(juce::Component* c, const juce::MouseEvent& e)
{
    forward([&](ProgramListItemMouseListener& l) { l.itemMouseUp(c, e); });
}

void ProgramListItemMouseListenerHolder::forwardMouseDrag(juce::Component* c, const juce::MouseEvent& e)
{
    forward([&](ProgramListItemMouseListener& l) { l.itemMouseDrag(c, e); });
}

ProgramListItemComboBoxLookAndFeel::ProgramListItemComboBoxLookAndFeel()
{
    setColour(juce::PopupMenu::backgroundColourId, juce::Colour(0xff333333));
    setColour(juce::PopupMenu::textColourId, juce::Colour(0xffd3d3d3));
    setColour(juce::PopupMenu::headerTextColourId, juce::Colour(0xffd3d3d3));
    setColour(juce::PopupMenu::highlightedBackgroundColourId, juce::Colour(0xff666666));
    setColour(juce::PopupMenu::highlightedTextColourId, juce::Colour(0xffffffff));
}

juce::Font ProgramListItemComboBoxLookAndFeel::getComboBoxFont(juce::ComboBox&)
{
    return ui::FontLibrary::getInstance()->getFont("ProgramListScaleSet");
}

void ProgramListItemComboBoxLookAndFeel::drawComboBoxTextWhenNothingSelected(juce::Graphics& g, juce::ComboBox& box,
                                                                             juce::Label& label)
{
    g.setColour(box.findColour(juce::ComboBox::textColourId));
    const auto area = getLabelBorderSize(label).subtractedFrom(label.getLocalBounds());
    ui::drawTextWhole(g, box.getTextWhenNothingSelected(), label.getLookAndFeel().getLabelFont(label), area,
                      label.getJustificationType());
}

void ProgramListItemComboBoxLookAndFeel::drawLabel(juce::Graphics& g, juce::Label& label)
{
    // The combo box's text: whole at every row height, where the toolkit would cut it short with dots.
    if (label.isBeingEdited() || dynamic_cast<juce::ComboBox*>(label.getParentComponent()) == nullptr)
    {
        LookAndFeel_V3::drawLabel(g, label);
        return;
    }
    g.fillAll(label.findColour(juce::Label::backgroundColourId));
    g.setColour(label.findColour(juce::Label::textColourId).withMultipliedAlpha(label.isEnabled() ? 1.0f : 0.5f));
    const auto area = getLabelBorderSize(label).subtractedFrom(label.getLocalBounds());
    ui::drawTextWhole(g, label.getText(), getLabelFont(label), area, label.getJustificationType());
}

ProgramListItemLabel::ProgramListItemLabel() : juce::Label(juce::String(), juce::String())
{
    setColour(juce::Label::textColourId, juce::Colour(0xff808080));
    setColour(juce::Label::backgroundColourId, juce::Colour(0x00000000));
    setColour(juce::Label::outlineColourId, juce::Colour(0x00000000));
    setEditable(false, true, true);
    // Keyboard focus stays with the table, so the arrow keys keep moving the selection.
    setWantsKeyboardFocus(false);
}

void ProgramListItemLabel::mouseDown(const juce::MouseEvent& e) { forwardMouseDown(this, e); }
void ProgramListItemLabel::mouseDrag(const juce::MouseEvent& e) { forwardMouseDrag(this, e); }
void ProgramListItemLabel::mouseUp(const juce::MouseEvent& e) { forwardMouseUp(this, e); }

void ProgramListItemLabel::editorShown(juce::TextEditor* editor)
{
    juce::Label::editorShown(editor);
    if (editor == nullptr)
        return;
    editor->setColour(juce::TextEditor::textColourId, juce::Colour(0xffffffff));
    editor->setColour(juce::TextEditor::highlightColourId, juce::Colour(0xff555555));
    editor->setColour(juce::TextEditor::highlightedTextColourId, juce::Colour(0xffffffff));
    for (auto id : {juce::TextEditor::backgroundColourId, juce::TextEditor::outlineColourId,
                    juce::TextEditor::focusedOutlineColourId, juce::TextEditor::shadowColourId})
        editor->setColour(id, juce::Colour(0x00000000));
    // The editor's text takes the new colour only when set again.
    editor->applyColourToAllText(juce::Colour(0xffffffff));
    // No more characters than the program stores: a longer name would be cut without a word. The padding is
    // not part of the name, or it would fill the room typing needs.
    editor->setInputRestrictions(x47390_data::ProgramData::nameLength);
    editor->setText(getText().trimEnd(), false);
    editor->selectAll();
}

void ProgramListItemLabel::editorAboutToBeHidden(juce::TextEditor* editor)
{
    juce::Label::editorAboutToBeHidden(editor);
    setColour(juce::Label::textColourId, juce::Colour(rowSelected ? 0xffffffff : 0xffd3d3d3));
}

ProgramListItemComboBox::ProgramListItemComboBox()
    : juce::ComboBox(juce::String()), ownLookAndFeel(std::make_unique<ProgramListItemComboBoxLookAndFeel>())
{
    setColour(juce::ComboBox::textColourId, juce::Colour(0xff808080));
    setColour(juce::ComboBox::arrowColourId, juce::Colour(0xffd3d3d3));
    setColour(juce::ComboBox::buttonColourId, juce::Colour(0x00000000));
    setColour(juce::ComboBox::backgroundColourId, juce::Colour(0x00000000));
    setColour(juce::ComboBox::outlineColourId, juce::Colour(0x00000000));
    setEditableText(false);
    setEnabled(true);
    setLookAndFeel(ownLookAndFeel.get());
    setWantsKeyboardFocus(false);
}

ProgramListItemComboBox::~ProgramListItemComboBox() { setLookAndFeel(nullptr); }

void ProgramListItemComboBox::mouseDown(const juce::MouseEvent& e) { forwardMouseDown(this, e); }
void ProgramListItemComboBox::mouseDrag(const juce::MouseEvent& e) { forwardMouseDrag(this, e); }
void ProgramListItemComboBox::mouseUp(const juce::MouseEvent& e) { forwardMouseUp(this, e); }
void ProgramListItemComboBox::colourChanged()
{
    const auto text = findColour(juce::ComboBox::textColourId);
    for (auto* child : getChildren())
        if (auto* label = dynamic_cast<juce::Label*>(child))
        {
            label->setColour(juce::Label::textColourId, text);
            label->setColour(juce::TextEditor::textColourId, text);
        }
    repaint();
}

void ProgramListItemComboBox::mouseDoubleClick(const juce::MouseEvent& e) { juce::ComboBox::mouseDown(e); }

ProgramListItemComponentWrapper::ProgramListItemComponentWrapper()
{
    const int height = getProgramListRowHeight();
    setSize(220, height);
    label.setSize(220, height);
    comboBox.setSize(220, height);
    label.addItemMouseListener(this);
    comboBox.addItemMouseListener(this);
}

ProgramListItemComponentWrapper::~ProgramListItemComponentWrapper()
{
    label.removeItemMouseListener(this);
    comboBox.removeItemMouseListener(this);
}

void ProgramListItemComponentWrapper::itemMouseDown(juce::Component*, const juce::MouseEvent& e)
{
    forwardMouseDown(this, e);
}

void ProgramListItemComponentWrapper::itemMouseUp(juce::Component*, const juce::MouseEvent& e)
{
    forwardMouseUp(this, e);
}

void ProgramListItemComponentWrapper::itemMouseDrag(juce::Component*, const juce::MouseEvent& e)
{
    forwardMouseDrag(this, e);
}

void ProgramListItemComponentWrapper::setMode(int newMode)
{
    mode = newMode;
    const int height = getProgramListRowHeight();
    if (mode == tuningMode)
        comboBox.setSize(140, height);
    else
        label.setSize(220, height);
}
