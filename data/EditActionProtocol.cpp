#include "data/EditActionProtocol.h"

#include "data/DataEditStatus.h"

namespace x47390_action
{
void EditedFlagMemory::noteAndSetEdited()
{
    auto* status = application::DataEditStatus::getInstance();
    editedBefore = status->isEdited();
    status->setEdited(true);
}

void EditedFlagMemory::restoreEdited() const
{
    if (!editedBefore)
        application::DataEditStatus::getInstance()->setEdited(false);
}
} // namespace x47390_action
