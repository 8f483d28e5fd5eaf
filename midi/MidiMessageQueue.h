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
// The received system exclusive messages of one communication task, oldest first. The MIDI receive thread pushes,
// the task's own thread pops; a pop waits on a condition variable, so a waiting exchange uses no CPU.
class MidiMessageQueue
{
public:
    using Message = std::vector<uint8_t>;

    // Bounds of what an unattended queue keeps: beyond them the oldest messages are dropped.
    static constexpr size_t maxMessages = 4096;
    static constexpr size_t maxBytes = 8u << 20;

    void push(const uint8_t* bytes, size_t count);

    // Takes the oldest message; waits until one arrives or until the deadline passes (then returns false).
    bool popUntil(Message& message, std::chrono::steady_clock::time_point deadline);

    bool isEmpty() const;
    size_t size() const;
    void clear();

private:
    mutable std::mutex lock;
    std::condition_variable arrived;
    std::deque<Message> messages;
    size_t bytesQueued = 0;
};
} // namespace midi
