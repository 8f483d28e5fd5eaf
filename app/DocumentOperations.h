#pragma once

#include <juce_core/juce_core.h>

// Opening, saving and filling the library document and the preset libraries. Operations that return a
// code give a read-error or write-error code (0 = success) and show nothing; the "Checked" ones, the
// user-unit load and the two saves show non-zero codes themselves. Message thread only.

namespace x47390_data
{
class LibraryData;
}

int openLibraryFile(const juce::File& file);
int saveLibraryFile(const juce::File& file);
int loadProgramFile(const juce::File& file, int programIndex);
int importPresetFile(const juce::File& file);
int reloadPresetLibraries();

bool saveLibrary();
bool saveLibraryAs();

// The first selected program row, or -1 when none is selected.
int getSelectedProgramIndex();

// Makes the library a copy of the source (the initial library when null) with the given file (none for
// a library that was never saved), unedited and without undo history.
void replaceLibraryDocument(const x47390_data::LibraryData* source, const juce::File& file);

// Asks whether unsaved edits may be discarded: 0 to go ahead, non-zero to stop.
int confirmDiscardChanges();

void openLibraryFileChecked(const juce::File& file);
void loadProgramFileIntoSelection(const juce::File& file);
void importPresetFileChecked(const juce::File& file);

// Loads a user-unit file into a slot of the kind the expected module type names (1 modulation effect,
// 2 delay effect, 3 reverb effect, 4 oscillator), as one undoable transaction. A unit of another kind is
// refused with "ReadErrorUserUnitFileWrongModule". With anyModuleType, the unit's own kind decides.
constexpr int anyModuleType = -1;
void loadUserUnitFile(const juce::File& file, int slotIndex, int expectedModuleType);
