#pragma once

#include "data/UserData.h"

#include <cstring>

namespace unittest
{
// A slot entry as loading a unit file builds it: module word, API version, unit version and name in
// the header, a payload of 64 bytes starting with that header.
template <class Entry = x47390_data::UserOscData>
Entry unitEntry(int module, juce::uint32 api, juce::uint32 version, const char* name, int state = 2)
{
    juce::MemoryBlock payload(64, true);
    auto* bytes = static_cast<juce::uint8*>(payload.getData());
    bytes[0] = (juce::uint8) module;
    for (int i = 0; i < 4; ++i)
    {
        bytes[2 + i] = (juce::uint8) (api >> (8 * i));
        bytes[14 + i] = (juce::uint8) (version >> (8 * i));
    }
    std::memcpy(bytes + 18, name, std::min<size_t>(std::strlen(name), 14));
    Entry entry;
    entry.setLoadedUnit(payload);
    entry.state = state;
    return entry;
}

// An oscillator entry told apart by its name.
inline x47390_data::UserOscData namedOsc(const juce::String& name)
{
    return unitEntry(4, 0x010000, 0x010200, name.toRawUTF8());
}
} // namespace unittest
