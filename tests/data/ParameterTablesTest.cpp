#include "data/ParameterTables.h"
#include "data/ParameterValueFormat.h"
#include "data/ParameterValueText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
ParameterDescription describe(int group, int index)
{
    ParameterDescription d = defaultParameterDescription;
    EXPECT_TRUE(getParameterDescription(nullptr, {int16_t(group), int16_t(index)}, d)) << group << "/" << index;
    return d;
}

struct TableRows
{
    const char* table;
    const ParameterDescription* rows;
    int count;
};

std::vector<TableRows> allTables()
{
    return {{"program", programParameterTable, programParameterCount},
            {"timbre", timbreParameterTable, timbreParameterCount},
            {"footer", footerParameterTable, footerParameterCount},
            {"octave", tuneOctParameterTable.data(), tuneOctParameterCount},
            {"scale", tuneScaleParameterTable.data(), tuneScaleParameterCount}};
}
} // namespace

TEST(ParameterTables, GroupsSelectTablesAndSections)
{
    EXPECT_EQ(parameterTableList[0].rows, programParameterTable);
    EXPECT_EQ(parameterTableList[0].count, 50);
    EXPECT_EQ(parameterTableList[1].rows, timbreParameterTable);
    EXPECT_EQ(parameterTableList[2].rows, timbreParameterTable);
    EXPECT_EQ(parameterTableList[2].count, 63);
    for (int group = 3; group < 6; ++group)
    {
        EXPECT_EQ(parameterTableList[group].rows, nullptr);
        EXPECT_EQ(parameterTableList[group].count, 0);
    }

    const PackedDataSection expected[] = {{0, 80}, {80, 126}, {206, 126}, {0, 32}, {0, 3}, {0, 3}};
    for (int s = 0; s < 6; ++s)
    {
        EXPECT_EQ(packedDataSectionTable[s].start, expected[s].start) << s;
        EXPECT_EQ(packedDataSectionTable[s].size, expected[s].size) << s;
    }
}

TEST(ParameterTables, KeysTheProgramListUses)
{
    struct Case
    {
        int group, index;
        const char* name;
        int offset, minValue, maxValue, format;
    };
    const Case cases[] = {
        {0, 19, "Timb Type", 19, 0, 2, 23},     {0, 25, "Category", 29, 0, 8, 21},
        {0, 45, "Like", 76, 0, 255, 36},        {0, 48, "Like", 79, 0, 255, 36},
        {1, 4, "1Wave", 10, 0, 2, 27},          {1, 10, "2Wave", 19, 0, 2, 27},
        {1, 17, "Multi Type", 29, 0, 2, 31},    {2, 17, "Multi Type", 29, 0, 2, 31},
        {0, 49, "Scale Set", 51, 0, 139, 38},   {1, 49, "Bend Range(+)", 79, 0, 12, 2},
        {2, 49, "Bend Range(+)", 79, 0, 12, 2}, {0, 16, "Octave", 16, -2, 2, 14},
        {1, 62, "USER para6", 103, 0, 127, 4},
    };
    for (const auto& c : cases)
    {
        const ParameterDescription d = describe(c.group, c.index);
        EXPECT_STREQ(d.name, c.name) << c.group << "/" << c.index;
        EXPECT_EQ(d.byteOffset, c.offset) << c.name;
        EXPECT_EQ(d.minValue, c.minValue) << c.name;
        EXPECT_EQ(d.maxValue, c.maxValue) << c.name;
        EXPECT_EQ(d.displayFormat, c.format) << c.name;
    }
}

TEST(ParameterTables, UnknownKeysLeaveTheOutputUntouched)
{
    const ParameterKey keys[] = {{0, 50}, {1, 63}, {2, 63}, {3, 0},  {4, 0},     {5, 0},
                                 {6, 0},  {-1, 0}, {0, -1}, {1, -1}, {32767, 0}, {0, 32767}};
    for (const auto key : keys)
    {
        ParameterDescription d = defaultParameterDescription;
        d.name = "untouched";
        EXPECT_FALSE(getParameterDescription(nullptr, key, d)) << key.group << "/" << key.index;
        EXPECT_STREQ(d.name, "untouched");
    }
    EXPECT_TRUE(parameterDescriptionGetters[0] != nullptr && parameterDescriptionGetters[1] != nullptr &&
                parameterDescriptionGetters[2] != nullptr);
    EXPECT_TRUE(parameterDescriptionGetters[3] == nullptr && parameterDescriptionGetters[4] == nullptr &&
                parameterDescriptionGetters[5] == nullptr);
}

TEST(ParameterTables, RowsFitTheirSectionsAndTheirNameLists)
{
    for (int group = 0; group < 3; ++group)
    {
        const PackedDataSection section = packedDataSectionTable[group];
        for (int i = 0; i < parameterTableList[group].count; ++i)
        {
            const ParameterDescription& d = parameterTableList[group].rows[i];
            EXPECT_LE(d.byteOffset + d.byteLength, section.size) << group << "/" << i << " " << d.name;
            EXPECT_LE(d.minValue, d.maxValue) << d.name;
            const ParameterValueFormat& f = parameterValueFormatTable[d.displayFormat];
            if (f.valueNames != nullptr)
            {
                EXPECT_LE(d.maxValue - d.minValue + 1, f.valueNameCount) << d.name;
            }
        }
    }
    EXPECT_EQ(programParameterTable[48].byteOffset + programParameterTable[48].byteLength, 80);
}

TEST(ParameterTables, FieldsEveryRowShares)
{
    for (const auto& t : allTables())
    {
        for (int i = 0; i < t.count; ++i)
        {
            const ParameterDescription& d = t.rows[i];
            const std::string where = std::string(t.table) + " " + std::to_string(i);
            EXPECT_STREQ(d.thirdName, "") << where;
            EXPECT_EQ(d.bitShift, 0) << where;
            EXPECT_EQ(d.bitWidth, 8) << where;
            EXPECT_EQ(d.auxValue, 0) << where;
            EXPECT_TRUE(d.byteLength == 1 || d.byteLength == 2) << where;
            EXPECT_EQ(d.isSigned, d.minValue < 0) << where;
            EXPECT_EQ(d.predicate != nullptr, t.rows == programParameterTable && i == 22) << where;

            // The kind follows from the format.
            const int f = d.displayFormat;
            ParameterKind kind = ParameterKind::Choice;
            if (f == 19)
                kind = ParameterKind::Character;
            else if (f == 39)
                kind = ParameterKind::Switch;
            else if (f < 19)
                kind = ParameterKind::Number;
            EXPECT_EQ(d.kind, kind) << where;
            EXPECT_EQ(std::string(d.shortName).empty(), kind == ParameterKind::Character) << where;
        }
    }
    EXPECT_FALSE(programParameterTable[22].predicate());

    for (int i = 0; i < timbreParameterCount; ++i)
        EXPECT_EQ(timbreParameterTable[i].auxFlag, (i == 1 || i == 9 || i == 29) ? 1 : 0) << i;
    for (int i = 0; i < programParameterCount; ++i)
        EXPECT_EQ(programParameterTable[i].auxFlag, 0) << i;
}

TEST(ParameterTables, CharacterRowsAndDefault)
{
    EXPECT_STREQ(programParameterTable[0].name, "Header 1");
    EXPECT_STREQ(programParameterTable[3].name, "Header 4");
    EXPECT_STREQ(programParameterTable[4].name, "Program Name 1");
    EXPECT_STREQ(programParameterTable[15].name, "Program Name 12");
    EXPECT_STREQ(footerParameterTable[3].name, "Footer 4");
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(programParameterTable[i].byteOffset, i);
        EXPECT_EQ(programParameterTable[i].displayFormat, 19);
        EXPECT_EQ(programParameterTable[i].minValue, 32);
        EXPECT_EQ(programParameterTable[i].maxValue, 125);
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(footerParameterTable[i].byteOffset, i);

    const ParameterDescription& d = defaultParameterDescription;
    EXPECT_STREQ(d.name, "");
    EXPECT_EQ(d.kind, ParameterKind::None);
    EXPECT_EQ(d.displayFormat, 19);
    EXPECT_EQ(d.byteLength, 1);
    EXPECT_EQ(d.minValue, 32);
    EXPECT_EQ(d.maxValue, 125);
}

TEST(ParameterTables, TuningTablesFollowTheNoteLayout)
{
    const char* parts[] = {"Note", "Cent-H", "Cent-L"};
    for (int i = 0; i < tuneOctParameterCount; ++i)
    {
        EXPECT_STREQ(tuneOctParameterTable[i].name, parts[i % 3]);
        EXPECT_STREQ(tuneOctParameterTable[i].shortName, parts[i % 3]);
        EXPECT_EQ(tuneOctParameterTable[i].byteOffset, i);
        EXPECT_EQ(tuneOctParameterTable[i].maxValue, 127);
        EXPECT_EQ(tuneOctParameterTable[i].displayFormat, 4);
    }
    for (int i = 0; i < tuneScaleParameterCount; ++i)
    {
        EXPECT_STREQ(tuneScaleParameterTable[i].name, parts[i % 3]);
        EXPECT_EQ(tuneScaleParameterTable[i].byteOffset, i);
        EXPECT_EQ(tuneScaleParameterTable[i].kind, ParameterKind::Number);
    }
}

// Reading values out of a program binary.
namespace
{
std::vector<uint8_t> program()
{
    std::vector<uint8_t> bytes(packedProgramSize, 0);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i); // each byte tells where it lies
    return bytes;
}

ParameterDescription custom(uint16_t offset, uint8_t length, uint8_t shift, uint8_t width, bool isSigned)
{
    ParameterDescription d = defaultParameterDescription;
    d.byteOffset = offset;
    d.byteLength = length;
    d.bitShift = shift;
    d.bitWidth = width;
    d.isSigned = isSigned;
    return d;
}
} // namespace

TEST(PackedParameterValue, TimbreRowsReadTheirOwnTimbre)
{
    auto bytes = program();
    const ParameterDescription multiType = describe(1, 17);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 1, multiType), 109);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 2, multiType), 235);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 0, multiType), 29);
}

TEST(PackedParameterValue, ReadsUpToTheSectionEndAndNoFurther)
{
    auto bytes = program();
    const ParameterDescription lastLike = describe(0, 48);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 0, lastLike), 79);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 6, lastLike), 0);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), -1, lastLike), 0);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 3, lastLike), 0); // section 3 is 32 bytes long
    EXPECT_EQ(getPackedParameterValue(nullptr, 0, lastLike), 0);

    const ParameterDescription paraSix = describe(1, 62); // offset 103 of a 126-byte section
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 2, paraSix), uint8_t(206 + 103));
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 2, custom(125, 1, 0, 8, false)), uint8_t(331));
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 2, custom(125, 2, 0, 8, false)), 0);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 2, custom(126, 1, 0, 8, false)), 0);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 2, custom(65535, 1, 0, 8, false)), 0);
}

TEST(PackedParameterValue, ShortBuffersAreNeverReadPast)
{
    auto bytes = program();
    const ParameterDescription lastLike = describe(0, 48);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 80, 0, lastLike), 79);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 79, 0, lastLike), 0);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 100, 2, describe(2, 0)), 0);
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 0, 0, describe(0, 0)), 0);
}

TEST(PackedParameterValue, SignedBytesAndTheFirstOfTwoBytes)
{
    std::vector<uint8_t> bytes(packedProgramSize, 0);
    const ParameterDescription octave = describe(0, 16);
    const std::pair<uint8_t, int16_t> octaves[] = {{0xFE, -2}, {0x02, 2}, {0x00, 0}, {0x80, -128}, {0x7F, 127}};
    for (const auto& [byte, value] : octaves)
    {
        bytes[16] = byte;
        EXPECT_EQ(getPackedParameterValue(bytes.data(), 0, octave), value) << int(byte);
    }

    // Two-byte rows are 8 bits wide: the first stored byte, which is the low byte.
    bytes[24] = 0xB0;
    bytes[25] = 0x04;
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 0, describe(0, 23)), 176);
    bytes[80 + 2] = 0xFF;
    bytes[80 + 3] = 0x01;
    EXPECT_EQ(getPackedParameterValue(bytes.data(), 1, describe(1, 1)), -1); // "Pan Width" is signed
}

TEST(PackedParameterValue, BitFieldsOfAssembledBytes)
{
    std::vector<uint8_t> bytes(packedProgramSize, 0);
    bytes[20] = 0xAB;
    bytes[21] = 0xCD;
    bytes[22] = 0xEF;
    bytes[23] = 0x12;
    struct Case
    {
        uint8_t length, shift, width;
        bool isSigned;
        int16_t expected;
    };
    const Case cases[] = {
        {2, 0, 16, false, int16_t(0xABCD)}, // first byte most significant
        {2, 4, 8, false, 0xBC},
        {2, 4, 8, true, int16_t(0xFFBC)},
        {2, 0, 12, true, int16_t(0xFABC)},
        {2, 4, 12, false, 0xBCD},
        {1, 1, 7, false, 0x2B},
        {1, 0, 9, false, 0}, // more bits than the bytes hold
        {2, 10, 8, false, 0},
        {4, 0, 32, false, int16_t(0xEF12)}, // the low 16 bits
        {4, 8, 16, true, int16_t(0xCDEF)},
        {3, 0, 0, false, 0},
        {5, 0, 8, false, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(getPackedParameterValue(bytes.data(), 0, custom(20, c.length, c.shift, c.width, c.isSigned)),
                  c.expected)
            << int(c.length) << " " << int(c.shift) << " " << int(c.width);
}
