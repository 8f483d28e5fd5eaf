#pragma once

#include "tools/simulator/SimulatedInstrument.h"

#include <atomic>
#include <string>
#include <thread>

namespace simulator
{
// Serves a simulated instrument on a MIDI bridge socket: listens at a Unix socket path, and for
// each connection (one at a time) sends "NAME <device name>\n", then answers the MIDI bytes it
// reads. Replies are written whole, after the instrument's reply delay.
class BridgeInstrumentServer
{
public:
    BridgeInstrumentServer(SimulatedInstrument& instrument, std::string socketPath,
                           std::string deviceName = "sonavire");
    ~BridgeInstrumentServer();

    // Binds and starts serving on a thread of its own; false when the socket cannot be made.
    bool start();
    void stop();

    // Serves on the calling thread until stop() (from another thread) or a fatal error.
    bool serveForever();

    // Bytes sent to the peer are split into pieces of at most this size (0: whole).
    void setWriteChunkSize(size_t bytes) { chunkSize = bytes; }

    int getNumConnections() const { return connections; }

    // A peer that stops reading: while false, nothing is read from the program (replies still go out).
    void setReading(bool read) { reading = read; }

private:
    bool bindSocket();
    void serve();
    void serveConnection(int fd);

    SimulatedInstrument& instrument;
    const std::string path;
    const std::string name;
    int listener = -1;
    std::atomic<bool> stopping{false};
    std::atomic<size_t> chunkSize{0};
    std::atomic<int> connections{0};
    std::atomic<bool> reading{true};
    std::thread thread;
};
} // namespace simulator
