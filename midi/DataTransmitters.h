#pragma once

#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "midi/MidiCommunicationTask.h"

// Writes of stored data and sends to the instrument's edit buffer. Each answers 0, 3 (no reply), 6 (NAK) or 8.
namespace x47390_midi
{
class ProgramDataTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(int programNumber, const x47390_data::ProgramData& program);
};

class TuneScaleDataTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(uint8_t index, const x47390_data::TuneScaleData& scale);
};

class TuneOctDataTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(uint8_t index, const x47390_data::TuneOctData& octave);
};

// Sends a 128-byte live-set block.
class LivesetDataTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(const uint8_t* block128);
};

class CurrentProgramTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(const x47390_data::ProgramData& program);
};

class CurrentTuneScaleTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(const x47390_data::TuneScaleData& scale);
};

class CurrentTuneOctTransmitter : public MidiCommunicationTask
{
public:
    using MidiCommunicationTask::MidiCommunicationTask;
    int execute(const x47390_data::TuneOctData& octave);
};
} // namespace x47390_midi
