#pragma once

#include "data/EditActionProtocol.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"

#include <juce_data_structures/juce_data_structures.h>

// Undoable edits of the library's user octaves and user scales. Slot numbers 0 to 5 name the
// library's slots; any other number works on the library's spare record.
namespace x47390_action
{
// Replaces the notes and MD5 text of a user octave (a loaded or received tuning); the slot keeps its texts.
class SetTuneOctDataAction : public juce::UndoableAction
{
public:
    SetTuneOctDataAction(int slotNumber, const x47390_data::TuneOctData& tuning);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 180; }

private:
    int slotNumber;
    x47390_data::TuneOctData newTuning;
    x47390_data::TuneOctData savedTuning;
    EditedFlagMemory edited;
};

class SetTuneScaleDataAction : public juce::UndoableAction
{
public:
    SetTuneScaleDataAction(int slotNumber, const x47390_data::TuneScaleData& tuning);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 868; }

private:
    int slotNumber;
    x47390_data::TuneScaleData newTuning;
    x47390_data::TuneScaleData savedTuning;
    EditedFlagMemory edited;
};

// An edit made in the tuning editor: a snapshot of the octave edit buffer taken when the action is
// built. Perform puts it back into the buffer and stores it into the slot (handing it to the
// instrument while live transmission is on); undo restores the slot only.
class SetTuneOctEditAction : public juce::UndoableAction
{
public:
    explicit SetTuneOctEditAction(int slotNumber);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 128; }

private:
    int slotNumber;
    x47390_data::TuneOctNotes snapshot;
    x47390_data::TuneOctData savedTuning;
    EditedFlagMemory edited;
};

class SetTuneScaleEditAction : public juce::UndoableAction
{
public:
    explicit SetTuneScaleEditAction(int slotNumber);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 820; }

private:
    int slotNumber;
    x47390_data::TuneScaleNotes snapshot;
    x47390_data::TuneScaleData savedTuning;
    EditedFlagMemory edited;
};
} // namespace x47390_action
