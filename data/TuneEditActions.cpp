#include "data/TuneEditActions.h"

#include "data/CurrentTuneOctData.h"
#include "data/CurrentTuneScaleData.h"
#include "data/DataCenter.h"

namespace x47390_action
{
namespace
{
x47390_data::LibraryData& library()
{
    return x47390_data::DataCenter::getInstance()->getLibraryData();
}

bool isOctSlot(int slotNumber)
{
    return (unsigned) slotNumber < (unsigned) x47390_data::LibraryData::numTuneOcts;
}

bool isScaleSlot(int slotNumber)
{
    return (unsigned) slotNumber < (unsigned) x47390_data::LibraryData::numTuneScales;
}

template <class Notes>
void copyMasked(Notes& target, const Notes& source)
{
    for (size_t i = 0; i < target.size(); ++i)
        target[i] = (juce::uint8)(source[i] & 0x7F);
}
} // namespace

//==============================================================================
SetTuneOctDataAction::SetTuneOctDataAction(int slot, const x47390_data::TuneOctData& tuning)
    : slotNumber(slot), newTuning(tuning)
{
}

bool SetTuneOctDataAction::perform()
{
    auto& target = library().getTuneOctData(slotNumber);
    savedTuning.copyNotesFrom(target);
    target.copyNotesFrom(newTuning);
    edited.noteAndSetEdited();
    return true;
}

bool SetTuneOctDataAction::undo()
{
    library().getTuneOctData(slotNumber).copyNotesFrom(savedTuning);
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetTuneScaleDataAction::SetTuneScaleDataAction(int slot, const x47390_data::TuneScaleData& tuning)
    : slotNumber(slot), newTuning(tuning)
{
}

bool SetTuneScaleDataAction::perform()
{
    auto& target = library().getTuneScaleData(slotNumber);
    savedTuning.copyNotesFrom(target);
    target.copyNotesFrom(newTuning);
    edited.noteAndSetEdited();
    return true;
}

bool SetTuneScaleDataAction::undo()
{
    library().getTuneScaleData(slotNumber).copyNotesFrom(savedTuning);
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetTuneOctEditAction::SetTuneOctEditAction(int slot) : slotNumber(slot)
{
    x47390_data::CurrentTuneOctData::getInstance();
    snapshot = x47390_data::CurrentTuneOctData::editBuffer;
}

bool SetTuneOctEditAction::perform()
{
    // What is saved and what is written are the same slot, so undo restores the slot that changed.
    auto& target = library().getTuneOctData(slotNumber);
    savedTuning.copyNotesFrom(target);
    x47390_data::CurrentTuneOctData::getInstance();
    x47390_data::CurrentTuneOctData::editBuffer = snapshot;
    if (isOctSlot(slotNumber))
    {
        x47390_data::CurrentTuneOctData::setTuneOctToTuningList(slotNumber);
    }
    else
    {
        copyMasked(target.notes, snapshot);
        target.updateHash();
    }
    edited.noteAndSetEdited();
    return true;
}

bool SetTuneOctEditAction::undo()
{
    library().getTuneOctData(slotNumber).copyNotesFrom(savedTuning);
    edited.restoreEdited();
    return true;
}

//==============================================================================
SetTuneScaleEditAction::SetTuneScaleEditAction(int slot) : slotNumber(slot)
{
    x47390_data::CurrentTuneScaleData::getInstance();
    snapshot = x47390_data::CurrentTuneScaleData::editBuffer;
}

bool SetTuneScaleEditAction::perform()
{
    auto& target = library().getTuneScaleData(slotNumber);
    savedTuning.copyNotesFrom(target);
    x47390_data::CurrentTuneScaleData::getInstance();
    x47390_data::CurrentTuneScaleData::editBuffer = snapshot;
    if (isScaleSlot(slotNumber))
    {
        x47390_data::CurrentTuneScaleData::setTuneScaleToTuningList(slotNumber);
    }
    else
    {
        copyMasked(target.notes, snapshot);
        target.updateHash();
    }
    edited.noteAndSetEdited();
    return true;
}

bool SetTuneScaleEditAction::undo()
{
    library().getTuneScaleData(slotNumber).copyNotesFrom(savedTuning);
    edited.restoreEdited();
    return true;
}
} // namespace x47390_action
