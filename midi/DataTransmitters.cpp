#include "midi/DataTransmitters.h"

#include "midi/RecordBytes.h"

namespace x47390_midi
{
namespace
{
const std::vector<int> writeReplies{replyMessageBroken, replyAck, replyNak};
}

int ProgramDataTransmitter::execute(int programNumber, const x47390_data::ProgramData& program)
{
    return writeResult(exchange(makeProgramWrite(channel, familyCode, programNumber, programBytes(program)),
                                writeReplies, writeTimeoutMs));
}

int TuneScaleDataTransmitter::execute(uint8_t index, const x47390_data::TuneScaleData& scale)
{
    return writeResult(
        exchange(makeTuneScaleWrite(channel, familyCode, index, noteBytes(scale)), writeReplies, writeTimeoutMs));
}

int TuneOctDataTransmitter::execute(uint8_t index, const x47390_data::TuneOctData& octave)
{
    return writeResult(
        exchange(makeTuneOctWrite(channel, familyCode, index, noteBytes(octave)), writeReplies, writeTimeoutMs));
}

int LivesetDataTransmitter::execute(const uint8_t* block128)
{
    return writeResult(exchange(makeLivesetWrite(channel, familyCode, block128), writeReplies, writeTimeoutMs));
}

int CurrentProgramTransmitter::execute(const x47390_data::ProgramData& program)
{
    return writeResult(
        exchange(makeCurrentProgram(channel, familyCode, programBytes(program)), writeReplies, currentDataTimeoutMs));
}

int CurrentTuneScaleTransmitter::execute(const x47390_data::TuneScaleData& scale)
{
    return writeResult(exchange(makeTuneScaleWrite(channel, familyCode, editBufferIndex, noteBytes(scale)),
                                writeReplies, currentDataTimeoutMs));
}

int CurrentTuneOctTransmitter::execute(const x47390_data::TuneOctData& octave)
{
    return writeResult(exchange(makeTuneOctWrite(channel, familyCode, editBufferIndex, noteBytes(octave)), writeReplies,
                                currentDataTimeoutMs));
}
} // namespace x47390_midi
