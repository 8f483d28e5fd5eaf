#pragma once

#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"

#include <cstdint>
#include <cstring>

// Byte access to the records that travel over MIDI.
namespace x47390_midi
{
inline const uint8_t* programBytes(const x47390_data::ProgramData& program)
{
    return program.binary.data();
}

inline const uint8_t* noteBytes(const x47390_data::TuneScaleData& scale)
{
    return scale.notes.data();
}

inline const uint8_t* noteBytes(const x47390_data::TuneOctData& octave)
{
    return octave.notes.data();
}

// Stores received bytes into a record: its first bytes, at most its size, the rest zero; then the MD5 text again.
template <class Record>
void storeReceivedBytes(Record& record, uint8_t* destination, size_t capacity, const juce::MemoryBlock& data)
{
    const size_t count = data.getSize() < capacity ? data.getSize() : capacity;
    std::memset(destination, 0, capacity);
    if (count > 0)
        std::memcpy(destination, data.getData(), count);
    record.updateHash();
}

inline void storeReceived(x47390_data::ProgramData& program, const juce::MemoryBlock& data)
{
    storeReceivedBytes(program, program.binary.data(), 336, data);
}

inline void storeReceived(x47390_data::TuneScaleData& scale, const juce::MemoryBlock& data)
{
    storeReceivedBytes(scale, scale.notes.data(), 384, data);
}

inline void storeReceived(x47390_data::TuneOctData& octave, const juce::MemoryBlock& data)
{
    storeReceivedBytes(octave, octave.notes.data(), 36, data);
}
} // namespace x47390_midi
