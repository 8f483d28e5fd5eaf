#pragma once

#include "data/ProgramData.h"
#include "data/Singleton.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

namespace x47390_midi
{
// The one place through which the rest of the system talks to the instrument. Holders of current data
// hand copies over and return at once; the latest copy of each kind waits here for its sender.
class MidiCommunicationManager : public Singleton<MidiCommunicationManager>, public juce::DeletedAtShutdown
{
public:
    MidiCommunicationManager() = default;
    ~MidiCommunicationManager() override = default;

    // Each copies what its sender sends (a program whole, a tuning's notes and MD5 text only).
    // While busy is set the hand-over is dropped.
    void transmitCurrentProgram(const x47390_data::ProgramData& program);
    void transmitCurrentTuneScale(const x47390_data::TuneScaleData& scale);
    void transmitCurrentTuneOct(const x47390_data::TuneOctData& octave);

    // Hand-overs taken so far and the latest copy of each kind.
    int getNumProgramHandOvers() const;
    int getNumTuneScaleHandOvers() const;
    int getNumTuneOctHandOvers() const;
    x47390_data::ProgramData getPendingProgram() const;
    x47390_data::TuneScaleData getPendingTuneScale() const;
    x47390_data::TuneOctData getPendingTuneOct() const;

    // True while a modal transfer is under way; read and written on the message thread.
    bool busy = false;

private:
    juce::CriticalSection lock;
    x47390_data::ProgramData pendingProgram;
    x47390_data::TuneScaleData pendingTuneScale;
    x47390_data::TuneOctData pendingTuneOct;
    int programHandOvers = 0;
    int tuneScaleHandOvers = 0;
    int tuneOctHandOvers = 0;

    JUCE_DECLARE_NON_COPYABLE(MidiCommunicationManager)
};
} // namespace x47390_midi
