#include "app/FileCommands.h"

namespace x47390_menu
{
bool performFileCommand(int)
{
    return true;
}
} // namespace x47390_menu
