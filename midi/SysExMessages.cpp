#include "midi/SysExMessages.h"

namespace x47390_midi
{
void packSysExData(uint8_t* destination, const uint8_t* source, size_t count)
{
    size_t out = 0;
    for (size_t start = 0; start < count; start += 7)
    {
        const size_t groupSize = count - start < 7 ? count - start : 7;
        uint8_t topBits = 0;
        for (size_t k = 0; k < groupSize; ++k)
            topBits |= (uint8_t) (((source[start + k] >> 7) & 1) << k);
        destination[out++] = topBits;
        for (size_t k = 0; k < groupSize; ++k)
            destination[out++] = source[start + k] & 0x7F;
    }
}

void unpackSysExData(uint8_t* destination, const uint8_t* source, size_t count)
{
    int counter = 0;
    uint8_t topBits = 0;
    size_t in = 0;
    for (size_t i = 0; i < count; ++i)
    {
        if (counter == 0)
        {
            topBits = source[in++];
            counter = 7;
        }
        destination[i] = (uint8_t) (((topBits << counter) & 0x80) | source[in++]);
        --counter;
    }
}

namespace
{
Bytes header(int channel, int familyCode, uint8_t function)
{
    return {0xF0,
            manufacturerId,
            (uint8_t) (0x30 + (channel & 0x0F)),
            0x00,
            (uint8_t) ((familyCode >> 8) & 0x7F),
            (uint8_t) (familyCode & 0x7F),
            function};
}

void appendPacked(Bytes& message, const uint8_t* source, size_t count)
{
    const size_t at = message.size();
    message.resize(at + packedLength(count));
    if (count > 0)
        packSysExData(message.data() + at, source, count);
}

void appendMasked(Bytes& message, const uint8_t* source, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        message.push_back(source[i] & 0x7F);
}

Bytes finished(Bytes message)
{
    message.push_back(0xF7);
    return message;
}

uint8_t low7(int value)
{
    return (uint8_t) (value & 0x7F);
}

Bytes indexRequest(int channel, int familyCode, uint8_t function, uint8_t index)
{
    auto message = header(channel, familyCode, function);
    message.push_back(index & 0x7F);
    return finished(std::move(message));
}

Bytes slotMessage(int channel, int familyCode, uint8_t function, uint8_t module, int slot)
{
    auto message = header(channel, familyCode, function);
    message.push_back(module & 0x7F);
    message.push_back(low7(slot));
    return finished(std::move(message));
}
} // namespace

Bytes makeIdentityRequest()
{
    return {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
}

Bytes makeLivesetRequest(int channel, int familyCode)
{
    return finished(header(channel, familyCode, fnLivesetRequest));
}

Bytes makeProgramRequest(int channel, int familyCode, int programNumber)
{
    auto message = header(channel, familyCode, fnProgramRequest);
    message.push_back(low7(programNumber));
    message.push_back(low7(programNumber >> 7));
    return finished(std::move(message));
}

Bytes makeTuneScaleRequest(int channel, int familyCode, uint8_t index)
{
    return indexRequest(channel, familyCode, fnUserScaleRequest, index);
}

Bytes makeTuneOctRequest(int channel, int familyCode, uint8_t index)
{
    return indexRequest(channel, familyCode, fnUserOctaveRequest, index);
}

Bytes makeProgramWrite(int channel, int familyCode, int programNumber, const uint8_t* binary336)
{
    auto message = header(channel, familyCode, fnProgramWrite);
    message.push_back(low7(programNumber));
    message.push_back(low7(programNumber >> 7));
    appendPacked(message, binary336, programBinarySize);
    return finished(std::move(message));
}

Bytes makeTuneScaleWrite(int channel, int familyCode, uint8_t index, const uint8_t* notes384)
{
    auto message = header(channel, familyCode, fnUserScaleWrite);
    message.push_back(index & 0x7F);
    appendMasked(message, notes384, tuneScaleSize);
    return finished(std::move(message));
}

Bytes makeTuneOctWrite(int channel, int familyCode, uint8_t index, const uint8_t* notes36)
{
    auto message = header(channel, familyCode, fnUserOctaveWrite);
    message.push_back(index & 0x7F);
    appendMasked(message, notes36, tuneOctSize);
    return finished(std::move(message));
}

Bytes makeLivesetWrite(int channel, int familyCode, const uint8_t* block128)
{
    auto message = header(channel, familyCode, fnLivesetWrite);
    appendPacked(message, block128, livesetBlockSize);
    return finished(std::move(message));
}

Bytes makeCurrentProgram(int channel, int familyCode, const uint8_t* binary336)
{
    auto message = header(channel, familyCode, fnCurrentProgram);
    appendPacked(message, binary336, programBinarySize);
    return finished(std::move(message));
}

Bytes makeUserSlotHeaderRequest(int channel, int familyCode, uint8_t module, int slot)
{
    return slotMessage(channel, familyCode, fnUserSlotHeaderRequest, module, slot);
}

Bytes makeUserSlotMove(int channel, int familyCode, uint8_t module, int from, int to)
{
    auto message = header(channel, familyCode, fnUserSlotMove);
    message.push_back(module & 0x7F);
    message.push_back(low7(from));
    message.push_back(low7(to));
    return finished(std::move(message));
}

Bytes makeUserSlotClear(int channel, int familyCode, uint8_t module, int slot)
{
    return slotMessage(channel, familyCode, fnUserSlotClear, module, slot);
}

Bytes makeUserSlotUpload(int channel, int familyCode, uint8_t module, int slot, const uint8_t* payload,
                         size_t payloadSize)
{
    // The upload block: payload size (32-bit little-endian), four zero bytes, the payload; all of it packed.
    Bytes block(8 + payloadSize, 0);
    const auto size32 = (uint32_t) payloadSize;
    for (int i = 0; i < 4; ++i)
        block[(size_t) i] = (uint8_t) (size32 >> (8 * i));
    for (size_t i = 0; i < payloadSize; ++i)
        block[8 + i] = payload[i];

    auto message = header(channel, familyCode, fnUserSlotUpload);
    message.push_back(module & 0x7F);
    message.push_back(low7(slot));
    appendPacked(message, block.data(), block.size());
    return finished(std::move(message));
}
} // namespace x47390_midi
