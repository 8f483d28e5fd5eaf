#include "midi/DeviceInquiry.h"

#include "midi/MidiCommunicationProcess.h"

namespace x47390_midi
{
DeviceInquiry::DeviceInquiry(CJQZMidi* p) : MidiCommunicationTask(p, 0) {}

int DeviceInquiry::execute()
{
    const auto reply = exchange(makeIdentityRequest(), {replyIdentity}, identityTimeoutMs);
    if (reply.type != replyIdentity)
        return midi::resultTimeout;

    // Type 3 is exactly 15 bytes long.
    const auto* d = static_cast<const uint8_t*>(reply.data.getData());
    if (d[5] != manufacturerId || d[6] + 256 * d[7] != familyCode)
        return midi::resultTargetDevice;

    channel = d[2] & 0x0F;
    identity[0] = d[10];
    identity[1] = d[11];
    identity[2] = d[12];
    return midi::resultNoError;
}
} // namespace x47390_midi
