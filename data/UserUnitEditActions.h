#pragma once

#include "data/EditActionProtocol.h"
#include "data/UserData.h"

#include <juce_data_structures/juce_data_structures.h>

// Undoable edits of the user-unit slots. A slot number beyond an action's table makes perform and
// undo return false without writing anything (the number taken as unsigned, so -1 is beyond too).
namespace x47390_action
{
namespace detail
{
struct OscKind
{
    using Entry = x47390_data::UserOscData;
    static Entry& entry(x47390_data::UserData& data, int slot) { return data.getUserOscData(slot); }
};

struct ModFXKind
{
    using Entry = x47390_data::UserModFXData;
    static Entry& entry(x47390_data::UserData& data, int slot) { return data.getUserModFXData(slot); }
};

struct DelFXKind
{
    using Entry = x47390_data::UserDelFXData;
    static Entry& entry(x47390_data::UserData& data, int slot) { return data.getUserDelFXData(slot); }
};

struct RevFXKind
{
    using Entry = x47390_data::UserRevFXData;
    static Entry& entry(x47390_data::UserData& data, int slot) { return data.getUserRevFXData(slot); }
};

x47390_data::UserData& dataCenterUserData();

// Writes one entry of one kind. Slots from 0 below acceptedSlots are taken; a slot the kind's table
// does not hold (delay and reverb 8 to 15) reaches the kind's spare entry with its diagnostic line.
template <class Kind, int acceptedSlots>
class UserEntryAction : public juce::UndoableAction
{
public:
    using Entry = typename Kind::Entry;

    UserEntryAction(int slot, const Entry& entry) : slotNumber(slot), newEntry(entry) {}

    bool perform() override
    {
        if (!isAccepted())
            return false;
        auto& target = Kind::entry(dataCenterUserData(), slotNumber);
        savedEntry = target;
        target = newEntry;
        edited.noteAndSetEdited();
        return true;
    }

    bool undo() override
    {
        if (!isAccepted())
            return false;
        Kind::entry(dataCenterUserData(), slotNumber) = savedEntry;
        edited.restoreEdited();
        return true;
    }

    int getSizeInUnits() override { return 132; }

private:
    bool isAccepted() const { return (unsigned) slotNumber < (unsigned) acceptedSlots; }

    int slotNumber;
    Entry newEntry;
    Entry savedEntry;
    EditedFlagMemory edited;
};
} // namespace detail

// Put an entry (a loaded unit, or one moved by a drag) into a slot.
class SetUserOscDataAction : public detail::UserEntryAction<detail::OscKind, 16>
{
public:
    using UserEntryAction::UserEntryAction;
};

class SetUserModFXDataAction : public detail::UserEntryAction<detail::ModFXKind, 16>
{
public:
    using UserEntryAction::UserEntryAction;
};

class SetUserDelFXDataAction : public detail::UserEntryAction<detail::DelFXKind, 16>
{
public:
    using UserEntryAction::UserEntryAction;
};

class SetUserRevFXDataAction : public detail::UserEntryAction<detail::RevFXKind, 16>
{
public:
    using UserEntryAction::UserEntryAction;
};

// Empty a slot (state 0: the next write clears it on the instrument).
class ClearUserOscDataAction : public detail::UserEntryAction<detail::OscKind, 16>
{
public:
    explicit ClearUserOscDataAction(int slot) : UserEntryAction(slot, Entry()) {}
};

class ClearUserModFXDataAction : public detail::UserEntryAction<detail::ModFXKind, 16>
{
public:
    explicit ClearUserModFXDataAction(int slot) : UserEntryAction(slot, Entry()) {}
};

class ClearUserDelFXDataAction : public detail::UserEntryAction<detail::DelFXKind, 8>
{
public:
    explicit ClearUserDelFXDataAction(int slot) : UserEntryAction(slot, Entry()) {}
};

class ClearUserRevFXDataAction : public detail::UserEntryAction<detail::RevFXKind, 8>
{
public:
    explicit ClearUserRevFXDataAction(int slot) : UserEntryAction(slot, Entry()) {}
};

// Installs user data received from the instrument; the spare entries stay as they were.
class SetUserDataAction : public juce::UndoableAction
{
public:
    explicit SetUserDataAction(const x47390_data::UserData& userData);
    bool perform() override;
    bool undo() override;
    int getSizeInUnits() override { return 6672; }

private:
    x47390_data::UserData newUserData;
    x47390_data::UserData savedUserData;
    EditedFlagMemory edited;
};
} // namespace x47390_action
