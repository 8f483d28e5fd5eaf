#pragma once

namespace x47390_menu
{
// Carries out the edit commands 18 to 24; false where a command is refused.
bool performEditCommand(int commandId);
} // namespace x47390_menu
