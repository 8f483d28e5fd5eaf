#pragma once

#include "ui/SelectionStatus.h"

namespace ui
{
class SelectedUserOscStatusObserver
{
public:
    virtual ~SelectedUserOscStatusObserver() = default;
    virtual void selectedUserOscStatusChanged() = 0;
};

// The selected rows of the user oscillator list (slots 0 to 15).
class SelectedUserOscStatus : public RowSelectionStatus<SelectedUserOscStatus, SelectedUserOscStatusObserver,
                                                        &SelectedUserOscStatusObserver::selectedUserOscStatusChanged>
{
private:
    friend class Singleton<SelectedUserOscStatus>;
    SelectedUserOscStatus() = default;
};
} // namespace ui
