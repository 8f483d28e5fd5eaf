#include "midi/DataReceivers.h"

#include "midi/RecordBytes.h"

namespace x47390_midi
{
int ProgramDataReceiver::execute(int programNumber)
{
    // A dump of another program (one sent unasked or twice) is not this one's; the wait goes on for it.
    const auto reply = exchange(makeProgramRequest(channel, familyCode, programNumber),
                                {replyMessageBroken, replyProgramDump, replyNak}, requestTimeoutMs,
                                {replyProgramDump, programNumber & 0x3FFF});
    const int result = requestResult(reply, replyProgramDump);
    if (result == 0)
        storeReceived(program, reply.data);
    return result;
}

int LivesetDataReceiver::execute()
{
    const auto reply = exchange(makeLivesetRequest(channel, familyCode),
                                {replyMessageBroken, replyLivesetDump, replyNak}, requestTimeoutMs);
    const int result = requestResult(reply, replyLivesetDump);
    if (result == 0)
        liveset = reply.data;
    return result;
}

int TuneScaleDataReceiver::execute(uint8_t index)
{
    const auto reply =
        exchange(makeTuneScaleRequest(channel, familyCode, index), {replyMessageBroken, replyUserScaleDump, replyNak},
                 requestTimeoutMs, {replyUserScaleDump, index & 0x7F});
    const int result = requestResult(reply, replyUserScaleDump);
    if (result == 0)
        storeReceived(scale, reply.data);
    return result;
}

int TuneOctDataReceiver::execute(uint8_t index)
{
    const auto reply =
        exchange(makeTuneOctRequest(channel, familyCode, index), {replyMessageBroken, replyUserOctaveDump, replyNak},
                 requestTimeoutMs, {replyUserOctaveDump, index & 0x7F});
    const int result = requestResult(reply, replyUserOctaveDump);
    if (result == 0)
        storeReceived(octave, reply.data);
    return result;
}
} // namespace x47390_midi
