#include "ui/ProgramListView.h"

#include "app/CJQZResource.h"
#include "data/ApplicationUndoManager.h"
#include "data/DataChangeBroadcaster.h"
#include "data/LibraryData.h"
#include "data/ParameterValueText.h"
#include "data/ProgramEditActions.h"
#include "ui/FontLibrary.h"
#include "ui/WholeText.h"

#include <array>

namespace ui
{
namespace
{
constexpr int numColumns = 9;

struct Column
{
    const char* titleKey; // null: no title
    int width;
    ParameterKey parameter; // group -1: not a parameter column
    const char* fontKey;
};

// Columns 1 to 9.
constexpr std::array<Column, numColumns> columns{{
    {nullptr, 48, {-1, 0}, "ProgramListNumber"},
    {"ProgramListColumnProgramName", 180, {-1, 0}, "ProgramListName"},
    {"ProgramListColumnCategory", 110, {0, 25}, "ProgramListCategory"},
    {"ProgramListColumnLike", 48, {0, 45}, "ProgramListLike"},
    {"ProgramListColumnTimbType", 80, {0, 19}, "ProgramListTimbType"},
    {"ProgramListColumnVco1Wave", 80, {1, 4}, "ProgramListVco1Wave"},
    {"ProgramListColumnVco2Wave", 80, {1, 10}, "ProgramListVco2Wave"},
    {"ProgramListColumnMultiType", 80, {1, 17}, "ProgramListMultiType"},
    {"ProgramListColumnScaleSet", 140, {-1, 0}, "ProgramListScaleSet"},
}};

constexpr int nameColumn = 2;
constexpr int likeColumn = 4;
constexpr int tuningColumn = 9;
// Room kept free between a cell's text and the next column.
constexpr int cellGap = 4;

const Column* findColumn(int columnId)
{
    return columnId >= 1 && columnId <= numColumns ? &columns[(size_t) columnId - 1] : nullptr;
}

// The four "Like" flags are one value spread over four bytes.
juce::String getLikeText(const juce::uint8* binary)
{
    ParameterDescription first{};
    int combined = 0;
    for (int16_t index = 45; index <= 48; ++index)
    {
        ParameterDescription description{};
        if (!getParameterDescription(binary, {0, index}, description))
            return {};
        if (index == 45)
            first = description;
        combined |= (juce::uint16) getPackedParameterValue(binary, 0, description);
    }
    return juce::String(getParameterValueText(first, combined));
}

const juce::String allowedNameCharacters(
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789!?#$%&'()*+,-./:;<=>@");

const juce::Colour rowLineColour(0x44aaaaaa);
} // namespace

int getTuningIdForByte(int tuningByte)
{
    if (tuningByte >= 0 && tuningByte <= 22)
        return tuningByte + 1;
    if (tuningByte >= 128 && tuningByte <= 139)
        return tuningByte - 104;
    return 0;
}

int getTuningByteForId(int id)
{
    if (id >= 1 && id <= 23)
        return id - 1;
    if (id >= 24 && id <= 35)
        return id + 104;
    return -1;
}

const juce::StringArray& getTuningNames()
{
    static const juce::StringArray names = [] {
        juce::StringArray list{"Equal Tempered", "Pure Major",      "Pure Minor",      "Pythagorean", "Werckmeister",
                               "kirnberger",     "Slendro",         "Pelog",           "Ionian",      "Dorian",
                               "Aelian",         "Major Pentatonic", "Minor Pentatonic", "Reverse",     "XQV001",
                               "XQV002",         "XQV003",          "XQV004",          "XQV005",      "XQV006",
                               "KW001",          "KW002",           "KW003"};
        for (int i = 1; i <= 6; ++i)
            list.add("User Scale " + juce::String(i));
        for (int i = 1; i <= 6; ++i)
            list.add("User Octave " + juce::String(i));
        return list;
    }();
    return names;
}

juce::String cleanProgramName(const juce::String& text, int& replaced)
{
    replaced = 0;
    juce::String cleaned;
    cleaned.preallocateBytes((size_t) text.length() + 1);
    for (auto c : text)
    {
        if (allowedNameCharacters.containsChar(c))
        {
            cleaned += c;
        }
        else
        {
            cleaned += ' ';
            ++replaced;
        }
    }
    return cleaned;
}

juce::String getProgramParameterText(const juce::uint8* binary, ParameterKey key)
{
    if (key.group < 0 || key.group > 2)
        return {};
    ParameterDescription description{};
    if (!getParameterDescription(binary, key, description))
        return {};
    return juce::String(getParameterValueText(description, getPackedParameterValue(binary, key.group, description)));
}
} // namespace ui

namespace x47390_ui
{
ProgramListView::ProgramListView(x47390_data::LibraryData& libraryData) : library(&libraryData) {}

int ProgramListView::getNumRows() { return x47390_data::LibraryData::numPrograms; }

int ProgramListView::getNumColumns() { return ui::numColumns; }

juce::String ProgramListView::getColumnName(int columnId)
{
    const auto* column = ui::findColumn(columnId);
    if (column == nullptr || column->titleKey == nullptr)
        return {};
    return CJQZResource::getInstance()->getString(column->titleKey);
}

int ProgramListView::getColumnWidth(int columnId)
{
    const auto* column = ui::findColumn(columnId);
    return column != nullptr ? column->width : 100;
}

int ProgramListView::getColumnMinimumWidth(int) { return 20; }

int ProgramListView::getColumnPropertyFlags(int)
{
    return juce::TableHeaderComponent::visible | juce::TableHeaderComponent::resizable;
}

void ProgramListView::paintRowBackground(juce::Graphics& g, int, int width, int height, bool rowIsSelected)
{
    g.setColour(ui::rowLineColour);
    if (rowIsSelected)
        g.fillAll();
    else
        g.drawLine(0.0f, (float) height - 1.0f, (float) width, (float) height - 1.0f);
}

juce::String ProgramListView::getCellText(int row, int columnId)
{
    const auto* column = ui::findColumn(columnId);
    if (column == nullptr)
        return {};
    if (columnId == 1)
        return juce::String(row + 1);
    const auto* binary = library->getProgramData(row).binary.data();
    if (columnId == ui::likeColumn)
        return ui::getLikeText(binary);
    return ui::getProgramParameterText(binary, column->parameter);
}

void ProgramListView::paintCell(juce::Graphics& g, int row, int columnId, int width, int height, bool rowIsSelected)
{
    const auto* column = ui::findColumn(columnId);
    if (column == nullptr)
        return;
    g.setColour(juce::Colour(rowIsSelected ? 0xffd3d3d3 : 0xff808080));
    const int left = columnId == 1 ? 12 : 0;
    // A gap before the next column's text.
    ui::drawTextWhole(g, getCellText(row, columnId), ui::FontLibrary::getInstance()->getFont(column->fontKey),
                      {left, 0, width - ui::cellGap - left, height}, juce::Justification::centredLeft);
}

juce::Component* ProgramListView::refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                                          juce::Component* existingComponent)
{
    if (columnId != ui::nameColumn && columnId != ui::tuningColumn)
    {
        delete existingComponent;
        return nullptr;
    }

    auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(existingComponent);
    if (wrapper == nullptr)
    {
        delete existingComponent;
        wrapper = new ProgramListItemComponentWrapper();
    }
    auto& label = wrapper->label;
    auto& comboBox = wrapper->comboBox;

    // Registered exactly once, however often the cell is refreshed.
    label.removeListener(this);
    comboBox.removeListener(this);
    wrapper->removeItemMouseListener(this);

    // The table refreshes its cells a moment after a click changes the selection: by then the click after
    // it may have opened the name editor of this very row (a double-click on a row that was not selected),
    // and setting the label's text would close the editor again.
    const bool editingThisRow = label.isBeingEdited() && label.rowIndex == row;
    wrapper->rowIndex = label.rowIndex = comboBox.rowIndex = row;
    wrapper->rowSelected = label.rowSelected = comboBox.rowSelected = rowIsSelected;
    const juce::Colour textColour(rowIsSelected ? 0xffffffff : 0xffd3d3d3);
    label.setColour(juce::Label::textColourId, textColour);
    comboBox.setColour(juce::ComboBox::textColourId, textColour);

    const auto& program = library->getProgramData(row);
    if (columnId == ui::tuningColumn)
    {
        if (comboBox.getParentComponent() != wrapper)
        {
            wrapper->removeAllChildren();
            wrapper->addAndMakeVisible(comboBox);
        }
        // Showing a program never edits it: the list is filled and the entry chosen without a change
        // notice, and a byte that names no tuning leaves no entry chosen, so choosing "Equal Tempered"
        // for it still counts as a choice.
        if (comboBox.getNumItems() != ui::getTuningNames().size())
        {
            comboBox.clear(juce::dontSendNotification);
            comboBox.addItemList(ui::getTuningNames(), 1);
            comboBox.setTextWhenNothingSelected(ui::getTuningNames()[0]);
        }
        const int id = ui::getTuningIdForByte(program.binary[(size_t) x47390_data::ProgramData::tuningOffset]);
        if (comboBox.getSelectedId() != id)
            comboBox.setSelectedId(id, juce::dontSendNotification);
        wrapper->setMode(ProgramListItemComponentWrapper::tuningMode);
    }
    else
    {
        if (label.getParentComponent() != wrapper)
        {
            wrapper->removeAllChildren();
            wrapper->addAndMakeVisible(label);
        }
        label.setFont(ui::FontLibrary::getInstance()->getFont("ProgramListName"));
        if (!editingThisRow || label.getText() != program.getName())
            label.setText(program.getName(), juce::dontSendNotification);
        wrapper->setMode(ProgramListItemComponentWrapper::nameMode);
    }

    label.addListener(this);
    comboBox.addListener(this);
    wrapper->addItemMouseListener(this);
    return wrapper;
}

void ProgramListView::labelTextChanged(juce::Label* changed)
{
    auto* label = dynamic_cast<ProgramListItemLabel*>(changed);
    if (label == nullptr)
        return;
    const int row = label->rowIndex;
    const auto currentName = library->getProgramData(row).getName();
    const auto typed = label->getText();
    if (typed == currentName)
        return;

    int replaced = 0;
    const auto cleaned = ui::cleanProgramName(typed, replaced);
    const auto stored = cleaned.substring(0, x47390_data::ProgramData::nameLength)
                            .paddedRight(' ', x47390_data::ProgramData::nameLength);
    // Nothing usable typed, or the name the program already has: no undo step.
    if (typed.isEmpty() || replaced == typed.length() || stored == currentName)
    {
        label->setText(currentName, juce::dontSendNotification);
        return;
    }

    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteProgramName");
    undoManager->perform(new x47390_action::SetProgramNameAction(row, cleaned));
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

void ProgramListView::comboBoxChanged(juce::ComboBox* changed)
{
    auto* comboBox = dynamic_cast<ProgramListItemComboBox*>(changed);
    if (comboBox == nullptr)
        return;
    const int row = comboBox->rowIndex;
    const int tuningByte = ui::getTuningByteForId(comboBox->getSelectedId());
    if (tuningByte < 0 ||
        tuningByte == library->getProgramData(row).binary[(size_t) x47390_data::ProgramData::tuningOffset])
        return;

    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteProgramTuning");
    undoManager->perform(new x47390_action::SetProgramTuningAction(row, (juce::uint8) tuningByte));
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

void ProgramListView::itemMouseDown(juce::Component* component, const juce::MouseEvent& e)
{
    if (auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(component))
        callListeners([&](ui::ProgramListViewListener& l) { l.itemMouseDown(wrapper->rowIndex, e); });
}

void ProgramListView::itemMouseUp(juce::Component* component, const juce::MouseEvent& e)
{
    if (auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(component))
        callListeners([&](ui::ProgramListViewListener& l) { l.itemMouseUp(wrapper->rowIndex, e); });
}

void ProgramListView::itemMouseDrag(juce::Component* component, const juce::MouseEvent& e)
{
    if (auto* wrapper = dynamic_cast<ProgramListItemComponentWrapper*>(component))
        callListeners([&](ui::ProgramListViewListener& l) { l.itemMouseDrag(wrapper->rowIndex, e); });
}
} // namespace x47390_ui
