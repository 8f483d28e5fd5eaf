#include "data/ParameterValueText.h"
#include "data/ParameterTables.h"
#include "data/ParameterValueFormat.h"
#include "data/ProgramData.h"

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

// The text of one parameter of a program whose only non-zero byte is the row's first byte.
std::string textOf(int group, int index, uint8_t byte)
{
    const ParameterDescription d = describe(group, index);
    std::vector<uint8_t> bytes(packedProgramSize, 0);
    bytes[size_t(packedDataSectionTable[group].start + d.byteOffset)] = byte;
    return getParameterValueText(d, getPackedParameterValue(bytes.data(), group, d));
}

ParameterDescription withFormat(int format, int minValue, int maxValue)
{
    ParameterDescription d = defaultParameterDescription;
    d.displayFormat = format;
    d.minValue = int16_t(minValue);
    d.maxValue = int16_t(maxValue);
    return d;
}
} // namespace

TEST(ParameterValueText, ProgramBytesToTexts)
{
    struct Case
    {
        int group, index;
        uint8_t byte;
        const char* expected;
    };
    const Case cases[] = {
        {0, 25, 3, "PAD/STRINGS"}, // Category
        {0, 25, 0, "POLY SYNTH"},
        {0, 25, 8, "SFX"},
        {0, 25, 200, "SFX"}, // clamped to 8
        {0, 29, 255, "On"},  // LFO KeySync
        {0, 29, 1, "On"},
        {0, 29, 0, "Off"},
        {0, 33, 0, "+76"}, // Program Level
        {0, 33, 127, "+127"},
        {0, 33, 200, "+127"},
        {0, 22, 60, "C 4"}, // Split Key
        {0, 22, 61, "C 4"},
        {0, 22, 59, "B 3"},
        {0, 22, 0, "C -1"},
        {0, 22, 11, "B -1"},
        {0, 22, 13, "C#0"},
        {0, 22, 100, "C 4"},
        {0, 16, 0xFE, "-02"}, // Octave
        {0, 16, 0x02, "+02"},
        {0, 16, 0x00, "+00"},
        {0, 16, 0x80, "-02"},
        {0, 16, 0x7F, "+02"},
        {0, 19, 2, "SPLIT"}, // Timb Type
        {0, 19, 0, "LAYER"},
        {0, 18, 1, "(+)"}, // Timb Edit
        {0, 24, 2, "SUB"}, // ARP Timbre
        {0, 37, 2, "REVERB"},
        {0, 37, 9, "REVERB"},
        {0, 17, 0, "Off"},
        {0, 42, 1, "01"}, // ARRPG SW
        {0, 43, 15, "15"},
        {0, 43, 16, "15"},
        {0, 31, 5, "005"}, // Amp Velocity
        {0, 31, 127, "127"},
        {0, 31, 128, "127"},
        {0, 21, 1, "1"}, // MainSubPosition
        {0, 45, 0, "---"},
        {0, 47, 4, "@"},
        {0, 4, 'I', "I"},
        {0, 4, 0, " "},           // clamped to 32
        {0, 15, 200, "}"},        // clamped to 125
        {0, 49, 0, "Equal Temp"}, // Scale Set
        {0, 49, 139, "UserOctave6"},
        {0, 49, 140, "UserOctave6"},
        {0, 49, 128, "UserScale1"},
        {1, 17, 1, "VPM"}, // Multi Type
        {2, 17, 2, "USER"},
        {1, 4, 0, "SQR"}, // 1Wave
        {2, 10, 1, "TRI"},
        {1, 42, 2, "SAW"},
        {1, 5, 3, "16'"}, // 1Octave
        {1, 18, 0, "2'"},
        {1, 8, 1, "VCO1+2"},
        {1, 14, 0, "RING ON"},
        {1, 14, 2, "SYNC ON"},
        {1, 30, 2, "100%"},
        {1, 32, 0, "0 %"},
        {1, 43, 0, "1-SHOT"},
        {1, 46, 2, "PITCH"},
        {1, 3, 3, "UNISON"}, // Voice Type stops at 2 though its list has "CHORD"
        {1, 47, 0, "OFF"},   // Mod Wheel Assign
        {2, 48, 33, "GATE TIME"},
        {2, 48, 34, "GATE TIME"},
        {1, 47, 18, "CUTOFF EG INT"},
        {1, 16, 1, "01"},
        {1, 31, 1, "1"},
        {1, 49, 12, "12"},
        {1, 49, 13, "12"},
        {1, 62, 7, "007"},
        {1, 1, 0xFF, "-001"}, // Pan Width, first byte only
        {1, 1, 0x05, "+005"},
        {1, 0, 0x10, "0016"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(textOf(c.group, c.index, c.byte), c.expected) << c.group << "/" << c.index << " byte " << int(c.byte);
}

TEST(ParameterValueText, LikeColumnCombinesTheFourLikeBytes)
{
    const std::vector<std::vector<uint8_t>> likes = {{0, 0, 0, 0}, {0, 0, 4, 0}, {0, 0, 0, 1}, {255, 0, 0, 0}};
    const char* expected[] = {"---", "@", "@", "@"};
    for (size_t n = 0; n < likes.size(); ++n)
    {
        std::vector<uint8_t> bytes(packedProgramSize, 0);
        std::copy(likes[n].begin(), likes[n].end(), bytes.begin() + 76);
        int combined = 0;
        for (int index = 45; index <= 48; ++index)
            combined |= getPackedParameterValue(bytes.data(), 0, describe(0, index));
        EXPECT_EQ(getParameterValueText(describe(0, 45), combined), expected[n]) << n;
    }
}

TEST(ParameterValueText, FormatsWithoutRows)
{
    struct Case
    {
        int format, minValue, maxValue, value;
        const char* expected;
    };
    const Case cases[] = {
        {0, 0, 255, 5, ""},
        {1, 0, 255, 7, "07"},
        {3, 0, 255, 5, "005"},
        {6, 0, 1023, 42, "00042"},
        {7, -100, 100, -42, "-0042"},
        {8, 0, 255, 3, "3"},
        {10, 0, 255, 123, "123"},
        {11, -100, 100, -5, "-05"},
        {12, -100, 100, 0, "+00"},
        {13, -100, 100, 99, "+99"},
        {15, -512, 511, 511, "+511"},
        {15, -512, 511, -600, "-512"},
        {17, 0, 255, 9, "009"},
        {18, 0, 255, 0, "001"}, // shown one-based
        {18, 0, 255, 255, "256"},
        {18, 0, 255, 300, "256"}, // clamped before the 1 is added
        {20, 0, 1, 1, "Enable"},
        {20, 0, 1, 0, "Disable"},
        {25, 0, 255, 0, "Global"},
        {25, 0, 255, 1, "01"},
        {25, 0, 255, 16, "16"},
        {25, 0, 255, 17, ""},
        {38, 0, 255, 0, "Equal Temp"},
        {38, 0, 255, 5, "kirnberger"},
        {38, 0, 255, 22, "KW003"},
        {38, 0, 255, 23, "TUNE 24"},
        {38, 0, 255, 98, "TUNE 99"},
        {38, 0, 255, 99, "TUNE100"},
        {38, 0, 255, 127, "TUNE128"},
        {38, 0, 255, 133, "UserScale6"},
        {38, 0, 255, 134, "UserOctave1"},
        {38, 0, 255, 139, "UserOctave6"},
        {38, 0, 255, 140, "TUNE141"},
        {38, 0, 255, 255, "TUNE256"},
        {27, 1, 3, 1, "SQR"}, // names count from the row's lowest value
        {27, 1, 3, 3, "SAW"},
        {40, 0, 255, 1, ""},
        {-1, 0, 255, 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(getParameterValueText(withFormat(c.format, c.minValue, c.maxValue), c.value), c.expected)
            << "format " << c.format << " value " << c.value;
}

TEST(ParameterValueText, ValueIsTakenAsSixteenBits)
{
    const ParameterDescription category = describe(0, 25);
    EXPECT_EQ(getParameterValueText(category, 65536 + 3), "PAD/STRINGS");
    EXPECT_EQ(getParameterValueText(category, 65535), "POLY SYNTH"); // -1, clamped to 0
    EXPECT_EQ(getParameterValueText(category, 32768), "POLY SYNTH");
    EXPECT_EQ(getParameterValueText(category, 32767), "SFX");
}

TEST(ParameterValueText, IndicesOutsideANameListGiveEmptyText)
{
    // Rows whose range is wider than their list, and notes below C -1.
    EXPECT_EQ(getParameterValueText(withFormat(21, 0, 20), 9), "");
    EXPECT_EQ(getParameterValueText(withFormat(21, 0, 20), 8), "SFX");
    EXPECT_EQ(getParameterValueText(withFormat(38, 0, 300), 256), "");
    EXPECT_EQ(getParameterValueText(withFormat(37, -10, 100), 34), "");
    EXPECT_EQ(getParameterValueText(withFormat(26, -20, 60), -1), "");
    EXPECT_EQ(getParameterValueText(withFormat(26, -20, 60), -12), "");
    EXPECT_EQ(getParameterValueText(withFormat(26, 0, 127), 127), "G 9");
    EXPECT_EQ(getParameterValueText(withFormat(26, -32768, 32767), 32767), "G 2729");
}

TEST(ParameterValueText, ZeroPaddedNumbers)
{
    EXPECT_EQ(formatZeroPadded(7, 2), "07");
    EXPECT_EQ(formatZeroPadded(-5, 3), "-05");
    EXPECT_EQ(formatZeroPadded(1023, 3), "1023");
    EXPECT_EQ(formatZeroPadded(0, 1), "0");
    EXPECT_EQ(formatZeroPadded(-32768, 2), "-32768");
    EXPECT_EQ(formatZeroPadded(5, 0), "5");
    EXPECT_EQ(formatSignedZeroPadded(0, 3), "+00");
    EXPECT_EQ(formatSignedZeroPadded(2, 3), "+02");
    EXPECT_EQ(formatSignedZeroPadded(102, 3), "+102");
    EXPECT_EQ(formatSignedZeroPadded(-512, 4), "-512");
    EXPECT_EQ(formatSignedZeroPadded(511, 4), "+511");
    EXPECT_EQ(formatSignedZeroPadded(-3, 4), "-003");
}

TEST(ParameterValueText, EveryFormatStaysInBoundsForEveryValue)
{
    const std::pair<int, int> ranges[] = {{0, 255}, {-128, 127}, {-32768, 32767}, {5, 3}, {100, 100}};
    std::vector<int> values;
    for (int v = -300; v <= 300; ++v)
        values.push_back(v);
    for (int v : {-32768, -32767, -1000, 1000, 32766, 32767, 65535, 65536, -65537, 1 << 30})
        values.push_back(v);

    for (int format = -2; format < parameterValueFormatCount + 2; ++format)
        for (const auto& [low, high] : ranges)
            for (int v : values)
            {
                const std::string text = getParameterValueText(withFormat(format, low, high), v);
                EXPECT_LE(text.size(), 16u) << format << " " << v;
            }
}

TEST(ParameterValueText, EveryRowEveryByteValue)
{
    std::vector<uint8_t> bytes(packedProgramSize);
    for (int group = 0; group < 6; ++group)
        for (int index = -1; index <= 64; ++index)
        {
            ParameterDescription d = defaultParameterDescription;
            if (!parameterDescriptionGetters[group] ||
                !parameterDescriptionGetters[group](nullptr, {int16_t(group), int16_t(index)}, d))
                continue;
            const ParameterValueFormat& f = parameterValueFormatTable[d.displayFormat];
            for (int byte = 0; byte < 256; ++byte)
            {
                std::fill(bytes.begin(), bytes.end(), uint8_t(byte));
                const int16_t value = getPackedParameterValue(bytes.data(), group, d);
                EXPECT_GE(value, -128) << d.name;
                EXPECT_LE(value, 255) << d.name;
                const std::string text = getParameterValueText(d, value);
                if (d.displayFormat != 0)
                {
                    EXPECT_FALSE(text.empty()) << d.name << " byte " << byte;
                }
                EXPECT_LE(text.size(), 16u) << d.name;
            }
            // Every name of the row's range is reachable and is a real name.
            if (f.valueNames != nullptr)
            {
                for (int v = d.minValue; v <= d.maxValue; ++v)
                    EXPECT_EQ(getParameterValueText(d, v), f.valueNames[v - d.minValue]) << d.name << " " << v;
            }
        }
}

TEST(ParameterValueText, NoteNames)
{
    const char* expected[] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};
    for (int i = 0; i < noteNameCount; ++i)
        EXPECT_STREQ(noteNames[i], expected[i]);
}

TEST(ParameterValueText, TextsOfTheInitialProgram)
{
    const x47390_data::ProgramData program;
    struct Case
    {
        int group, index;
        const char* expected;
    };
    const Case cases[] = {
        {0, 4, "I"},      {0, 15, "m"},          {0, 16, "+02"},   {0, 17, "Off"},   {0, 18, "SUB"},
        {0, 19, "LAYER"}, {0, 20, "0064"},       {0, 21, "0"},     {0, 22, "C 4"},   {0, 23, "0300"},
        {0, 24, "MAIN"},  {0, 25, "POLY SYNTH"}, {0, 29, "On"},    {0, 31, "000"},   {0, 32, "On"},
        {0, 33, "+102"},  {0, 34, "001"},        {0, 37, "DELAY"}, {0, 39, "0255"},  {0, 42, "00"},
        {0, 45, "---"},   {0, 49, "Equal Temp"}, {1, 1, "+000"},   {1, 3, "POLY"},   {1, 4, "SAW"},
        {1, 5, "4'"},     {1, 8, "VCO2"},        {1, 10, "SAW"},   {1, 14, "OFF"},   {1, 17, "NOISE"},
        {1, 30, "0 %"},   {1, 42, "TRI"},        {1, 43, "SLOW"},  {1, 46, "PITCH"}, {1, 47, "LFO INT"},
        {1, 48, "OFF"},   {1, 50, "02"},         {1, 51, "100"},   {2, 4, "SAW"},    {2, 10, "SAW"},
        {2, 17, "NOISE"}, {2, 47, "LFO INT"},
    };
    for (const auto& c : cases)
    {
        const ParameterDescription d = describe(c.group, c.index);
        EXPECT_EQ(getParameterValueText(d, getPackedParameterValue(program, c.group, d)), c.expected)
            << c.group << "/" << c.index << " " << d.name;
        EXPECT_EQ(getPackedParameterValue(program, c.group, d),
                  getPackedParameterValue(program.binary.data(), c.group, d));
    }
}
