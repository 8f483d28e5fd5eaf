#pragma once

// Settings that the start-up applies and that the preferences dialog applies again when confirmed.

// Copies the MIDI port preferences into the MIDI device manager: automatic search, or the two named ports.
void applyMidiPortPreferences();

// Sets the program-list fonts from "ProgramListHeight" (0.6 of the row height) and tells the lists to
// re-read their row height.
void applyProgramListFontHeight();
