#pragma once

namespace x47390_menu
{
// Carries out the MIDI transfer commands 25 to 31 and 37 to 39; false where a command is refused.
bool performMidiCommand(int commandId);
} // namespace x47390_menu
