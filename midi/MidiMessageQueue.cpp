#include "midi/MidiMessageQueue.h"

namespace midi
{
void MidiMessageQueue::push(const uint8_t* bytes, size_t count)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        messages.emplace_back(bytes, bytes + count);
        bytesQueued += count;
        while (messages.size() > 1 && (messages.size() > maxMessages || bytesQueued > maxBytes))
        {
            bytesQueued -= messages.front().size();
            messages.pop_front();
        }
    }
    arrived.notify_one();
}

bool MidiMessageQueue::popUntil(Message& message, std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> guard(lock);
    if (!arrived.wait_until(guard, deadline, [this] { return !messages.empty(); }))
        return false;
    message = std::move(messages.front());
    messages.pop_front();
    bytesQueued -= message.size();
    return true;
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
