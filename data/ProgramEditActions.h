#pragma once

#include "data/EditActionProtocol.h"
#include "data/LibraryData.h"
#include "data/ProgramData.h"

#include <juce_data_structures/juce_data_structures.h>

// Undoable edits of the library's programs, live set and whole library. Each action keeps its
// target by number and the values by copy, never a pointer into the library.
namespace x47390_action
{
// Puts the initial program binary into a program; its Programmer and Comment stay.
class InitializeProgramDataAction : public juce::UndoableAction
{
public:
    explicit InitializeProgramDataAction(int programNumber);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 388; }

private:
    int programNumber;
    x47390_data::ProgramData savedProgram;
    EditedFlagMemory edited;
};

// Replaces a program whole: binary, texts and MD5 text.
class SetProgramDataAction : public juce::UndoableAction
{
public:
    SetProgramDataAction(int programNumber, const x47390_data::ProgramData& program);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 772; }

private:
    int programNumber;
    x47390_data::ProgramData newProgram;
    x47390_data::ProgramData savedProgram;
    EditedFlagMemory edited;
};

// Renames a program. The program as it was is taken once, when the action is built.
class SetProgramNameAction : public juce::UndoableAction
{
public:
    SetProgramNameAction(int programNumber, const juce::String& newName);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 408; }

private:
    int programNumber;
    x47390_data::ProgramData savedProgram;
    juce::String newName;
    EditedFlagMemory edited;
};

// Sets a program's tuning selection byte. The program as it was is taken when the action is built.
class SetProgramTuningAction : public juce::UndoableAction
{
public:
    SetProgramTuningAction(int programNumber, juce::uint8 newTuning);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 390; }

private:
    int programNumber;
    x47390_data::ProgramData savedProgram;
    juce::uint8 newTuning;
    EditedFlagMemory edited;
};

// Assigns a program number (500: none) to one live-set entry. A bank outside 0 to 3 or an entry
// outside 0 to 7 is refused: perform returns false and nothing changes.
class SetFavoriteParameterAction : public juce::UndoableAction
{
public:
    SetFavoriteParameterAction(int bank, int entry, int newProgramNumber);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 20; }

private:
    bool isValidEntry() const;

    int bank;
    int entry;
    int newProgramNumber;
    int savedProgramNumber = 500;
    EditedFlagMemory edited;
};

// Installs a whole library (a received one) with the library's own copy, which leaves the texts
// of the user scales and octaves alone.
class SetLibraryDataAction : public juce::UndoableAction
{
public:
    explicit SetLibraryDataAction(const x47390_data::LibraryData& library);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 392368; }

private:
    x47390_data::LibraryData newLibrary;
    x47390_data::LibraryData savedLibrary;
    EditedFlagMemory edited;
};
} // namespace x47390_action
