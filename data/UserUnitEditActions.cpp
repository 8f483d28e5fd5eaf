#include "data/UserUnitEditActions.h"

#include "data/DataCenter.h"

namespace x47390_action
{
x47390_data::UserData& detail::dataCenterUserData()
{
    return x47390_data::DataCenter::getInstance()->getUserData();
}

SetUserDataAction::SetUserDataAction(const x47390_data::UserData& userData) : newUserData(userData) {}

bool SetUserDataAction::perform()
{
    auto& current = detail::dataCenterUserData();
    savedUserData.copyFrom(current);
    current.copyFrom(newUserData);
    edited.noteAndSetEdited();
    return true;
}

bool SetUserDataAction::undo()
{
    detail::dataCenterUserData().copyFrom(savedUserData);
    edited.restoreEdited();
    return true;
}
} // namespace x47390_action
