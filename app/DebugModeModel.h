#pragma once

#include "data/Singleton.h"

namespace x47390_application
{
// Developer and debug features, switched on by marker files in the preferences folder at start-up.
// Lives until the process ends (not deleted at shutdown).
class DebugModeModel : public Singleton<DebugModeModel>
{
public:
    bool isDeveloperMode = false;
    bool isDebugMode = false;

private:
    friend class Singleton<DebugModeModel>;
    DebugModeModel() = default;
};
} // namespace x47390_application
