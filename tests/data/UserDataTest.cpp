#include "data/UserData.h"

#include <gtest/gtest.h>

using x47390_data::UserData;
using x47390_data::UserUnitSlotData;

namespace
{
template <class Fn> std::string printedBy(Fn&& fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

juce::MemoryBlock unitBytes(size_t size, juce::uint8 first)
{
    juce::MemoryBlock block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = (char) (first + i);
    return block;
}

template <class Table> void expectAllNew(const Table& table)
{
    for (auto& entry : table)
    {
        EXPECT_EQ(entry.slot, -1);
        EXPECT_EQ(entry.state, UserUnitSlotData::stateEmpty);
        EXPECT_EQ(entry.payload.getSize(), 0u);
        for (auto byte : entry.header)
            EXPECT_EQ(byte, 0);
    }
}
} // namespace

TEST(UserData, NewUserDataHas52EmptyEntries)
{
    UserData user;
    EXPECT_EQ(user.oscillators.size() + user.modulationEffects.size() + user.delayEffects.size() +
                  user.reverbEffects.size(),
              52u);
    expectAllNew(user.oscillators);
    expectAllNew(user.modulationEffects);
    expectAllNew(user.delayEffects);
    expectAllNew(user.reverbEffects);

    x47390_data::UserUnitData unit;
    EXPECT_EQ(unit.message, "Uninitialized data.");
    EXPECT_EQ(unit.unitData.getSize(), 0u);
}

TEST(UserData, SlotNumbersOutOfRange)
{
    UserData user;
    struct Case
    {
        const char* what;
        std::function<UserUnitSlotData*(int)> select;
        int firstInvalid;
        UserUnitSlotData* spare;
        const char* line;
    };
    const Case cases[] = {
        {"oscillator", [&](int n) { return (UserUnitSlotData*) &user.getUserOscData(n); }, 16, &user.oscillators[16],
         "User oscillator slot index error: "},
        {"modulation", [&](int n) { return (UserUnitSlotData*) &user.getUserModFXData(n); }, 16,
         &user.modulationEffects[16], "User modulation fx slot index error: "},
        {"delay", [&](int n) { return (UserUnitSlotData*) &user.getUserDelFXData(n); }, 8, &user.delayEffects[8],
         "User delay fx slot index error: "},
        {"reverb", [&](int n) { return (UserUnitSlotData*) &user.getUserRevFXData(n); }, 8, &user.reverbEffects[8],
         "User reverb fx slot index error: "},
    };
    for (auto& c : cases)
    {
        for (int n : {c.firstInvalid, -1})
        {
            UserUnitSlotData* selected = nullptr;
            EXPECT_EQ(printedBy([&] { selected = c.select(n); }), c.line + std::to_string(n) + "\n") << c.what;
            EXPECT_EQ(selected, c.spare) << c.what;
        }
        EXPECT_EQ(printedBy(
                      [&]
                      {
                          c.select(c.firstInvalid - 1);
                          c.select(0);
                      }),
                  "")
            << c.what;
    }
}

TEST(UserData, CopyFromLeavesTheSparesAlone)
{
    UserData source, target;
    source.oscillators[16].setLoadedUnit(unitBytes(64, 1));
    source.oscillators[3].setLoadedUnit(unitBytes(48, 9));
    source.reverbEffects[7].slot = 5;
    source.reverbEffects[7].state = 1;

    EXPECT_EQ(&target.copyFrom(source), &target);
    EXPECT_EQ(target.oscillators[3].payload, source.oscillators[3].payload);
    EXPECT_EQ(target.oscillators[3].state, UserUnitSlotData::stateToUpload);
    EXPECT_EQ(target.reverbEffects[7].slot, 5);
    EXPECT_EQ(target.oscillators[16].payload.getSize(), 0u);
    EXPECT_EQ(target.oscillators[16].state, UserUnitSlotData::stateEmpty);

    // The copy constructor takes the spares too.
    const UserData copy(source);
    EXPECT_EQ(copy.oscillators[16].payload, source.oscillators[16].payload);
}

TEST(UserData, EntryAssignment)
{
    x47390_data::UserDelFXData entry;
    entry.setLoadedUnit(unitBytes(40, 3));
    auto& alias = entry;
    entry = alias;
    EXPECT_EQ(entry.payload, unitBytes(40, 3));

    x47390_data::UserDelFXData other;
    other = entry;
    EXPECT_EQ(other.payload, entry.payload);
    EXPECT_EQ(other.header, entry.header);
    EXPECT_EQ(other.slot, -1);
    EXPECT_EQ(other.state, 2);
}

TEST(UserData, EntryFromLoadedUnit)
{
    x47390_data::UserOscData entry;
    entry.slot = 4;
    const auto unit = unitBytes(100, 0x20);
    entry.setLoadedUnit(unit);
    EXPECT_EQ(entry.state, UserUnitSlotData::stateToUpload);
    EXPECT_EQ(entry.slot, -1);
    EXPECT_EQ(entry.payload, unit);
    EXPECT_EQ(0, std::memcmp(entry.header.data(), unit.getData(), 32));
}

TEST(UserData, EntryFromReceivedHeader)
{
    juce::uint8 header[32] = {};
    std::memcpy(header + 18, "name bytes", 10);

    x47390_data::UserRevFXData entry;
    entry.setLoadedUnit(unitBytes(64, 1));
    entry.setReceivedHeader(header, sizeof(header), 3);
    EXPECT_EQ(entry.state, UserUnitSlotData::stateEmpty); // first word 0, whatever the name says
    EXPECT_EQ(entry.slot, 3);
    EXPECT_EQ(entry.payload.getSize(), 0u);

    header[0] = 0x03; // reverb
    header[1] = 0x02; // platform
    entry.setReceivedHeader(header, sizeof(header), 6);
    EXPECT_EQ(entry.state, UserUnitSlotData::stateOnInstrument);
    EXPECT_EQ(entry.getModuleKind(), 3);
    EXPECT_EQ(entry.getPlatformCode(), 2);
}

TEST(UserData, HeaderFieldsAndBoundedName)
{
    x47390_data::UserModFXData entry;
    juce::uint8 header[32] = {0x01, 0x02,              // kind 1, platform 2
                              0x03, 0x02, 0x01, 0x00,  // API 1.2.3
                              0x78, 0x56, 0x34, 0x12,  // developer
                              0x01, 0x00, 0x00, 0x00,  // unit id
                              0x00, 0x01, 0x02, 0x00}; // version 2.1.0
    std::memcpy(header + 18, "FourteenChars!", 14);    // fills the field: no NUL inside it
    entry.setReceivedHeader(header, sizeof(header), 0);
    EXPECT_EQ(entry.getApiVersion(), 0x00010203u);
    EXPECT_EQ(entry.getDeveloperId(), 0x12345678u);
    EXPECT_EQ(entry.getUnitId(), 1u);
    EXPECT_EQ(entry.getUnitVersion(), 0x00020100u);
    EXPECT_EQ(entry.getUnitName(), "FourteenChars!");

    header[18 + 4] = 0;
    entry.setReceivedHeader(header, sizeof(header), 0);
    EXPECT_EQ(entry.getUnitName(), "Four");
}
