#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace midi
{
// The received system exclusive messages of one communication task, oldest first, each with the time it
// arrived. The MIDI receive thread pushes, the task's own thread pops; a pop waits on a condition variable,
// so a waiting exchange uses no CPU.
class MidiMessageQueue
{
public:
    using Message = std::vector<uint8_t>;
    using Clock = std::chrono::steady_clock;

    // Bounds of what an unattended queue keeps: beyond them the oldest messages are dropped.
    static constexpr size_t maxMessages = 4096;
    static constexpr size_t maxBytes = 8u << 20;

    void push(const uint8_t* bytes, size_t count);

    // Takes the oldest message that arrived by the deadline; waits for one until the deadline passes. A message
    // that arrived later stays queued: it ends the wait (false) even while the waiting thread is still catching
    // up with older ones, so a stream of messages never keeps a wait beyond its deadline. False at once, with
    // nothing queued in time, after interrupt().
    bool popUntil(Message& message, Clock::time_point deadline);

    // Ends the current or next wait that finds nothing queued in time (any thread), until clearInterrupt().
    void interrupt();
    void clearInterrupt();

    bool isEmpty() const;
    size_t size() const;
    void clear();

private:
    struct Entry
    {
        Message bytes;
        Clock::time_point arrival;
    };

    mutable std::mutex lock;
    std::condition_variable arrived;
    std::deque<Entry> messages;
    size_t bytesQueued = 0;
    bool interrupted = false;
};
} // namespace midi
