#pragma once

// Settings that the start-up applies and that the preferences command applies again when confirmed.

// Copies the port preferences into the MIDI device manager (start-up and the preferences command).
void applyMidiPortPreferences();

// Sets the program-list font heights from "ProgramListHeight" and tells the list views.
void applyProgramListFontHeight();
