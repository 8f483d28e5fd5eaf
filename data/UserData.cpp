#include "data/UserData.h"

#include <cstdio>

namespace x47390_data
{
UserUnitSlotData& UserUnitSlotData::operator=(const UserUnitSlotData& source)
{
    if (this != &source)
        payload = source.payload;
    header = source.header;
    slot = source.slot;
    state = source.state;
    return *this;
}

void UserUnitSlotData::setLoadedUnit(const juce::MemoryBlock& unitData)
{
    payload = unitData;
    slot = -1;
    state = stateToUpload;
    header.fill(0);
    std::memcpy(header.data(), unitData.getData(), std::min(unitData.getSize(), (size_t) headerSize));
}

void UserUnitSlotData::setReceivedHeader(const void* headerBytes, size_t size, int slotNumber)
{
    payload.reset();
    header.fill(0);
    std::memcpy(header.data(), headerBytes, std::min(size, (size_t) headerSize));
    slot = slotNumber;
    state = getHeaderWord() != 0 ? stateOnInstrument : stateEmpty;
}

int UserUnitSlotData::getHeaderWord() const noexcept
{
    return (int) juce::ByteOrder::littleEndianShort(header.data());
}

int UserUnitSlotData::getModuleKind() const noexcept
{
    return getHeaderWord() & 0x7F;
}

int UserUnitSlotData::getPlatformCode() const noexcept
{
    return (getHeaderWord() >> 8) & 0x7F;
}

juce::uint32 UserUnitSlotData::readHeaderInt(int offset) const noexcept
{
    return juce::ByteOrder::littleEndianInt(header.data() + offset);
}

juce::uint32 UserUnitSlotData::getApiVersion() const noexcept
{
    return readHeaderInt(2);
}

juce::uint32 UserUnitSlotData::getDeveloperId() const noexcept
{
    return readHeaderInt(6);
}

juce::uint32 UserUnitSlotData::getUnitId() const noexcept
{
    return readHeaderInt(10);
}

juce::uint32 UserUnitSlotData::getUnitVersion() const noexcept
{
    return readHeaderInt(14);
}

juce::String UserUnitSlotData::getUnitName() const
{
    const auto* name = reinterpret_cast<const char*>(header.data() + nameOffset);
    size_t length = 0;
    while (length < (size_t) nameLength && name[length] != 0)
        ++length;
    // The instrument promises printable ASCII; anything else is dropped rather than misread.
    juce::String result;
    for (size_t i = 0; i < length; ++i)
        if (name[i] >= 0x20 && name[i] < 0x7F)
            result += juce::String::charToString((juce::juce_wchar) name[i]);
    return result;
}

namespace
{
template <class Entry, size_t N> Entry& pick(std::array<Entry, N>& table, int slotNumber, const char* kind)
{
    constexpr auto slots = (unsigned) N - 1;
    if ((unsigned) slotNumber < slots)
        return table[(size_t) slotNumber];
    std::printf("User %s slot index error: %d\n", kind, slotNumber);
    return table[slots];
}

template <class Entry, size_t N> void copySlots(std::array<Entry, N>& target, const std::array<Entry, N>& source)
{
    for (size_t i = 0; i + 1 < N; ++i)
        target[i] = source[i];
}
} // namespace

UserData& UserData::copyFrom(const UserData& source)
{
    copySlots(oscillators, source.oscillators);
    copySlots(modulationEffects, source.modulationEffects);
    copySlots(delayEffects, source.delayEffects);
    copySlots(reverbEffects, source.reverbEffects);
    return *this;
}

UserOscData& UserData::getUserOscData(int slotNumber)
{
    return pick(oscillators, slotNumber, "oscillator");
}

UserModFXData& UserData::getUserModFXData(int slotNumber)
{
    return pick(modulationEffects, slotNumber, "modulation fx");
}

UserDelFXData& UserData::getUserDelFXData(int slotNumber)
{
    return pick(delayEffects, slotNumber, "delay fx");
}

UserRevFXData& UserData::getUserRevFXData(int slotNumber)
{
    return pick(reverbEffects, slotNumber, "reverb fx");
}

const UserOscData& UserData::getUserOscData(int slotNumber) const
{
    return const_cast<UserData*>(this)->getUserOscData(slotNumber);
}

const UserModFXData& UserData::getUserModFXData(int slotNumber) const
{
    return const_cast<UserData*>(this)->getUserModFXData(slotNumber);
}

const UserDelFXData& UserData::getUserDelFXData(int slotNumber) const
{
    return const_cast<UserData*>(this)->getUserDelFXData(slotNumber);
}

const UserRevFXData& UserData::getUserRevFXData(int slotNumber) const
{
    return const_cast<UserData*>(this)->getUserRevFXData(slotNumber);
}
} // namespace x47390_data
