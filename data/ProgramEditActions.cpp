#include "data/ProgramEditActions.h"

#include "data/DataCenter.h"

namespace x47390_action
{
namespace
{
x47390_data::LibraryData& library()
{
    return x47390_data::DataCenter::getInstance()->getLibraryData();
}

// Program p of the library, or the spare program with a diagnostic line for a number out of range.
x47390_data::ProgramData& targetProgram(int programNumber)
{
    return library().getProgramData(programNumber);
}
} // namespace

//==============================================================================
InitializeProgramDataAction::InitializeProgramDataAction(int number) : programNumber(number) {}

bool InitializeProgramDataAction::perform()
{
    auto& target = targetProgram(programNumber);
    savedProgram = target;
    target.binary = x47390_data::initProgramTemplate;
    target.updateHash();
    edited.noteAndSetEdited();
    return true;
}

bool InitializeProgramDataAction::undo()
{
    targetProgram(programNumber) = savedProgram;
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetProgramDataAction::SetProgramDataAction(int number, const x47390_data::ProgramData& program)
    : programNumber(number), newProgram(program)
{
}

bool SetProgramDataAction::perform()
{
    auto& target = targetProgram(programNumber);
    savedProgram = target;
    target = newProgram;
    edited.noteAndSetEdited();
    return true;
}

bool SetProgramDataAction::undo()
{
    targetProgram(programNumber) = savedProgram;
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetProgramNameAction::SetProgramNameAction(int number, const juce::String& name)
    : programNumber(number), savedProgram(targetProgram(number)), newName(name)
{
}

bool SetProgramNameAction::perform()
{
    targetProgram(programNumber).setName(newName);
    edited.noteAndSetEdited();
    return true;
}

bool SetProgramNameAction::undo()
{
    targetProgram(programNumber) = savedProgram;
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetProgramTuningAction::SetProgramTuningAction(int number, juce::uint8 tuning)
    : programNumber(number), savedProgram(targetProgram(number)), newTuning(tuning)
{
}

bool SetProgramTuningAction::perform()
{
    auto& target = targetProgram(programNumber);
    target.binary[x47390_data::ProgramData::tuningOffset] = newTuning;
    target.updateHash();
    edited.noteAndSetEdited();
    return true;
}

bool SetProgramTuningAction::undo()
{
    targetProgram(programNumber) = savedProgram;
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetFavoriteParameterAction::SetFavoriteParameterAction(int b, int e, int number)
    : bank(b), entry(e), newProgramNumber(number)
{
}

bool SetFavoriteParameterAction::isValidEntry() const
{
    return (unsigned) bank < (unsigned) x47390_data::FavoriteData::numBanks &&
           (unsigned) entry < (unsigned) x47390_data::FavoriteData::numSlots;
}

bool SetFavoriteParameterAction::perform()
{
    if (!isValidEntry())
        return false;
    auto& target = library().getFavoriteData().entries[(size_t) bank][(size_t) entry];
    savedProgramNumber = target;
    target = newProgramNumber;
    edited.noteAndSetEdited();
    return true;
}

bool SetFavoriteParameterAction::undo()
{
    if (!isValidEntry())
        return false;
    library().getFavoriteData().entries[(size_t) bank][(size_t) entry] = savedProgramNumber;
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetLibraryDataAction::SetLibraryDataAction(const x47390_data::LibraryData& library) : newLibrary(library) {}

bool SetLibraryDataAction::perform()
{
    auto& current = library();
    savedLibrary.copyFrom(current);
    current.copyFrom(newLibrary);
    edited.noteAndSetEdited();
    return true;
}

bool SetLibraryDataAction::undo()
{
    library().copyFrom(savedLibrary);
    edited.restoreEdited();
    return true;
}
} // namespace x47390_action
