#pragma once

#include "platform/midi/MidiBackend.h"

namespace platform::midi
{
// The socket bridge for end-to-end tests without MIDI hardware. The program connects to the
// Unix stream socket at a path (again at each enumeration while not connected); the peer is one
// device with one source and one destination, both named "Port 1". The peer's first bytes are
// the line "NAME <device name>\n"; then both directions carry raw MIDI bytes, ours written one
// whole message at a time, the peer's split anywhere. Connecting and disconnecting are setup
// changes; when the peer closes, the device disappears.
class BridgeMidiBackend : public MidiBackend
{
public:
    explicit BridgeMidiBackend(const juce::String& socketPath);
    ~BridgeMidiBackend() override;

    std::unique_ptr<MidiClient> createClient(const juce::String& clientName) override;

    // Whether a peer is connected now (tries to connect when it is not).
    bool connect();

    class Connection;

private:
    std::shared_ptr<Connection> connection;
};
} // namespace platform::midi
