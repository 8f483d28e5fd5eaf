#pragma once

#include "data/ProgramData.h"
#include "data/Singleton.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "midi/AsyncCurrentDataTransmitters.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <functional>

namespace midi
{
class MidiCommunicationProcess;
}

namespace x47390_midi
{
// The one place through which the rest of the system talks to the instrument. It runs a transfer process under the
// modal communication dialog, and owns the three background senders that keep the instrument's edit buffer in step
// with the current program, user scale and user octave. Message thread.
class MidiCommunicationManager : public Singleton<MidiCommunicationManager>, public juce::DeletedAtShutdown
{
public:
    MidiCommunicationManager() = default;
    // Stops the octave, then the scale, then the program sender.
    ~MidiCommunicationManager() override = default;

    // Hand a copy to the sender, which sends it in the background; the caller never waits for the instrument. Each
    // copies what its sender sends (a program whole, a tuning's notes and MD5 text only). While isCommunicating is
    // set the hand-over is dropped.
    void transmitCurrentProgram(const x47390_data::ProgramData& program);
    void transmitCurrentTuneScale(const x47390_data::TuneScaleData& scale);
    void transmitCurrentTuneOct(const x47390_data::TuneOctData& octave);

    // Stops the background senders (dropping what is pending, finishing a send under way), then runs the process
    // under the modal communication dialog. 0 when the process succeeded, 1 otherwise. The caller owns the process.
    int executeProcess(midi::MidiCommunicationProcess* process);

    // Drops what the background senders hold and waits for a send under way: before a transfer, and before the
    // port they send through goes.
    void stopBackgroundSends();

    // For a program asked to end: cancels the running transfer without waiting for the user, and calls then once the
    // transfer's command has had its result. False when no transfer runs; then is not called.
    bool cancelTransfer(std::function<void()> then);

    // Hand-overs taken so far and the latest copy of each kind.
    int getNumProgramHandOvers() const { return programHandOvers; }
    int getNumTuneScaleHandOvers() const { return tuneScaleHandOvers; }
    int getNumTuneOctHandOvers() const { return tuneOctHandOvers; }
    x47390_data::ProgramData getPendingProgram() const { return programSender.getPendingCopy(); }
    x47390_data::TuneScaleData getPendingTuneScale() const { return scaleSender.getPendingCopy(); }
    x47390_data::TuneOctData getPendingTuneOct() const { return octaveSender.getPendingCopy(); }

    AsyncCurrentProgramTransmitter& getProgramSender() { return programSender; }
    AsyncCurrentTuneScaleTransmitter& getTuneScaleSender() { return scaleSender; }
    AsyncCurrentTuneOctTransmitter& getTuneOctSender() { return octaveSender; }

    // Set by the transfer commands around a modal transfer; read and written on the message thread.
    bool isCommunicating = false;

private:
    AsyncCurrentProgramTransmitter programSender;
    AsyncCurrentTuneScaleTransmitter scaleSender;
    AsyncCurrentTuneOctTransmitter octaveSender;
    std::function<void()> afterCancel;
    int programHandOvers = 0;
    int tuneScaleHandOvers = 0;
    int tuneOctHandOvers = 0;

    JUCE_DECLARE_NON_COPYABLE(MidiCommunicationManager)
};
} // namespace x47390_midi
