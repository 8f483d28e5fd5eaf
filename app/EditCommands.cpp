#include "app/EditCommands.h"

namespace x47390_menu
{
bool performEditCommand(int)
{
    return true;
}
} // namespace x47390_menu
