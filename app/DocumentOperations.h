#pragma once

#include <juce_core/juce_core.h>

// Opening, saving and filling the library document and the preset libraries. Operations that return a
// code give a read-error or write-error code (0 = success) and show nothing; the "Checked" ones, the
// user-unit load and the two saves show non-zero codes themselves. Message thread only.

int openLibraryFile(const juce::File& file);
int saveLibraryFile(const juce::File& file);
int loadProgramFile(const juce::File& file, int programIndex);
int importPresetFile(const juce::File& file);
int reloadPresetLibraries();

bool saveLibrary();
bool saveLibraryAs();

// The first selected program row, or -1 when none is selected.
int getSelectedProgramIndex();

// Asks whether unsaved edits may be discarded: 0 to go ahead, non-zero to stop.
int confirmDiscardChanges();

void openLibraryFileChecked(const juce::File& file);
void loadProgramFileIntoSelection(const juce::File& file);
void importPresetFileChecked(const juce::File& file);

// Loads a user-unit file into a slot of the kind the expected module type names (1 modulation effect,
// 2 delay effect, 3 reverb effect, 4 oscillator).
void loadUserUnitFile(const juce::File& file, int slotIndex, int expectedModuleType);
