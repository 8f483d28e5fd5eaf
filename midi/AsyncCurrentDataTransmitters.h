#pragma once

#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "midi/AsyncCurrentDataTransmitter.h"
#include "midi/TuningTransferProcesses.h"

// The three background senders of the communication manager: the current program, user scale and user octave.
namespace x47390_midi
{
class AsyncCurrentProgramTransmitter final
    : public AsyncCurrentDataTransmitter<x47390_data::ProgramData, TransmitCurrentProgramProcess>
{
public:
    AsyncCurrentProgramTransmitter();
    ~AsyncCurrentProgramTransmitter() override;
};

// Only the notes and their MD5 text travel; the information texts stay behind.
class AsyncCurrentTuneScaleTransmitter final
    : public AsyncCurrentDataTransmitter<x47390_data::TuneScaleData, TransmitCurrentTuneScaleProcess>
{
public:
    AsyncCurrentTuneScaleTransmitter();
    ~AsyncCurrentTuneScaleTransmitter() override;
};

class AsyncCurrentTuneOctTransmitter final
    : public AsyncCurrentDataTransmitter<x47390_data::TuneOctData, TransmitCurrentTuneOctProcess>
{
public:
    AsyncCurrentTuneOctTransmitter();
    ~AsyncCurrentTuneOctTransmitter() override;
};
} // namespace x47390_midi
