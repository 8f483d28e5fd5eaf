#pragma once

#include "ui/SelectionStatus.h"

namespace ui
{
class SelectedUserRevFXStatusObserver
{
public:
    virtual ~SelectedUserRevFXStatusObserver() = default;
    virtual void selectedUserRevFXStatusChanged() = 0;
};

// The selected rows of the user reverb effect list (slots 0 to 7).
class SelectedUserRevFXStatus
    : public RowSelectionStatus<SelectedUserRevFXStatus, SelectedUserRevFXStatusObserver,
                                &SelectedUserRevFXStatusObserver::selectedUserRevFXStatusChanged>
{
private:
    friend class Singleton<SelectedUserRevFXStatus>;
    SelectedUserRevFXStatus() = default;
};
} // namespace ui
