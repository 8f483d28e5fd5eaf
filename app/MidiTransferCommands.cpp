#include "app/MidiTransferCommands.h"

namespace x47390_menu
{
bool performMidiCommand(int)
{
    return true;
}
} // namespace x47390_menu
