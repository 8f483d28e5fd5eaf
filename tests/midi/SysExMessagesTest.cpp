#include "midi/SysExMessages.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace x47390_midi;

namespace
{
constexpr int family = 0x0135;

Bytes hex(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back((uint8_t) v);
    return out;
}

Bytes counting(size_t count, int start = 0)
{
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = (uint8_t) ((int) i * 37 + start);
    return bytes;
}

Bytes pack(const Bytes& source)
{
    Bytes out(packedLength(source.size()));
    packSysExData(out.data(), source.data(), source.size());
    return out;
}
} // namespace

TEST(SysExPacking, PackedLengths)
{
    EXPECT_EQ(packedLength(336), 384u);
    EXPECT_EQ(packedLength(128), 147u);
    EXPECT_EQ(packedLength(32), 37u);
    EXPECT_EQ(packedLength(8), 10u);
    EXPECT_EQ(packedLength(7), 8u);
    EXPECT_EQ(packedLength(1), 2u);
    EXPECT_EQ(packedLength(0), 0u);
}

TEST(SysExPacking, TopBitsGoFirstLowBitFirst)
{
    EXPECT_EQ(pack(hex({0x81, 0x02, 0x83, 0x04, 0x85, 0x06, 0x87, 0xFF, 0x7F})),
              hex({0x55, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x01, 0x7F, 0x7F}));
}

TEST(SysExPacking, RoundTripKeepsEveryBitAndPacksOnlyDataBytes)
{
    for (size_t count : {0u, 1u, 6u, 7u, 8u, 32u, 128u, 336u, 1000u})
    {
        const auto source = counting(count, 200);
        const auto packed = pack(source);
        for (auto b : packed)
            ASSERT_LT(b, 0x80);
        Bytes back(count);
        if (count > 0)
            unpackSysExData(back.data(), packed.data(), count);
        EXPECT_EQ(back, source) << count;
    }
}

TEST(SysExMessages, RequestsHaveTheirExactBytes)
{
    EXPECT_EQ(makeIdentityRequest(), hex({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    EXPECT_EQ(makeProgramRequest(0, family, 300), hex({0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x1C, 0x2C, 0x02, 0xF7}));
    EXPECT_EQ(makeProgramRequest(3, family, 499), hex({0xF0, 0x7D, 0x33, 0x00, 0x01, 0x35, 0x1C, 0x73, 0x03, 0xF7}));
    EXPECT_EQ(makeTuneScaleRequest(15, family, 5), hex({0xF0, 0x7D, 0x3F, 0x00, 0x01, 0x35, 0x14, 0x05, 0xF7}));
    EXPECT_EQ(makeTuneOctRequest(1, family, 2), hex({0xF0, 0x7D, 0x31, 0x00, 0x01, 0x35, 0x15, 0x02, 0xF7}));
    EXPECT_EQ(makeLivesetRequest(0, family), hex({0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x16, 0xF7}));
    EXPECT_EQ(makeUserSlotHeaderRequest(0, family, moduleOsc, 15),
              hex({0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x19, 0x04, 0x0F, 0xF7}));
    EXPECT_EQ(makeUserSlotMove(2, family, moduleModFX, 0, 5),
              hex({0xF0, 0x7D, 0x32, 0x00, 0x01, 0x35, 0x1E, 0x01, 0x00, 0x05, 0xF7}));
    EXPECT_EQ(makeUserSlotClear(0, family, moduleRevFX, 7),
              hex({0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x1B, 0x03, 0x07, 0xF7}));
}

TEST(SysExMessages, FamilyCodeComesFromTheCaller)
{
    EXPECT_EQ(makeLivesetRequest(0, 0x0234), hex({0xF0, 0x7D, 0x30, 0x00, 0x02, 0x34, 0x16, 0xF7}));
}

TEST(SysExMessages, ProgramWritesCarryThePackedBinary)
{
    const auto binary = counting(336);
    const auto packed = pack(binary);

    const auto write = makeProgramWrite(0, family, 300, binary.data());
    ASSERT_EQ(write.size(), 394u);
    EXPECT_EQ(Bytes(write.begin(), write.begin() + 9), hex({0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x4C, 0x2C, 0x02}));
    EXPECT_EQ(Bytes(write.begin() + 9, write.end() - 1), packed);
    EXPECT_EQ(write.back(), 0xF7);

    const auto current = makeCurrentProgram(1, family, binary.data());
    ASSERT_EQ(current.size(), 392u);
    EXPECT_EQ(Bytes(current.begin(), current.begin() + 7), hex({0xF0, 0x7D, 0x31, 0x00, 0x01, 0x35, 0x40}));
    EXPECT_EQ(Bytes(current.begin() + 7, current.end() - 1), packed);
    EXPECT_EQ(current.back(), 0xF7);
}

TEST(SysExMessages, TuningWritesMaskEveryNoteByte)
{
    struct Case
    {
        bool scale;
        uint8_t index;
        size_t expectedLength;
    };
    for (auto c : {Case{true, 3, 393}, Case{true, 0x7F, 393}, Case{false, 5, 45}, Case{false, 0x7F, 45}})
    {
        const auto notes = counting(c.scale ? 384 : 36, 100); // holds bytes of 0x80 and above
        const auto message = c.scale ? makeTuneScaleWrite(0, family, c.index, notes.data())
                                     : makeTuneOctWrite(0, family, c.index, notes.data());
        ASSERT_EQ(message.size(), c.expectedLength);
        EXPECT_EQ(message[6], c.scale ? 0x44 : 0x45);
        EXPECT_EQ(message[7], c.index);
        for (size_t i = 0; i < notes.size(); ++i)
            ASSERT_EQ(message[8 + i], notes[i] & 0x7F) << i;
        EXPECT_EQ(message.back(), 0xF7);
    }
}

TEST(SysExMessages, LivesetWriteCarriesThePackedBlock)
{
    const auto block = counting(128);
    const auto message = makeLivesetWrite(0, family, block.data());
    ASSERT_EQ(message.size(), 155u);
    EXPECT_EQ(message[6], 0x46);
    EXPECT_EQ(Bytes(message.begin() + 7, message.end() - 1), pack(block));
}

TEST(SysExMessages, UploadBlockIsSizeZeroesAndPayloadPacked)
{
    const auto payload = counting(300, 9);
    const auto message = makeUserSlotUpload(0, family, moduleDelFX, 2, payload.data(), payload.size());
    ASSERT_EQ(message.size(), 10 + packedLength(308));
    EXPECT_EQ(Bytes(message.begin(), message.begin() + 9), hex({0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x4A, 0x02, 0x02}));
    EXPECT_EQ(message.back(), 0xF7);

    Bytes block(308);
    unpackSysExData(block.data(), message.data() + 9, block.size());
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 8), hex({0x2C, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(block.begin() + 8, block.end()), payload);
}

TEST(SysExMessages, LivesetOffsets)
{
    EXPECT_EQ(livesetEntryOffset(0, 0), 4);
    EXPECT_EQ(livesetEntryOffset(0, 7), 18);
    EXPECT_EQ(livesetEntryOffset(3, 7), 4 + 96 + 14);
}
