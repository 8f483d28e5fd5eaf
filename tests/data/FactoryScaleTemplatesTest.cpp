#include "data/FactoryScaleTemplates.h"

#include <gtest/gtest.h>

#include <array>

namespace
{
struct Entry
{
    int semitone, high, low;
    bool operator==(const Entry& o) const { return semitone == o.semitone && high == o.high && low == o.low; }
};

std::ostream& operator<<(std::ostream& os, const Entry& e)
{
    return os << "{" << e.semitone << ", " << e.high << ", " << e.low << "}";
}

Entry entry(int templateIndex, int note)
{
    const auto& t = factoryScaleTemplates[(size_t) templateIndex];
    return {t[(size_t) note * 3], t[(size_t) note * 3 + 1], t[(size_t) note * 3 + 2]};
}

// Notes 60 to 71 of every template as the template dialog folds them into a user octave:
// semitone offset from middle C folded into -12..23, then the 14-bit fraction.
struct Folded
{
    int offset, fraction;
};

// clang-format off
const Folded foldedTable[23][12] = {
    {{0,0},{1,0},{2,0},{3,0},{4,0},{5,0},{6,0},{7,0},{8,0},{9,0},{10,0},{11,0}},
    {{0,0},{0,11469},{2,655},{3,2458},{3,14090},{4,16056},{5,11141},{7,328},{7,11796},{8,13763},{10,2785},{10,14418}},
    {{0,0},{1,5407},{2,655},{3,2621},{3,14090},{4,16056},{6,5079},{7,328},{8,2294},{8,13763},{10,2949},{10,14418}},
    {{0,0},{1,2242},{2,641},{2,15423},{4,1281},{4,16064},{6,1922},{7,320},{8,2562},{9,961},{9,15743},{11,1602}},
    {{0,0},{0,14782},{1,15103},{2,15423},{3,14782},{4,16064},{5,14462},{6,15743},{7,15103},{8,14462},{9,15743},{10,15103}},
    {{0,0},{0,14782},{1,15263},{2,15423},{3,14142},{4,16064},{5,14782},{6,15823},{7,15103},{8,14702},{9,15743},{10,14462}},
    {{0,0},{1,0},{2,10322},{3,0},{4,0},{4,13763},{6,0},{7,6390},{8,0},{9,12288},{10,0},{11,0}},
    {{0,0},{1,0},{1,10977},{3,0},{4,1966},{5,6062},{6,0},{6,13599},{8,0},{9,5734},{10,0},{11,0}},
    {{0,0},{2,0},{4,0},{5,0},{7,0},{9,0},{11,0},{12,0},{14,0},{16,0},{17,0},{19,0}},
    {{0,0},{2,0},{3,0},{5,0},{7,0},{9,0},{10,0},{12,0},{14,0},{15,0},{17,0},{19,0}},
    {{0,0},{2,0},{3,0},{5,0},{7,0},{8,0},{10,0},{12,0},{14,0},{15,0},{17,0},{19,0}},
    {{0,0},{2,0},{4,0},{7,0},{9,0},{12,0},{14,0},{16,0},{19,0},{21,0},{12,0},{14,0}},
    {{0,0},{3,0},{5,0},{7,0},{10,0},{12,0},{15,0},{17,0},{19,0},{22,0},{12,0},{15,0}},
    {{0,0},{-1,0},{-2,0},{-3,0},{-4,0},{-5,0},{-6,0},{-7,0},{-8,0},{-9,0},{-10,0},{-11,0}},
    {{0,0},{3,11703},{4,10299},{5,8894},{9,4213},{10,2809},{11,1404},{12,0},{15,11703},{16,10299},{17,8894},{21,4213}},
    {{0,0},{0,3277},{0,6554},{0,9830},{6,1638},{6,4915},{6,8192},{12,0},{12,3277},{12,6554},{12,9830},{18,1638}},
    {{0,0},{2,641},{3,14142},{5,14782},{7,320},{8,13821},{10,14462},{12,0},{14,641},{15,14142},{17,14782},{19,320}},
    {{0,0},{2,5108},{3,2563},{4,5748},{4,16064},{5,13519},{6,2865},{7,320},{7,10636},{8,13821},{9,11276},{12,0}},
    {{0,0},{1,13501},{2,641},{2,5108},{2,10956},{3,2563},{3,9744},{3,14142},{4,16064},{5,8408},{5,13519},{6,2865}},
    {{0,0},{1,10650},{1,13501},{2,641},{2,5108},{2,10956},{3,2563},{3,7767},{3,14142},{4,2869},{4,5748},{4,16064}},
    {{-12,0},{-11,0},{2,0},{15,0},{16,0},{17,0},{-6,0},{-5,0},{-4,0},{9,0},{22,0},{23,0}},
    {{-1,15565},{2,0},{-5,2458},{5,0},{2,15565},{5,1638},{4,15565},{7,0},{11,15565},{10,0},{10,2458},{2,13926}},
    {{6,15237},{6,15401},{6,15565},{6,15729},{6,15892},{6,16056},{6,16220},{7,0},{7,164},{7,328},{7,492},{7,655}},
};
// clang-format on

int fold(int c)
{
    while (c > 23)
        c -= 12;
    while (c < -12)
        c += 12;
    return c;
}
} // namespace

TEST(FactoryScaleTemplates, EveryByteIsSevenBit)
{
    for (int t = 0; t < numFactoryScaleTemplates; ++t)
        for (int i = 0; i < factoryScaleTemplateSize; ++i)
            ASSERT_LT(factoryScaleTemplates[(size_t) t][(size_t) i], 0x80) << "template " << t << " byte " << i;
}

TEST(FactoryScaleTemplates, EqualTemperamentIsTheIdentityScale)
{
    for (int n = 0; n < 128; ++n)
        EXPECT_EQ(entry(0, n), (Entry{n, 0, 0})) << n;
}

TEST(FactoryScaleTemplates, FoldedMiddleOctaveMatchesTheTemplateDialogTable)
{
    for (int t = 0; t < numFactoryScaleTemplates; ++t)
        for (int k = 0; k < 12; ++k)
        {
            const auto e = entry(t, 60 + k);
            EXPECT_EQ(fold(e.semitone - 60), foldedTable[t][k].offset) << "template " << t << " class " << k;
            EXPECT_EQ((e.high << 7) | e.low, foldedTable[t][k].fraction) << "template " << t << " class " << k;
        }
}

TEST(FactoryScaleTemplates, OctavePatternsRepeatInEveryOctave)
{
    for (int t = 1; t <= 7; ++t)
        for (int n = 0; n < 128; ++n)
        {
            const auto e = entry(t, n);
            const auto ref = entry(t, 60 + n % 12);
            EXPECT_EQ(e.semitone - n, ref.semitone - (60 + n % 12)) << "template " << t << " note " << n;
            EXPECT_EQ(e.high, ref.high);
            EXPECT_EQ(e.low, ref.low);
        }
}

TEST(FactoryScaleTemplates, EdgeCases)
{
    struct Case
    {
        int templateIndex, note;
        Entry expected;
    };
    // clang-format off
    const Case cases[] = {
        {1, 61, {60, 89, 77}}, // Pure Major C#: one semitone down, fraction 11469
        {1, 60, {60, 0, 0}},
        {1, 1, {0, 89, 77}},
        {8, 24, {24, 0, 0}}, // Ionian: the key below the lowest reachable step keeps its pitch
        {8, 25, {0, 0, 0}},
        {8, 58, {57, 0, 0}},
        {8, 59, {59, 0, 0}},
        {8, 61, {62, 0, 0}},
        {8, 63, {65, 0, 0}},
        {8, 99, {127, 0, 0}},
        {8, 100, {100, 0, 0}},
        {10, 100, {100, 0, 0}}, // Aelian: step 8 of the top octave would be 128
        {11, 35, {0, 0, 0}},    // Major Penta
        {11, 34, {34, 0, 0}},
        {11, 62, {64, 0, 0}},
        {11, 88, {127, 0, 0}},
        {11, 89, {89, 0, 0}},
        {12, 88, {127, 0, 0}},
        {12, 89, {89, 0, 0}},
        {13, 0, {120, 0, 0}}, // Reverse
        {13, 60, {60, 0, 0}},
        {13, 120, {0, 0, 0}},
        {13, 121, {121, 0, 0}},
        {13, 127, {127, 0, 0}},
        {20, 58, {106, 0, 0}}, // KW001 keys 58 to 65
        {20, 59, {35, 0, 0}},
        {20, 60, {36, 0, 0}},
        {20, 61, {49, 0, 0}},
        {20, 62, {62, 0, 0}},
        {20, 63, {75, 0, 0}},
        {20, 64, {88, 0, 0}},
        {20, 65, {101, 0, 0}},
        {20, 57, {57, 0, 0}},
        {21, 60, {35, 121, 77}}, // KW002 note 60: 25 semitones down, fraction 15565
        {14, 0, {0, 0, 0}},      // free tables keep every key outside their given notes
        {14, 127, {127, 0, 0}},
        {22, 59, {59, 0, 0}},
        {22, 72, {72, 0, 0}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(entry(c.templateIndex, c.note), c.expected) << "template " << c.templateIndex << " note " << c.note;
}

TEST(FactoryScaleTemplates, ModesMapOnlyTheirReachableKeys)
{
    // Ionian, Dorian and Aelian reach keys 25..99, the two pentatonic modes 35..88.
    const int low[] = {25, 25, 25, 35, 35};
    const int high[] = {99, 99, 99, 88, 88};
    for (int m = 0; m < 5; ++m)
    {
        const int t = 8 + m;
        for (int n = 0; n < 128; ++n)
        {
            const auto e = entry(t, n);
            if (n < low[m] || n > high[m])
                EXPECT_EQ(e, (Entry{n, 0, 0})) << "template " << t << " note " << n;
            else
                EXPECT_EQ(e.high + e.low, 0);
        }
        EXPECT_EQ(entry(t, low[m]).semitone, 0);
        EXPECT_EQ(entry(t, high[m]).semitone, 127);
    }
}
