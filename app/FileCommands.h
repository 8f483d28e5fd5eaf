#pragma once

namespace x47390_menu
{
// Carries out the file commands (1 to 17 but 10 to 12) and the option commands (32 to 36); false where a command is refused.
bool performFileCommand(int commandId);
} // namespace x47390_menu
