#pragma once

#include <juce_core/juce_core.h>

#include <zlib.h>

#include <algorithm>

// The CRC-32 of a zip member, fed to zlib in pieces its 32-bit length can hold.
inline juce::uint32 zipCrc32Of(const juce::MemoryBlock& block)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* p = static_cast<const Bytef*>(block.getData());
    size_t left = block.getSize();
    while (left > 0)
    {
        const auto chunk = (uInt) std::min<size_t>(left, 1u << 20);
        crc = crc32(crc, p, chunk);
        p += chunk;
        left -= chunk;
    }
    return (juce::uint32) crc;
}
