#pragma once

#include "data/Data.h"

#include <juce_core/juce_core.h>

#include <array>

namespace x47390_data
{
// One user-unit slot entry: the unit header, where the unit is on the instrument and what a write must do.
// The four kinds share this shape; each is its own class so that slots of different kinds do not mix.
class UserUnitSlotData : public data::Data
{
public:
    static constexpr int headerSize = 32;
    static constexpr int nameOffset = 18;
    static constexpr int nameLength = 14;

    // Values of state; others are carried but acted on by nobody.
    static constexpr int stateEmpty = 0;        // to be cleared on the next write
    static constexpr int stateOnInstrument = 1; // in the instrument slot that slot names
    static constexpr int stateToUpload = 2;     // payload to be written into this slot

    UserUnitSlotData() { header.fill(0); }
    UserUnitSlotData(const UserUnitSlotData&) = default;
    UserUnitSlotData& operator=(const UserUnitSlotData& source);
    ~UserUnitSlotData() override = default;

    // A unit loaded from a file: state 2, slot -1, header := the first 32 bytes of the unit data.
    void setLoadedUnit(const juce::MemoryBlock& unitData);
    // A slot header reported by the instrument: empty payload, state 1 unless the header's first word is 0.
    void setReceivedHeader(const void* headerBytes, size_t size, int slotNumber);

    // Header fields (numbers little-endian).
    int getHeaderWord() const noexcept;   // bytes 0-1; 0 for an empty slot
    int getModuleKind() const noexcept;   // bits 0-6 of the header word
    int getPlatformCode() const noexcept; // bits 8-14 of the header word
    juce::uint32 getApiVersion() const noexcept;
    juce::uint32 getDeveloperId() const noexcept;
    juce::uint32 getUnitId() const noexcept;
    juce::uint32 getUnitVersion() const noexcept;
    // The name field up to its first NUL, never beyond its 14 bytes.
    juce::String getUnitName() const;

    juce::MemoryBlock payload;
    std::array<juce::uint8, headerSize> header;
    int slot = -1;
    int state = stateEmpty;

private:
    juce::uint32 readHeaderInt(int offset) const noexcept;
};

class UserOscData : public UserUnitSlotData
{
};
class UserModFXData : public UserUnitSlotData
{
};
class UserDelFXData : public UserUnitSlotData
{
};
class UserRevFXData : public UserUnitSlotData
{
};

// The user-unit slots of the instrument, each table with a spare entry for slot numbers out of range.
class UserData : public data::Data
{
public:
    static constexpr int numOscSlots = 16;
    static constexpr int numModFXSlots = 16;
    static constexpr int numDelFXSlots = 8;
    static constexpr int numRevFXSlots = 8;

    UserData() = default;
    UserData(const UserData&) = default; // every entry, the spares included
    UserData& operator=(const UserData&) = delete;
    ~UserData() override = default;

    // Copies the slots, not the spare entries.
    UserData& copyFrom(const UserData& source);

    // Out of range (taken as unsigned): prints the kind's diagnostic line and gives the spare entry.
    UserOscData& getUserOscData(int slotNumber);
    UserModFXData& getUserModFXData(int slotNumber);
    UserDelFXData& getUserDelFXData(int slotNumber);
    UserRevFXData& getUserRevFXData(int slotNumber);
    const UserOscData& getUserOscData(int slotNumber) const;
    const UserModFXData& getUserModFXData(int slotNumber) const;
    const UserDelFXData& getUserDelFXData(int slotNumber) const;
    const UserRevFXData& getUserRevFXData(int slotNumber) const;

    std::array<UserOscData, numOscSlots + 1> oscillators;
    std::array<UserModFXData, numModFXSlots + 1> modulationEffects;
    std::array<UserDelFXData, numDelFXSlots + 1> delayEffects;
    std::array<UserRevFXData, numRevFXSlots + 1> reverbEffects;
};

// The content of one user-unit file as read from disk.
class UserUnitData : public data::Data
{
public:
    ~UserUnitData() override = default;

    juce::MemoryBlock unitData;
    juce::String message{"Uninitialized data."};
};
} // namespace x47390_data
