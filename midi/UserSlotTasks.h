#pragma once

#include "data/UserData.h"
#include "midi/MidiCommunicationTask.h"

// Exchanges with the instrument's user-unit slots. Each answers 0, 3 (no reply), 5 (NAK), 8 (broken) or
// 9 (user communication error).
namespace x47390_midi
{
// Asks for one slot's unit header and keeps it as an entry of its kind.
template <class Entry, uint8_t moduleByte>
class UserSlotReceiver : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;

    int execute(int slot);
    const Entry& getEntry() const { return entry; }

private:
    Entry entry;
};

// Moves, clears and fills slots of one kind.
template <uint8_t moduleByte>
class UserSlotTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;

    int moveSlot(int from, int to);
    int clearSlot(int slot);
    int uploadSlot(int slot, const juce::MemoryBlock& payload);
};

class UserOscDataReceiver : public UserSlotReceiver<x47390_data::UserOscData, moduleOsc>
{
public:
    using UserSlotReceiver::UserSlotReceiver;
};
class UserModFXDataReceiver : public UserSlotReceiver<x47390_data::UserModFXData, moduleModFX>
{
public:
    using UserSlotReceiver::UserSlotReceiver;
};
class UserDelFXDataReceiver : public UserSlotReceiver<x47390_data::UserDelFXData, moduleDelFX>
{
public:
    using UserSlotReceiver::UserSlotReceiver;
};
class UserRevFXDataReceiver : public UserSlotReceiver<x47390_data::UserRevFXData, moduleRevFX>
{
public:
    using UserSlotReceiver::UserSlotReceiver;
};

class UserOscDataTransmitter : public UserSlotTransmitter<moduleOsc>
{
public:
    using UserSlotTransmitter::UserSlotTransmitter;
};
class UserModFXDataTransmitter : public UserSlotTransmitter<moduleModFX>
{
public:
    using UserSlotTransmitter::UserSlotTransmitter;
};
class UserDelFXDataTransmitter : public UserSlotTransmitter<moduleDelFX>
{
public:
    using UserSlotTransmitter::UserSlotTransmitter;
};
class UserRevFXDataTransmitter : public UserSlotTransmitter<moduleRevFX>
{
public:
    using UserSlotTransmitter::UserSlotTransmitter;
};

} // namespace x47390_midi
