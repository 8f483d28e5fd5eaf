#pragma once

#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "midi/MidiCommunicationTask.h"

namespace x47390_midi
{
// Program dump request; the received program stays in the task.
class ProgramDataReceiver : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(int programNumber); // 0, 3, 5 or 8
    const x47390_data::ProgramData& getProgramData() const { return program; }

private:
    x47390_data::ProgramData program;
};

// Live-set dump request; the task keeps the whole block the instrument sent.
class LivesetDataReceiver : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(); // 0, 3, 5 or 8
    const juce::MemoryBlock& getLivesetData() const { return liveset; }

private:
    juce::MemoryBlock liveset;
};

class TuneScaleDataReceiver : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(uint8_t index); // 0, 3, 5 or 8
    const x47390_data::TuneScaleData& getTuneScaleData() const { return scale; }

private:
    x47390_data::TuneScaleData scale;
};

class TuneOctDataReceiver : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(uint8_t index); // 0, 3, 5 or 8
    const x47390_data::TuneOctData& getTuneOctData() const { return octave; }

private:
    x47390_data::TuneOctData octave;
};
} // namespace x47390_midi
