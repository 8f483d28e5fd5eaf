#pragma once

#include "data/ApplicationUndoManager.h"
#include "data/UserData.h"
#include "data/UserUnitEditActions.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"
#include "ui/UserListInterfaces.h"

namespace x47390_ui
{
// Hands a user-unit list's selection to its status and turns moves and copies dropped in the list
// into one undo transaction of set-slot actions each. Every action reads its source from a snapshot
// taken before the first one, so overlapping sources and targets get the entries as they were.
template <class Entry, class SetAction, class Status, Entry& (x47390_data::UserData::*slotOf)(int), int numRows>
class UserUnitListController : public ui::UserListControllerInterface
{
public:
    explicit UserUnitListController(x47390_data::UserData* data) : userData(data) {}

    void selectionChanged(const std::vector<int>& rows) override
    {
        auto* status = Status::getInstance();
        status->selection = rows;
        status->triggerAsyncUpdate();
    }

    void selectionFinished() override {}
    void listRefreshed() override {}

    void dragInsert(const std::vector<int>& newOrder, int) override
    {
        auto* undoManager = application::ApplicationUndoManager::getInstance();
        undoManager->beginNewTransaction("DragInsert");
        x47390_data::UserData snapshot(*userData);
        for (int row = 0; row < numRows && row < (int) newOrder.size(); ++row)
            if (const int source = newOrder[(size_t) row]; source != row)
                undoManager->perform(new SetAction(row, (snapshot.*slotOf)(source)));
    }

    void dragCopy(const std::map<int, int>& targets, int) override
    {
        auto* undoManager = application::ApplicationUndoManager::getInstance();
        undoManager->beginNewTransaction("DragCopy");
        x47390_data::UserData snapshot(*userData);
        for (const auto& [target, source] : targets)
            undoManager->perform(new SetAction(target, (snapshot.*slotOf)(source)));
    }

private:
    x47390_data::UserData* userData;
};

class UserOscListController
    : public UserUnitListController<x47390_data::UserOscData, x47390_action::SetUserOscDataAction,
                                    ui::SelectedUserOscStatus, &x47390_data::UserData::getUserOscData,
                                    x47390_data::UserData::numOscSlots>
{
public:
    using UserUnitListController::UserUnitListController;
};

class UserModFXListController
    : public UserUnitListController<x47390_data::UserModFXData, x47390_action::SetUserModFXDataAction,
                                    ui::SelectedUserModFXStatus, &x47390_data::UserData::getUserModFXData,
                                    x47390_data::UserData::numModFXSlots>
{
public:
    using UserUnitListController::UserUnitListController;
};

class UserDelFXListController
    : public UserUnitListController<x47390_data::UserDelFXData, x47390_action::SetUserDelFXDataAction,
                                    ui::SelectedUserDelFXStatus, &x47390_data::UserData::getUserDelFXData,
                                    x47390_data::UserData::numDelFXSlots>
{
public:
    using UserUnitListController::UserUnitListController;
};

class UserRevFXListController
    : public UserUnitListController<x47390_data::UserRevFXData, x47390_action::SetUserRevFXDataAction,
                                    ui::SelectedUserRevFXStatus, &x47390_data::UserData::getUserRevFXData,
                                    x47390_data::UserData::numRevFXSlots>
{
public:
    using UserUnitListController::UserUnitListController;
};
} // namespace x47390_ui
