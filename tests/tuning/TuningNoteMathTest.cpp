#include "tuning/ScalaKeyboardMapText.h"
#include "tuning/TuningNoteMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <array>

using namespace TuningEditor;

namespace
{
using Entry = std::array<std::uint8_t, 3>;

int fraction(const Entry& e)
{
    return e[1] * 128 + e[2];
}

// What the editor stores when the user sets both sliders of a note, starting from a given entry.
Entry storeShown(Entry e, int note, int cents, TuningKind kind)
{
    const bool negative = storeCents(e.data(), cents);
    storeNote(e.data(), note, negative, kind);
    return e;
}
} // namespace

TEST(TuningNoteMath, EveryCentsValueSurvivesStoreAndShowOnEveryNote)
{
    for (auto kind : {TuningKind::octave, TuningKind::scale})
    {
        for (int note = lowestShownNote(kind); note <= highestShownNote(kind); ++note)
        {
            for (int cents = -50; cents <= 49; ++cents)
            {
                // At the lowest note negative cents cannot borrow; the editor stores 0 there instead.
                if (note == lowestShownNote(kind) && cents < 0)
                    continue;
                const auto stored = storeShown({0, 0, 0}, note, cents, kind);
                const auto shown = showEntry(stored.data(), kind);
                ASSERT_EQ(shown.note, note) << "cents " << cents;
                ASSERT_EQ(shown.cents, cents) << "note " << note;
                ASSERT_FALSE(shown.heldAtLimit);
                ASSERT_EQ(shown.negativeCents, cents < 0);
            }
        }
    }
}

TEST(TuningNoteMath, WorkedStoreValues)
{
    struct Case
    {
        int cents, fraction, semitoneShift;
    };
    const Case cases[] = {{0, 0, 0}, {49, 8028, 0}, {-1, 16220, -1}, {-50, 8192, -1}, {1, 164, 0}};
    for (const auto& c : cases)
    {
        const auto e = storeShown({0, 0, 0}, 64, c.cents, TuningKind::scale);
        EXPECT_EQ(fraction(e), c.fraction) << c.cents;
        EXPECT_EQ(e[0], 64 + c.semitoneShift) << c.cents;
    }
    const auto fortyNine = storeShown({0, 0, 0}, 64, 49, TuningKind::scale);
    EXPECT_EQ(fortyNine[1], 0x3E);
    EXPECT_EQ(fortyNine[2], 0x5C);
    const auto minusFifty = storeShown({0, 0, 0}, 64, -50, TuningKind::scale);
    EXPECT_EQ(minusFifty[1], 0x40);
    EXPECT_EQ(minusFifty[2], 0x00);
}

TEST(TuningNoteMath, WorkedShowValues)
{
    struct Case
    {
        int fraction, note, cents;
    };
    const Case cases[] = {{0, 64, 0},     {8028, 64, 49}, {8110, 64, 49},   {8111, 65, -50},
                          {8192, 65, -50}, {16220, 65, -1}, {16383, 65, 0}, {81, 64, 0}, {82, 64, 1}};
    for (const auto& c : cases)
    {
        const Entry e{64, (std::uint8_t) (c.fraction >> 7), (std::uint8_t) (c.fraction & 0x7F)};
        const auto shown = showEntry(e.data(), TuningKind::scale);
        EXPECT_EQ(shown.note, c.note) << c.fraction;
        EXPECT_EQ(shown.cents, c.cents) << c.fraction;
    }
}

TEST(TuningNoteMath, OctaveSemitonesAreSevenBitTwosComplement)
{
    const Entry minusTwelve{0x74, 0, 0};
    EXPECT_EQ(showEntry(minusTwelve.data(), TuningKind::octave).note, -12);
    EXPECT_EQ(storeShown({0, 0, 0}, -12, 0, TuningKind::octave)[0], 0x74);
    EXPECT_EQ(storeShown({0, 0, 0}, -1, -30, TuningKind::octave)[0], 0x7E); // -2 plus 70 cents
    EXPECT_EQ(showEntry(Entry{0x7E, 0x45, 0x66}.data(), TuningKind::octave).note, -1);
}

TEST(TuningNoteMath, PitchesTheSlidersCannotShowAreHeldAtTheNearestShownNote)
{
    struct Case
    {
        Entry entry;
        TuningKind kind;
        int note, cents;
    };
    const Case cases[] = {
        {{127, 0x7F, 0x7F}, TuningKind::scale, 127, 49},  // reserved entry
        {{127, 0x40, 0x00}, TuningKind::scale, 127, 49},  // 127 and a half
        {{0x30, 0, 0}, TuningKind::octave, 23, 49},       // 48 semitones up
        {{23, 0x7F, 0x00}, TuningKind::octave, 23, 49},   // just below 24
        {{0x40, 0, 0}, TuningKind::octave, -12, 0},       // -64
        {{0x73, 0, 0}, TuningKind::octave, -12, 0},       // -13
    };
    for (const auto& c : cases)
    {
        const auto shown = showEntry(c.entry.data(), c.kind);
        EXPECT_TRUE(shown.heldAtLimit);
        EXPECT_EQ(shown.note, c.note);
        EXPECT_EQ(shown.cents, c.cents);
        EXPECT_FALSE(shown.negativeCents);
    }
    EXPECT_FALSE(showEntry(Entry{127, 0x3F, 0x2E}.data(), TuningKind::scale).heldAtLimit); // 127 + 49 cents
}

TEST(TuningNoteMath, NoBorrowAtTheLowestNote)
{
    // A note shown as 0 with negative cents keeps semitone 0 in a scale; -12 keeps 0x74 in an octave.
    EXPECT_EQ(storeShown({5, 0, 0}, 0, -20, TuningKind::scale)[0], 0);
    EXPECT_EQ(storeShown({5, 0, 0}, -12, -20, TuningKind::octave)[0], 0x74);
    EXPECT_EQ(storeShown({5, 0, 0}, 1, -20, TuningKind::scale)[0], 0);
}

TEST(TuningNoteMath, CentsOutsideTheSliderRangeStoreAsTheFractionLimits)
{
    EXPECT_EQ(fractionForCents(-101), 0);
    EXPECT_EQ(fractionForCents(100), 16383);
    EXPECT_EQ(fractionForCents(5000), 16383);
    Entry e{60, 0, 0};
    storeCents(e.data(), 2000000000);
    EXPECT_EQ(fraction(e), 16383);
    storeCents(e.data(), -2000000000);
    EXPECT_EQ(fraction(e), 0);
}

TEST(TuningNoteMath, FoldingIntoTheOctaveRange)
{
    const std::pair<int, int> cases[] = {{-24, -12}, {28, 16}, {41, 17}, {-30, -6}, {35, 23}, {24, 12},
                                         {26, 14},   {-12, -12}, {23, 23}, {-13, -1}, {-60, -12}};
    for (const auto& [offset, folded] : cases)
        EXPECT_EQ(foldIntoOctaveRange(offset), folded) << offset;
}

TEST(TuningNoteText, AbsoluteAndRelativeNames)
{
    const std::pair<double, const char*> absolute[] = {{0, "C -1"}, {59, "B 3"}, {60, "C 4"}, {61, "C#4"},
                                                       {127, "G 9"}, {128, "G 9"}, {-5, "C -1"}, {60.9, "C 4"}};
    for (const auto& [value, text] : absolute)
        EXPECT_EQ(noteText(value, false), juce::String(text)) << value;
    const std::pair<double, const char*> relative[] = {{-12, "-C "}, {-1, "-B "}, {0, " C "}, {11, " B "},
                                                       {12, "+C "},  {13, "+C#"}, {23, "+B "}, {40, "+B "}};
    for (const auto& [value, text] : relative)
        EXPECT_EQ(noteText(value, true), juce::String(text)) << value;
}

TEST(TuningNoteText, ParsingNoteNames)
{
    const std::pair<const char*, int> absolute[] = {
        {"C4", 60},  {"c#4", 61}, {"C-1", 0},  {"A", 21},   {"4C", 60},   {"B#3", 59},     {"E#4", 64},
        {"G#9", 127}, {"C-2", 0}, {"C##4", 61}, {"123", 0}, {"C#4", 61},  {"", 0},         {"Db4", 62},
        {"C99999999999999999999", 127}, {"C-99999999999999999999", 0}};
    for (const auto& [text, value] : absolute)
        EXPECT_EQ(noteValueFromText(text, false), value) << text;
    const std::pair<const char*, int> relative[] = {{"+B", 23}, {"-C", -12}, {"C#", 1}, {"-+C", -12},
                                                    {"+-C", 12}, {"B3", 11}, {"", 0},   {"-", 0}};
    for (const auto& [text, value] : relative)
        EXPECT_EQ(noteValueFromText(text, true), value) << text;
}

TEST(TuningNoteText, TypedTextFilter)
{
    struct Case
    {
        const char* text;
        bool noteSlider, relative, accepted;
    };
    const Case cases[] = {
        {"C#4", true, false, true},   {"c-1", true, false, true},   {"C 4", true, false, false},
        {"4C", true, false, false},   {"C4.", true, false, false},  {"#", true, false, true},
        {"+C#", true, true, true},    {"+C#1", true, true, false},  {"C1", true, true, false},
        {" C ", true, true, false},   {"-b", true, true, true},     {"C+", true, true, false},
        {"-50", false, false, true},  {"12.5", false, false, false}, {"#5", false, false, true},
        {"+5", false, false, false},  {"", false, false, true},     {"-50", false, true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isAcceptedTypedText(c.text, c.noteSlider, c.relative), c.accepted) << c.text;
}

TEST(ScalaKeyboardMapText, ReferenceFromTheFirstNotesOffset)
{
    struct Case
    {
        int offset, note;
        double frequency;
    };
    const Case cases[] = {{0, 69, 440.0},     {100, 68, 440.0},    {150, 68, 452.893},
                          {-50, 69, 427.474}, {-1250, 81, 427.474}, {6900, 0, 440.0}};
    for (const auto& c : cases)
    {
        juce::MemoryBlock block;
        ASSERT_TRUE(composeKeyboardMapText(12, c.offset, block)) << c.offset;
        const auto lines = juce::StringArray::fromLines(block.toString());
        EXPECT_EQ(lines[10], " " + juce::String(c.note)) << c.offset;
        // Six decimals after a blank.
        EXPECT_TRUE(lines[12].startsWith(" ")) << c.offset;
        EXPECT_EQ(lines[12].fromFirstOccurrenceOf(".", false, false).length(), 6) << lines[12];
        EXPECT_NEAR(lines[12].getDoubleValue(), c.frequency, 0.0005) << c.offset;
    }
}

TEST(ScalaKeyboardMapText, WholeTextOfAnOctaveAndTheDegreesOfAScale)
{
    juce::MemoryBlock block;
    ASSERT_TRUE(composeKeyboardMapText(12, 0, block));
    juce::String expected = "! Export quintaval Librarian File\r\n! Size of map:\r\n12\r\n"
                            "! First MIDI note number to retune:\r\n0\r\n! Last MIDI note number to retune:\r\n127\r\n"
                            "! Middle note where scale degree 0 is mapped to:\r\n60\r\n"
                            "! Reference note for which frequency is given:\r\n 69\r\n"
                            "! Frequency to tune the above note to (floating point e,g 440.0):\r\n 440.000000\r\n"
                            "! Scale degree to consider as formal octave:\r\n12\r\n! Mapping.\r\n";
    for (int d = 0; d < 12; ++d)
        expected << " " << d << "\r\n";
    EXPECT_EQ(block.toString(), expected);

    ASSERT_TRUE(composeKeyboardMapText(128, 0, block));
    const auto lines = juce::StringArray::fromLines(block.toString().trimEnd());
    EXPECT_EQ(lines.size(), 16 + 128);
    EXPECT_EQ(lines[2], "128");
    EXPECT_EQ(lines[14], "128");
    EXPECT_EQ(lines[16], " 0");
    EXPECT_EQ(lines[16 + 127], " 127");
}

// Where key 69 - whole semitones would lie below key 0, key 0 carries the same pitch: a reader of the map
// (offset = 69 - reference + 12 x log2(frequency / 440)) gets the same offset. Only offsets that no key can
// carry give no map.
TEST(ScalaKeyboardMapText, AReferenceBelowKeyZeroMovesToKeyZeroWithTheSamePitch)
{
    struct Case
    {
        int offset, note;
        double frequency;
    };
    const Case cases[] = {{6999, 0, 465.895}, {7000, 0, 466.164}, {8050, 0, 854.948}, {12799, 0, 13282.08}};
    for (const auto& c : cases)
    {
        juce::MemoryBlock block;
        ASSERT_TRUE(composeKeyboardMapText(128, c.offset, block)) << c.offset;
        const auto lines = juce::StringArray::fromLines(block.toString());
        EXPECT_EQ(lines[8], "60") << c.offset; // the middle note stays
        EXPECT_EQ(lines[10], " " + juce::String(c.note)) << c.offset;
        const double frequency = lines[12].getDoubleValue();
        EXPECT_NEAR(frequency, c.frequency, c.frequency * 1.0e-5) << c.offset;
        const double offset = 69 - c.note + 12.0 * std::log2(frequency / 440.0);
        EXPECT_NEAR(offset, c.offset / 100.0, 1.0e-4) << c.offset;
    }

    juce::MemoryBlock untouched("kept", 4);
    for (int offset : {std::numeric_limits<int>::max(), std::numeric_limits<int>::min()})
    {
        EXPECT_FALSE(composeKeyboardMapText(128, offset, untouched)) << offset;
        EXPECT_EQ(untouched, juce::MemoryBlock("kept", 4));
        EXPECT_FALSE(keyboardMapReference(offset).isValid()) << offset;
    }
}
