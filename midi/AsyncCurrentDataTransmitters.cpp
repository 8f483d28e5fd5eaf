#include "midi/AsyncCurrentDataTransmitters.h"

namespace x47390_midi
{
namespace
{
// The program travels whole: binary, information texts and MD5 text.
void copyProgram(x47390_data::ProgramData& destination, const x47390_data::ProgramData& source)
{
    destination = source;
}

void copyScaleNotes(x47390_data::TuneScaleData& destination, const x47390_data::TuneScaleData& source)
{
    destination.copyNotesFrom(source);
}

void copyOctNotes(x47390_data::TuneOctData& destination, const x47390_data::TuneOctData& source)
{
    destination.copyNotesFrom(source);
}
} // namespace

// Each stops its thread before its own part goes.
AsyncCurrentProgramTransmitter::AsyncCurrentProgramTransmitter()
    : AsyncCurrentDataTransmitter("AsyncCurrentProgramTransmitter", copyProgram)
{
}

AsyncCurrentProgramTransmitter::~AsyncCurrentProgramTransmitter()
{
    stop();
}

AsyncCurrentTuneScaleTransmitter::AsyncCurrentTuneScaleTransmitter()
    : AsyncCurrentDataTransmitter("AsyncCurrentTuneScaleTransmitter", copyScaleNotes)
{
}

AsyncCurrentTuneScaleTransmitter::~AsyncCurrentTuneScaleTransmitter()
{
    stop();
}

AsyncCurrentTuneOctTransmitter::AsyncCurrentTuneOctTransmitter()
    : AsyncCurrentDataTransmitter("AsyncCurrentTuneOctTransmitter", copyOctNotes)
{
}

AsyncCurrentTuneOctTransmitter::~AsyncCurrentTuneOctTransmitter()
{
    stop();
}
} // namespace x47390_midi
