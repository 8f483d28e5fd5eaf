#pragma once

#include "platform/midi/MidiBackend.h"

namespace platform::midi
{
// The ALSA sequencer. Sources are the readable ports of other clients, destinations their
// writable ports (the system client excluded). Where the sequencer cannot be opened (no
// /dev/snd/seq) a client has no endpoints and opens no ports.
class AlsaMidiBackend : public MidiBackend
{
public:
    std::unique_ptr<MidiClient> createClient(const juce::String& clientName) override;
};
} // namespace platform::midi
