#pragma once

#include "platform/midi/MidiBackend.h"

namespace platform::midi
{
// The socket bridge for end-to-end tests without MIDI hardware. The program connects to the
// Unix stream socket at a path; the peer is one device with one source and one destination,
// both named "Port 1". The peer's first bytes are the line "NAME <device name>\n"; then both
// directions carry raw MIDI bytes, ours written one whole message at a time, the peer's split
// anywhere. Connecting and disconnecting are setup changes; when the peer closes, the device
// disappears.
//
// A thread of the backend connects, reads the name line and then the peer's bytes, and tries
// again every retry interval (and at once at each enumeration) while no peer is connected.
// Enumeration never waits for a peer: a peer that has not sent its name line yet is not listed.
class BridgeMidiBackend : public MidiBackend
{
public:
    static constexpr int retryIntervalMs = 200;
    // How long creating a client waits for a peer that is introducing itself.
    static constexpr int introductionWaitMs = 1000;
    // A peer that takes no byte for this long fails the write.
    static constexpr int writeStallTimeoutMs = 500;

    explicit BridgeMidiBackend(const juce::String& socketPath);
    ~BridgeMidiBackend() override;

    std::unique_ptr<MidiClient> createClient(const juce::String& clientName) override;

    // Waits until a peer is connected and has named itself, at most timeoutMs.
    bool connect(int timeoutMs);

    class Connection;

private:
    std::shared_ptr<Connection> connection;
};
} // namespace platform::midi
