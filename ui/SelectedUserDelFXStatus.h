#pragma once

#include "ui/SelectionStatus.h"

namespace ui
{
class SelectedUserDelFXStatusObserver
{
public:
    virtual ~SelectedUserDelFXStatusObserver() = default;
    virtual void selectedUserDelFXStatusChanged() = 0;
};

// The selected rows of the user delay effect list (slots 0 to 7).
class SelectedUserDelFXStatus
    : public RowSelectionStatus<SelectedUserDelFXStatus, SelectedUserDelFXStatusObserver,
                                &SelectedUserDelFXStatusObserver::selectedUserDelFXStatusChanged>
{
private:
    friend class Singleton<SelectedUserDelFXStatus>;
    SelectedUserDelFXStatus() = default;
};
} // namespace ui
