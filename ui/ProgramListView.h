#pragma once

#include "data/ListenerHolder.h"
#include "data/ParameterDescription.h"
#include "ui/ProgramListItemComponents.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace x47390_data
{
class LibraryData;
class ProgramData;
} // namespace x47390_data

namespace ui
{
// Told of presses, releases and drags on the name and tuning cells, with the cell's row.
class ProgramListViewListener
{
public:
    virtual ~ProgramListViewListener() = default;
    virtual void itemMouseDown(int row, const juce::MouseEvent&) = 0;
    virtual void itemMouseUp(int row, const juce::MouseEvent&) = 0;
    virtual void itemMouseDrag(int row, const juce::MouseEvent&) = 0;
};

// What the program table shows: its shape, its rows and cells, and its two cell editors.
class ProgramListViewInterface : public ListenerHolder<ProgramListViewListener>
{
public:
    ~ProgramListViewInterface() override = default;

    virtual int getNumRows() = 0;
    virtual int getNumColumns() = 0;
    virtual juce::String getColumnName(int columnId) = 0;
    virtual int getColumnWidth(int columnId) = 0;
    virtual int getColumnMinimumWidth(int columnId) = 0;
    virtual int getColumnPropertyFlags(int columnId) = 0;
    virtual void paintRowBackground(juce::Graphics&, int row, int width, int height, bool rowIsSelected) = 0;
    virtual void paintCell(juce::Graphics&, int row, int columnId, int width, int height, bool rowIsSelected) = 0;
    virtual juce::Component* refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                                     juce::Component* existingComponent) = 0;
};

// The tuning byte of a program (byte 51) and the id of the tuning combo box entry that shows it.
// Bytes that name no tuning have no id (0); they are shown as "Equal Tempered".
int getTuningIdForByte(int tuningByte);
int getTuningByteForId(int id); // -1 for an id outside 1 to 35
const juce::StringArray& getTuningNames(); // the 35 entries, ids 1 to 35

// A typed program name with every character the instrument cannot show replaced by a space.
// replaced counts the replacements.
juce::String cleanProgramName(const juce::String& text, int& replaced);

// The display text of one parameter of a program binary; empty for a key no table has.
juce::String getProgramParameterText(const juce::uint8* binary, ParameterKey key);
} // namespace ui

namespace x47390_ui
{
// Presents the library's 500 programs in nine columns and turns edits of the name and tuning cells
// into undoable actions.
class ProgramListView : public ui::ProgramListViewInterface,
                        public ProgramListItemComponentListener,
                        public ProgramListItemMouseListener
{
public:
    explicit ProgramListView(x47390_data::LibraryData& library);
    ~ProgramListView() override = default;

    int getNumRows() override;
    int getNumColumns() override;
    juce::String getColumnName(int columnId) override;
    int getColumnWidth(int columnId) override;
    int getColumnMinimumWidth(int columnId) override;
    int getColumnPropertyFlags(int columnId) override;
    void paintRowBackground(juce::Graphics&, int row, int width, int height, bool rowIsSelected) override;
    void paintCell(juce::Graphics&, int row, int columnId, int width, int height, bool rowIsSelected) override;
    juce::Component* refreshComponentForCell(int row, int columnId, bool rowIsSelected,
                                             juce::Component* existingComponent) override;

    void labelTextChanged(juce::Label*) override;
    void comboBoxChanged(juce::ComboBox*) override;

    void itemMouseDown(juce::Component*, const juce::MouseEvent&) override;
    void itemMouseUp(juce::Component*, const juce::MouseEvent&) override;
    void itemMouseDrag(juce::Component*, const juce::MouseEvent&) override;

    // The text a painted cell shows (columns 1 and 3 to 8).
    juce::String getCellText(int row, int columnId);

private:
    x47390_data::LibraryData* library;

    JUCE_DECLARE_NON_COPYABLE(ProgramListView)
};
} // namespace x47390_ui
