#pragma once

#include "ui/SelectionStatus.h"

namespace ui
{
class SelectedProgramStatusObserver
{
public:
    virtual ~SelectedProgramStatusObserver() = default;
    virtual void selectedProgramStatusChanged() = 0;
};

// The selected rows of the program table (program numbers 0 to 499).
class SelectedProgramStatus : public RowSelectionStatus<SelectedProgramStatus, SelectedProgramStatusObserver,
                                                        &SelectedProgramStatusObserver::selectedProgramStatusChanged>
{
private:
    friend class Singleton<SelectedProgramStatus>;
    SelectedProgramStatus() = default;
};
} // namespace ui
