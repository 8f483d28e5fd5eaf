#pragma once

#include "data/ListenerHolder.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <vector>

namespace ui
{
// Told of presses on cell components a view made (the user-unit views make none).
class UserListViewListener
{
public:
    virtual ~UserListViewListener() = default;
    virtual void itemMouseDown(int row) = 0;
    virtual void itemMouseUp(int row) = 0;
    virtual void itemMouseDrag(int row, const juce::MouseEvent& event) = 0;
};

// What a user-unit list shows: its rows, its columns (ids 1 to getNumColumns) and how each is painted.
class UserListViewInterface : public ListenerHolder<UserListViewListener>
{
public:
    ~UserListViewInterface() override = default;

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

// What a user-unit list does with the user's selection and drops.
class UserListControllerInterface
{
public:
    virtual ~UserListControllerInterface() = default;

    // The selected rows, ascending, after every selection change.
    virtual void selectionChanged(const std::vector<int>& rows) = 0;
    virtual void selectionFinished() = 0;
    virtual void listRefreshed() = 0;
    // A move: entry i of the order is the old row that row i receives.
    virtual void dragInsert(const std::vector<int>& newOrder, int insertRow) = 0;
    // A copy: target row to source row, ascending by target.
    virtual void dragCopy(const std::map<int, int>& targets, int targetRow) = 0;
};
} // namespace ui
