#include "data/EditActionProtocol.h"

#include "data/DataEditStatus.h"

namespace x47390_action
{
void EditedFlagMemory::noteAndSetEdited()
{
    auto* status = application::DataEditStatus::getInstance();
    stateBefore = status->getState();
    if (stateAfter == 0)
        stateAfter = status->makeNewState();
    status->enterState(stateAfter);
}

void EditedFlagMemory::restoreEdited() const
{
    application::DataEditStatus::getInstance()->enterState(stateBefore);
}
} // namespace x47390_action
