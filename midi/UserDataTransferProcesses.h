#pragma once

#include "data/UserData.h"
#include "midi/MidiCommunicationProcess.h"

// The user-unit slots: receive every slot's unit header, and make the instrument match the user data.
namespace x47390_midi
{
class ReceiveUserDataProcess : public midi::MidiCommunicationProcess
{
public:
    explicit ReceiveUserDataProcess(x47390_data::UserData* target);

    int execute() override; // 0, 1, 3, 4, 5, 8 or 9
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return true; }

private:
    x47390_data::UserData* target;
};

// Moves, clears and uploads slots so that the instrument matches the user data. The run works on a copy taken at
// construction (on the message thread); installSlotStates() puts the new slot numbers and states into the user data,
// on the message thread once the run is over, whatever its result, so no view reads an entry while it changes.
class WriteUserDataProcess : public midi::MidiCommunicationProcess
{
public:
    explicit WriteUserDataProcess(x47390_data::UserData* userData);

    int execute() override; // 0, 1, 3, 4, 5, 8 or 9
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return true; }

    // Message thread, after execute() has returned: copies every entry's slot and state from the run's copy.
    void installSlotStates();

    // The run's copy of the user data.
    const x47390_data::UserData& getWorkingCopy() const { return working; }

private:
    x47390_data::UserData* userData;
    x47390_data::UserData working;
};

// True when the instrument's identity bytes 10 to 12 name a revision without user-unit slots.
bool isUserSlotRevisionGated(const int identity[3]);
} // namespace x47390_midi
