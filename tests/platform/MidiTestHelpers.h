#pragma once

#include "platform/midi/MidiBackend.h"

#include <mutex>
#include <vector>

// Collects what an input port receives, packet by packet.
struct CollectingInput : platform::midi::MidiInputCallback
{
    void midiBytesReceived(const std::uint8_t* data, size_t size) override
    {
        std::lock_guard<std::mutex> guard(lock);
        packets.emplace_back(data, data + size);
    }

    std::vector<std::uint8_t> allBytes()
    {
        std::lock_guard<std::mutex> guard(lock);
        std::vector<std::uint8_t> all;
        for (auto& p : packets)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    }

    size_t numPackets()
    {
        std::lock_guard<std::mutex> guard(lock);
        return packets.size();
    }

    std::mutex lock;
    std::vector<std::vector<std::uint8_t>> packets;
};
