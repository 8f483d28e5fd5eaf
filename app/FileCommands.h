#pragma once

#include <functional>

namespace x47390_menu
{
// Carries out the file commands (1 to 17 but 10 to 12) and the option commands (32 to 36); false where a
// command is refused: Exit and Initialise refused while quitting is (below), by the discard question or, for
// Initialise, by its own question; and a dialog command that finds another dialog open.
bool performFileCommand(int commandId);

// Whether the program may not end now: a dialog, a file chooser or a transfer waits for its answer, or an
// instrument search runs.
bool isQuitRefused();

// How Exit and Initialise end the program: the application's quit, unless a test put something else.
using QuitRequest = std::function<void()>;
void setQuitRequest(QuitRequest request);
} // namespace x47390_menu
