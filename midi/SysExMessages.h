#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The instrument's system exclusive message set: 7-in-8 packing and every message the librarian sends.
namespace x47390_midi
{
using Bytes = std::vector<uint8_t>;

constexpr uint8_t manufacturerId = 0x7D;

// Function codes of the messages the librarian sends.
enum FunctionCode : uint8_t
{
    fnUserScaleRequest = 0x14,
    fnUserOctaveRequest = 0x15,
    fnLivesetRequest = 0x16,
    fnUserSlotHeaderRequest = 0x19,
    fnUserSlotClear = 0x1B,
    fnProgramRequest = 0x1C,
    fnUserSlotMove = 0x1E,
    fnCurrentProgram = 0x40,
    fnUserScaleWrite = 0x44,
    fnUserOctaveWrite = 0x45,
    fnLivesetWrite = 0x46,
    fnUserSlotUpload = 0x4A,
    fnProgramWrite = 0x4C,
};

// Module bytes of the user-slot messages.
enum ModuleByte : uint8_t
{
    moduleModFX = 1,
    moduleDelFX = 2,
    moduleRevFX = 3,
    moduleOsc = 4,
};

constexpr int programBinarySize = 336;
constexpr int tuneScaleSize = 384;
constexpr int tuneOctSize = 36;
constexpr int livesetBlockSize = 128;
constexpr int userSlotHeaderSize = 32;
constexpr uint8_t editBufferIndex = 0x7F;

// Bytes needed to pack count bytes: 336 -> 384, 128 -> 147, 32 -> 37.
constexpr size_t packedLength(size_t count)
{
    return (count / 7) * 8 + (count % 7 == 0 ? 0 : count % 7 + 1);
}

// Packs count bytes of source into destination, which must hold packedLength(count) bytes.
void packSysExData(uint8_t* destination, const uint8_t* source, size_t count);

// Unpacks count output bytes from source, reading exactly the packed length of count bytes.
void unpackSysExData(uint8_t* destination, const uint8_t* source, size_t count);

// Offset of the 16-bit little-endian program number of bank 0..3, position 0..7 in the live-set block.
constexpr int livesetEntryOffset(int bank, int position)
{
    return 4 + 32 * bank + 2 * position;
}

// Message builders. channel is the n of header byte 2 (0x30 + n), familyCode the device manager's.
Bytes makeIdentityRequest();
Bytes makeLivesetRequest(int channel, int familyCode);
Bytes makeProgramRequest(int channel, int familyCode, int programNumber);
Bytes makeTuneScaleRequest(int channel, int familyCode, uint8_t index);
Bytes makeTuneOctRequest(int channel, int familyCode, uint8_t index);
Bytes makeProgramWrite(int channel, int familyCode, int programNumber, const uint8_t* binary336);
Bytes makeTuneScaleWrite(int channel, int familyCode, uint8_t index, const uint8_t* notes384);
Bytes makeTuneOctWrite(int channel, int familyCode, uint8_t index, const uint8_t* notes36);
Bytes makeLivesetWrite(int channel, int familyCode, const uint8_t* block128);
Bytes makeCurrentProgram(int channel, int familyCode, const uint8_t* binary336);
Bytes makeUserSlotHeaderRequest(int channel, int familyCode, uint8_t module, int slot);
Bytes makeUserSlotMove(int channel, int familyCode, uint8_t module, int from, int to);
Bytes makeUserSlotClear(int channel, int familyCode, uint8_t module, int slot);
Bytes makeUserSlotUpload(int channel, int familyCode, uint8_t module, int slot, const uint8_t* payload,
                         size_t payloadSize);
} // namespace x47390_midi
