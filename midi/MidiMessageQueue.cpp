#include "midi/MidiMessageQueue.h"

namespace midi
{
void MidiMessageQueue::push(const uint8_t* bytes, size_t count)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        messages.push_back({Message(bytes, bytes + count), Clock::now()});
        bytesQueued += count;
        while (messages.size() > 1 && (messages.size() > maxMessages || bytesQueued > maxBytes))
        {
            bytesQueued -= messages.front().bytes.size();
            messages.pop_front();
        }
    }
    arrived.notify_one();
}

bool MidiMessageQueue::popUntil(Message& message, Clock::time_point deadline)
{
    std::unique_lock<std::mutex> guard(lock);
    for (;;)
    {
        // What is queued comes first, even when this thread comes late; a message from after the
        // deadline is left for the next wait.
        if (!messages.empty())
        {
            if (messages.front().arrival > deadline)
                return false;
            message = std::move(messages.front().bytes);
            bytesQueued -= message.size();
            messages.pop_front();
            return true;
        }
        if (interrupted || Clock::now() >= deadline)
            return false;
        arrived.wait_until(guard, deadline);
    }
}

void MidiMessageQueue::interrupt()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        interrupted = true;
    }
    arrived.notify_all();
}

void MidiMessageQueue::clearInterrupt()
{
    std::lock_guard<std::mutex> guard(lock);
    interrupted = false;
}

bool MidiMessageQueue::isEmpty() const
{
    std::lock_guard<std::mutex> guard(lock);
    return messages.empty();
}

size_t MidiMessageQueue::size() const
{
    std::lock_guard<std::mutex> guard(lock);
    return messages.size();
}

void MidiMessageQueue::clear()
{
    std::lock_guard<std::mutex> guard(lock);
    messages.clear();
    bytesQueued = 0;
}
} // namespace midi
