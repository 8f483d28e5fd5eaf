#pragma once

#include "data/UserData.h"
#include "ui/UserListInterfaces.h"

namespace x47390_ui
{
// A unit's version field as "major.minor-patch": major in byte 2, minor in byte 1, patch in byte 0,
// each taken to 7 bits.
juce::String makeUnitVersionText(juce::uint32 versionField);

// The columns of a user-unit list (slot number, name, version, API version) and the painting of its
// slot rows, read from the user-unit slots at paint time. The lists have no editable cells.
class UserUnitListView : public ui::UserListViewInterface
{
public:
    enum ColumnIds
    {
        slotColumn = 1,
        nameColumn,
        versionColumn,
        apiColumn
    };

    UserUnitListView(x47390_data::UserData* userData, int numRows);

    int getNumRows() override { return numRows; }
    int getNumColumns() override { return 4; }
    juce::String getColumnName(int columnId) override;
    int getColumnWidth(int columnId) override;
    int getColumnMinimumWidth(int) override { return 20; }
    int getColumnPropertyFlags(int) override { return juce::TableHeaderComponent::visible | juce::TableHeaderComponent::resizable; }
    void paintRowBackground(juce::Graphics&, int row, int width, int height, bool rowIsSelected) override;
    void paintCell(juce::Graphics&, int row, int columnId, int width, int height, bool rowIsSelected) override;
    juce::Component* refreshComponentForCell(int, int, bool, juce::Component*) override { return nullptr; }

    // The text of a cell: "---" for an empty slot, the unit's fields when one is present.
    juce::String getCellText(int row, int columnId) const;

protected:
    // The slot entry of the row; rows beyond the kind's table give its spare entry (with the kind's
    // diagnostic line).
    virtual const x47390_data::UserUnitSlotData& getSlot(int row) const = 0;

    x47390_data::UserData* userData;

private:
    const int numRows;
};

class UserOscListView : public UserUnitListView
{
public:
    explicit UserOscListView(x47390_data::UserData* data) : UserUnitListView(data, x47390_data::UserData::numOscSlots) {}

protected:
    const x47390_data::UserUnitSlotData& getSlot(int row) const override { return userData->getUserOscData(row); }
};

class UserModFXListView : public UserUnitListView
{
public:
    explicit UserModFXListView(x47390_data::UserData* data)
        : UserUnitListView(data, x47390_data::UserData::numModFXSlots)
    {
    }

protected:
    const x47390_data::UserUnitSlotData& getSlot(int row) const override { return userData->getUserModFXData(row); }
};

class UserDelFXListView : public UserUnitListView
{
public:
    explicit UserDelFXListView(x47390_data::UserData* data)
        : UserUnitListView(data, x47390_data::UserData::numDelFXSlots)
    {
    }

protected:
    const x47390_data::UserUnitSlotData& getSlot(int row) const override { return userData->getUserDelFXData(row); }
};

class UserRevFXListView : public UserUnitListView
{
public:
    explicit UserRevFXListView(x47390_data::UserData* data)
        : UserUnitListView(data, x47390_data::UserData::numRevFXSlots)
    {
    }

protected:
    const x47390_data::UserUnitSlotData& getSlot(int row) const override { return userData->getUserRevFXData(row); }
};
} // namespace x47390_ui
