#pragma once

#include "ui/SelectionStatus.h"

namespace ui
{
class SelectedUserModFXStatusObserver
{
public:
    virtual ~SelectedUserModFXStatusObserver() = default;
    virtual void selectedUserModFXStatusChanged() = 0;
};

// The selected rows of the user modulation effect list (slots 0 to 15).
class SelectedUserModFXStatus
    : public RowSelectionStatus<SelectedUserModFXStatus, SelectedUserModFXStatusObserver,
                                &SelectedUserModFXStatusObserver::selectedUserModFXStatusChanged>
{
private:
    friend class Singleton<SelectedUserModFXStatus>;
    SelectedUserModFXStatus() = default;
};
} // namespace ui
