#pragma once

#include "midi/MidiCommunicationTask.h"

namespace x47390_midi
{
// The identity exchange: finds the instrument's channel and its identity bytes 10 to 12.
class DeviceInquiry : public MidiCommunicationTask
{
public:
    explicit DeviceInquiry(CJQZMidi* port);

    // 0, 3 (no identity reply) or 4 (another maker or family).
    int execute();

    int getFoundChannel() const { return channel; }
    int getIdentityByte(int index) const { return identity[index - 10]; } // index 10, 11 or 12

private:
    int identity[3] = {0, 0, 0};
};
} // namespace x47390_midi
