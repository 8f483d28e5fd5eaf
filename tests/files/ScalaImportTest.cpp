#include "tests/files/ScalaTestSupport.h"

#include <clocale>
#include <cstdlib>

using namespace scalatest;
using x47390_file::ScalaDataImporter;

namespace
{
class ScalaImport : public ScalaFixture
{
};

// 5/4 above the first note: 3.863137 semitones.
const Note majorThird{3, 110, 61};
// 3/2: 7.01955 semitones, fraction 320.
const Note fifth{7, 2, 64};
} // namespace

TEST_F(ScalaImport, TwelveToneEqualTemperamentGivesTheIdentityTunings)
{
    ASSERT_EQ(importScale(twelveTone(), scaleSlot(3)), 0);
    EXPECT_EQ(scaleNotes(3), x47390_data::identityTuneScale);
    EXPECT_EQ(library().getTuneScaleData(3).md5, edittest::md5Of(scaleNotes(3).data(), scaleNotes(3).size()));
    EXPECT_EQ(x47390_data::CurrentTuneScaleData::editBuffer, x47390_data::identityTuneScale);
    for (auto flag : x47390_data::CurrentTuneScaleData::getInstance()->displayFlags)
        EXPECT_EQ(flag, 1);

    ASSERT_EQ(importScale(twelveTone(), octaveSlot(4)), 0);
    EXPECT_EQ(octaveNotes(4), x47390_data::identityTuneOct);
    EXPECT_EQ(x47390_data::CurrentTuneOctData::editBuffer, x47390_data::identityTuneOct);

    // A scale written with cents to its octave reads the same as one ending with 2/1.
    juce::StringArray cents;
    for (int i = 1; i <= 12; ++i)
        cents.add(juce::String(i * 100) + ".0");
    ASSERT_EQ(importScale(scaleText(cents), scaleSlot(0)), 0);
    EXPECT_EQ(scaleNotes(0), x47390_data::identityTuneScale);
}

TEST_F(ScalaImport, LineEndsOfEverySystemReadAlike)
{
    for (const char* lineEnd : {"\n", "\r", "\r\n"})
    {
        SCOPED_TRACE(juce::String(lineEnd).replace("\r", "CR").replace("\n", "LF"));
        seedScale(1, 3);
        ASSERT_EQ(importScale(twelveTone(lineEnd), scaleSlot(1)), 0);
        EXPECT_EQ(scaleNotes(1), x47390_data::identityTuneScale);

        ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 69, "440.0", 12,
                                    {"0", "2", "1", "3", "4", "5", "6", "7", "8", "9", "10", "11"})
                                .replace("\n", lineEnd)),
                  0);
        EXPECT_EQ(ScalaDataImporter::getKeyboardMap().mapping[1], 2);
        EXPECT_EQ(ScalaDataImporter::getKeyboardMap().mapping[11], 11);
        ScalaDataImporter::resetKeyboardMapping();
    }
}

// Pitches in cents and as ratios, laid out over the keys without a keyboard map.
TEST_F(ScalaImport, PitchValuesOfEveryFormLayOutAsTheirSemitones)
{
    struct Case
    {
        const char* name;
        juce::StringArray values;
        int key;
        Note expected;
        int flag;
    };
    const Case cases[] = {
        {"ratio", {"3/2", "2/1"}, 1, fifth, 1},
        {"cents", {"701.955", "1200.0"}, 1, fifth, 1},
        {"whole number is a ratio over 1", {"5/4", "2"}, 2, {12, 0, 0}, 1},
        {"denominator 0 is ignored", {"3/0", "2/1"}, 1, {19, 2, 64}, 1},
        {"negative cents", {"-50.0", "1200.0"}, 1, {0, 0, 0}, 1},
        {"next octave", {"5/4", "2/1"}, 3, {15, 110, 61}, 0},
        {"half a semitone clears the flag", {"150.0", "1200.0"}, 1, {1, 64, 0}, 0},
        {"above the top clamps below 127 1/2", {"5/4", "2/1"}, 127, {127, 62, 92}, 1},
        {"cents with nothing after the point", {"5.", "1200."}, 1, {0, 6, 51}, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(importScale(scaleText(c.values), scaleSlot(0)), 0);
        EXPECT_EQ(noteAt(scaleNotes(0), c.key), c.expected);
        EXPECT_EQ(x47390_data::CurrentTuneScaleData::getInstance()->displayFlags[(size_t) c.key], c.flag);
    }
}

TEST_F(ScalaImport, UserOctavesKeepNotesBelowZeroAsTwosComplement)
{
    // Degrees below the first note: -50 cents and -1250 cents (held at -12.5 semitones).
    ASSERT_EQ(importScale(scaleText({"-50.0", "-1300.0", "500.0", "3/2", "2/1"}), octaveSlot(2)), 0);
    const auto& notes = octaveNotes(2);
    EXPECT_EQ(noteAt(notes, 0), (Note{0, 0, 0}));
    EXPECT_EQ(noteAt(notes, 1), (Note{0x7F, 64, 0})) << "-0.5: semitone -1, fraction 8192";
    EXPECT_EQ(noteAt(notes, 2), (Note{0x73, 64, 0})) << "-13 is held at -12.5";
    EXPECT_EQ(noteAt(notes, 3), (Note{5, 0, 0}));
    EXPECT_EQ(noteAt(notes, 4), fifth);
    EXPECT_EQ(noteAt(notes, 5), (Note{12, 0, 0}));
    EXPECT_EQ(noteAt(notes, 6), (Note{11, 64, 0}));
    const auto& flags = x47390_data::CurrentTuneOctData::getInstance()->displayFlags;
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(flags[3], 1);

    // Ten octaves of 2/1 run past the top of the octave's range.
    ASSERT_EQ(importScale(scaleText({"1024/1"}), octaveSlot(2)), 0);
    EXPECT_EQ(noteAt(octaveNotes(2), 1), (Note{23, 62, 92}));
}

TEST_F(ScalaImport, ACountOfZeroSilencesEveryNote)
{
    const juce::String text = "! empty\nNothing\n0\n";
    ASSERT_EQ(importScale(text, scaleSlot(5)), 0);
    for (int n = 0; n < 128; ++n)
        ASSERT_EQ(noteAt(scaleNotes(5), n), (Note{0, 0, 0})) << n;
    ASSERT_EQ(importScale(text, octaveSlot(5)), 0);
    for (int n = 0; n < 12; ++n)
        ASSERT_EQ(noteAt(octaveNotes(5), n), (Note{0, 0, 0})) << n;
    for (auto flag : x47390_data::CurrentTuneOctData::getInstance()->displayFlags)
        EXPECT_EQ(flag, 1);
}

// Text that does not parse fails with 32 and leaves every slot as it was.
TEST_F(ScalaImport, MalformedScalesFailWithoutChangingAnything)
{
    struct Case
    {
        const char* name;
        juce::String text;
    };
    const juce::String head = "! bad.scl\nBad\n2\n!\n";
    const Case cases[] = {
        {"minus after a digit", head + "5-4\n2/1\n"},
        {"two minus signs", head + "--5.0\n2/1\n"},
        {"two points", head + "1.2.3\n2/1\n"},
        {"point then slash", head + "1./2\n2/1\n"},
        {"slash then point", head + "3/2.0\n2/1\n"},
        {"two slashes", head + "3//2\n2/1\n"},
        {"fewer values than the count", head + "3/2\n"},
        {"no count", "! bad.scl\nBad\n! nothing else\n"},
        {"empty file", ""},
        {"nothing but comments", "! one\n! two\n"},
        {"ratio of 0", head + "0/1\n2/1\n"},
        {"whole number 0", head + "0\n2/1\n"},
        {"0 over 0", head + "0/0\n2/1\n"},
        {"cents beyond 64 bits", head + "99999999999999999999.0\n2/1\n"},
        {"count beyond 64 bits", "! bad.scl\nBad\n99999999999999999999\n3/2\n"},
        {"more than 512 notes", scaleText(
                                    []
                                    {
                                        juce::StringArray values;
                                        for (int i = 1; i <= 513; ++i)
                                            values.add(juce::String(i) + ".0");
                                        return values;
                                    }())},
    };
    seedScale(0, 3);
    const auto before = scaleNotes(0);
    const auto bufferBefore = x47390_data::CurrentTuneScaleData::editBuffer;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(importScale(c.text, scaleSlot(0)), 32);
        EXPECT_EQ(importScale(c.text, octaveSlot(0)), 32);
        EXPECT_EQ(scaleNotes(0), before);
        EXPECT_EQ(octaveNotes(0), x47390_data::identityTuneOct);
        EXPECT_EQ(x47390_data::CurrentTuneScaleData::editBuffer, bufferBefore);
        EXPECT_FALSE(undoManager().canUndo());
        EXPECT_FALSE(isEdited());
    }
}

// Ratio terms longer than 64 bits occur in real files; such a ratio is taken by its value.
TEST_F(ScalaImport, RatiosWithTermsBeyondSixtyFourBitsAreImportedByTheirValue)
{
    const juce::String head = "! long.scl\nLong terms\n2\n!\n";
    const juce::String cases[] = {"300000000000000000000/200000000000000000000", "3/2",
                                  "1500000000000000000000/1000000000000000000000"};
    for (const auto& fifth : cases)
    {
        SCOPED_TRACE(fifth);
        ASSERT_EQ(importScale(head + fifth + "\n2/1\n", scaleSlot(0)), 0);
        EXPECT_EQ(noteAt(scaleNotes(0), 1), (Note{7, 2, 64})); // 701.955 cents: fraction 320
        EXPECT_EQ(noteAt(scaleNotes(0), 2), (Note{12, 0, 0}));
    }
    ASSERT_EQ(importScale(head + "3/2\n99999999999999999999/49999999999999999999\n", scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 2), (Note{12, 0, 0}));
    // A ratio too small or too large for any pitch still fails.
    EXPECT_EQ(importScale(head + "1/" + juce::String::repeatedString("9", 400) + "\n2/1\n", scaleSlot(0)), 32);
    EXPECT_EQ(importScale(head + juce::String::repeatedString("9", 400) + "/1\n2/1\n", scaleSlot(0)), 32);
}

TEST_F(ScalaImport, FiveHundredTwelveNotesAreTheMost)
{
    juce::StringArray values;
    for (int i = 1; i <= 512; ++i)
        values.add(juce::String(i * 25) + ".0");
    ASSERT_EQ(importScale(scaleText(values), scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 1), (Note{0, 32, 0}));
    EXPECT_EQ(noteAt(scaleNotes(0), 127), (Note{31, 96, 0}));
    EXPECT_EQ(ScalaDataImporter::getScale().pitchCount, 512);
}

// Whatever follows a value on its line is not part of it, nor of the next value.
TEST_F(ScalaImport, TextAfterAValueIsIgnored)
{
    struct Case
    {
        const char* name;
        juce::String firstLine;
    };
    const Case cases[] = {
        {"note name", " 5/4 E4"}, {"comment without a mark", "5/4 5-limit"}, {"tab", "5/4\t7/4"},
        {"comment", "5/4 ! 7/4"}, {"word right after", "5/4E4 3"},           {"cents word", "386.3137 cents 12"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const juce::String text = "! t.scl\nThirds\n2\n!\n" + c.firstLine + "\n2/1 octave 3\n";
        ASSERT_EQ(importScale(text, scaleSlot(0)), 0);
        EXPECT_EQ(noteAt(scaleNotes(0), 1), majorThird);
        EXPECT_EQ(noteAt(scaleNotes(0), 2), (Note{12, 0, 0}));
        EXPECT_EQ(noteAt(scaleNotes(0), 3), (Note{15, 110, 61}));
    }
}

TEST_F(ScalaImport, CountsAndFieldsIgnoreTheRestOfTheirLine)
{
    const juce::String text = "! t.scl\n  description 7\n 2 notes, 3 maybe\n5/4\n2/1\n";
    ASSERT_EQ(importScale(text, scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 1), majorThird);
    EXPECT_EQ(noteAt(scaleNotes(0), 2), (Note{12, 0, 0}));

    // Non-ASCII bytes never decide anything (a UTF-8 flat sign after a value, in a description).
    const juce::String utf8 = juce::String::fromUTF8("! t.scl\nB\xe2\x99\xad major\n2\n5/4 ! E\xe2\x99\xad\n2/1\n");
    ASSERT_EQ(importScale(utf8, scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 1), majorThird);

    // A zero byte ends the data.
    const char withZero[] = "! t.scl\nZ\n2\n5/4\n\0 2/1\n";
    currentTuningSlot = (std::uint8_t) scaleSlot(0);
    const auto file = folder.file("zero.scl");
    file.replaceWithData(withZero, sizeof(withZero) - 1);
    ScalaDataImporter importer;
    EXPECT_EQ(importer.read(file), 32);
}

TEST_F(ScalaImport, AMissingFileCannotBeOpened)
{
    ScalaDataImporter importer;
    EXPECT_EQ(importer.read(folder.file("missing.scl")), 1);
    EXPECT_EQ(ScalaDataImporter::importKeyboardMap(folder.file("missing.kbm")), 1);
}

// Every import is one undoable step that marks the library edited.
TEST_F(ScalaImport, AnImportIsOneUndoableStep)
{
    struct Case
    {
        const char* name;
        int slot;
        bool mapped;
        const char* transaction;
    };
    const Case cases[] = {
        {"user scale", scaleSlot(2), false, "PasteTuneScale"},
        {"mapped user scale", scaleSlot(2), true, "PasteTuneScale"},
        {"user octave", octaveSlot(2), false, "PasteTuneOct"},
        {"mapped user octave", octaveSlot(2), true, "PasteTuneOct"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        edittest::resetSingletons();
        ScalaDataImporter::resetKeyboardMapping();
        seedScale(2, 3);
        const auto scaleBefore = library().getTuneScaleData(2);
        const auto octaveBefore = library().getTuneOctData(2);
        if (c.mapped)
        {
            ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 69, "440", 12,
                                        {"1", "0", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})),
                      0);
        }

        ASSERT_EQ(importScale(twelveTone(), c.slot), 0);
        EXPECT_TRUE(isEdited());
        EXPECT_EQ(undoManager().getUndoDescription(), c.transaction);
        const bool octave = c.slot < 6;
        const Note expectedFirst = c.mapped ? Note{1, 0, 0} : Note{0, 0, 0};
        const auto imported = octave ? noteAt(octaveNotes(2), 0) : noteAt(scaleNotes(2), 60);
        EXPECT_EQ(imported, octave ? expectedFirst : (Note{expectedFirst[0] + 60, 0, 0}));

        ASSERT_TRUE(undoManager().undo());
        EXPECT_FALSE(isEdited());
        EXPECT_EQ(scaleNotes(2), scaleBefore.notes);
        EXPECT_EQ(library().getTuneScaleData(2).md5, scaleBefore.md5);
        EXPECT_EQ(octaveNotes(2), octaveBefore.notes);

        // Redo brings the imported tuning back, not an intermediate one.
        ASSERT_TRUE(undoManager().redo());
        const auto redone = octave ? noteAt(octaveNotes(2), 0) : noteAt(scaleNotes(2), 60);
        EXPECT_EQ(redone, imported);
        EXPECT_TRUE(isEdited());
    }
}

// Only the selected slot changes; the other kind of tuning stays as it was.
TEST_F(ScalaImport, OnlyTheSelectedSlotChanges)
{
    seedScale(4, 3);
    ASSERT_EQ(importScale(twelveTone(), octaveSlot(4)), 0);
    EXPECT_EQ(scaleNotes(4), factoryScaleTemplates[3]);
    ASSERT_EQ(importScale(scaleText({"5/4", "2/1"}), scaleSlot(5)), 0);
    EXPECT_EQ(octaveNotes(4), x47390_data::identityTuneOct);
    EXPECT_EQ(scaleNotes(4), factoryScaleTemplates[3]);
    EXPECT_EQ(noteAt(scaleNotes(5), 1), majorThird);
}

//==============================================================================
// Keyboard maps

TEST_F(ScalaImport, AKeyboardMapReadsItsFields)
{
    ASSERT_EQ(importMap(mapText(5, 21, 108, 62, -3, "261.625565", 5, {"0", "1 ! one", "3", "2 two", "4"}), "five.kbm"),
              0);
    const auto& map = ScalaDataImporter::getKeyboardMap();
    EXPECT_EQ(map.mapSize, 5);
    EXPECT_EQ(map.firstNote, 21);
    EXPECT_EQ(map.lastNote, 108);
    EXPECT_EQ(map.middleNote, 62);
    EXPECT_EQ(map.referenceNote, -3);
    EXPECT_NEAR(map.referenceFrequency, 261.625565f, 1e-4f);
    EXPECT_EQ(map.octaveDegree, 5);
    EXPECT_EQ((std::vector<int>(map.mapping.begin(), map.mapping.begin() + 5)), (std::vector<int>{0, 1, 3, 2, 4}));
    // 69 + 3, then middle C is 9 semitones below A 440.
    EXPECT_NEAR(map.offset, 72.0f - 9.0f, 1e-3f);
    EXPECT_EQ(ScalaDataImporter::keyboardMapFileName, "five.kbm");

    ScalaDataImporter::resetKeyboardMapping();
    EXPECT_EQ(map.mapSize, 0);
    EXPECT_EQ(map.lastNote, 127);
    EXPECT_EQ(map.middleNote, 60);
    EXPECT_EQ(map.referenceNote, 69);
    EXPECT_EQ(map.referenceFrequency, 440.0f);
    EXPECT_EQ(map.octaveDegree, 12);
    EXPECT_EQ(map.mapping[127], 127);
    EXPECT_TRUE(ScalaDataImporter::keyboardMapFileName.isEmpty());
}

TEST_F(ScalaImport, BadKeyboardMapsFailAndKeepTheMapInForce)
{
    struct Case
    {
        const char* name;
        juce::String text;
    };
    const Case cases[] = {
        {"unmapped key",
         mapText(12, 0, 127, 60, 69, "440.0", 12, {"0", "x", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})},
        {"too few entries", mapText(12, 0, 127, 60, 69, "440.0", 12, identityEntries(11))},
        {"larger than the mapping table", mapText(257, 0, 127, 60, 69, "440.0", 257, identityEntries(257))},
        {"second point in the frequency", mapText(0, 0, 127, 60, 69, "440.0.0", 12, {})},
        {"frequency 0", mapText(0, 0, 127, 60, 69, "0.0", 12, {})},
        {"frequency beyond single precision",
         mapText(0, 0, 127, 60, 69, juce::String::repeatedString("9", 40), 12, {})},
        {"ends after the frequency", "0\n0\n127\n60\n69\n440.0\n"},
        {"ends in the header", "12\n0\n127\n"},
        {"entry beyond an int", mapText(1, 0, 127, 60, 69, "440", 1, {"99999999999"})},
        {"field beyond 64 bits", mapText(1, 0, 127, 60, 69, "440", 1, {"0"}).replace("127", "99999999999999999999")},
        {"empty", ""},
    };
    ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 69, "440.0", 12,
                                {"1", "0", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}),
                        "good.kbm"),
              0);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(importMap(c.text, "bad.kbm"), 33);
        EXPECT_EQ(ScalaDataImporter::keyboardMapFileName, "good.kbm");
        EXPECT_EQ(ScalaDataImporter::getKeyboardMap().mapSize, 12);
        EXPECT_EQ(ScalaDataImporter::getKeyboardMap().referenceFrequency, 440.0f);
    }
    ASSERT_EQ(importScale(twelveTone(), scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 60), (Note{61, 0, 0}));
}

TEST_F(ScalaImport, AMapOfTheFullTableSizeIsAccepted)
{
    juce::StringArray entries;
    for (int i = 0; i < 256; ++i)
        entries.add(juce::String(i % 12));
    ASSERT_EQ(importMap(mapText(256, 0, 127, 60, 69, "440", 12, entries)), 0);
    EXPECT_EQ(ScalaDataImporter::getKeyboardMap().mapping[255], 255 % 12);
}

// The map lays scale degrees over the keys around the middle note, shifted by the reference tuning.
TEST_F(ScalaImport, AKeyboardMapLaysTheScaleOverTheKeys)
{
    // Whole-tone steps on every key from 48 to 72; outside that range the keys fall silent.
    ASSERT_EQ(importMap(mapText(6, 48, 72, 60, 69, "440", 6, identityEntries(6))), 0);
    ASSERT_EQ(importScale(scaleText({"200.0", "400.0", "600.0", "800.0", "1000.0", "2/1"}), scaleSlot(1)), 0);
    const auto& notes = scaleNotes(1);
    EXPECT_EQ(noteAt(notes, 60), (Note{10 * 12, 0, 0})) << "k = 60: 10 repeats of the 6-key pattern";
    EXPECT_EQ(noteAt(notes, 61), (Note{122, 0, 0}));
    EXPECT_EQ(noteAt(notes, 54), (Note{108, 0, 0}));
    EXPECT_EQ(noteAt(notes, 48), (Note{96, 0, 0}));
    EXPECT_EQ(noteAt(notes, 47), (Note{0, 0, 0}));
    EXPECT_EQ(noteAt(notes, 73), (Note{0, 0, 0}));
    EXPECT_EQ(x47390_data::CurrentTuneScaleData::getInstance()->displayFlags[47], 1);

    // A reference a quarter tone sharp moves every key up by 50 cents.
    ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 69, "452.892984", 12, identityEntries(12))), 0);
    ASSERT_EQ(importScale(twelveTone(), scaleSlot(1)), 0);
    EXPECT_EQ(noteAt(scaleNotes(1), 69)[0], 69);
    EXPECT_NEAR((noteAt(scaleNotes(1), 69)[1] << 7) + noteAt(scaleNotes(1), 69)[2], 8192, 2);

    // The reference note moves the scale against equal temperament: A = 60 puts every key 9 semitones higher.
    ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 60, "440", 12, identityEntries(12))), 0);
    ASSERT_EQ(importScale(twelveTone(), octaveSlot(1)), 0);
    EXPECT_EQ(noteAt(octaveNotes(1), 0), (Note{9, 0, 0}));
    EXPECT_EQ(noteAt(octaveNotes(1), 11), (Note{20, 0, 0}));
}

// Keys below the middle note use the pattern repeat below, never a negative table position.
TEST_F(ScalaImport, KeysBelowTheMiddleNoteRepeatThePatternDownwards)
{
    ASSERT_EQ(importMap(mapText(12, 0, 127, 72, 69, "440", 12,
                                {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})),
              0);
    ASSERT_EQ(importScale(twelveTone(), octaveSlot(0)), 0);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(noteAt(octaveNotes(0), n), (Note{(n - 12) & 0x7F, 0, 0})) << n;

    ASSERT_EQ(importScale(twelveTone(), scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 11), (Note{0, 0, 0})) << "-1 is held at 0";
    EXPECT_EQ(noteAt(scaleNotes(0), 13), (Note{1, 0, 0}));
    EXPECT_EQ(noteAt(scaleNotes(0), 127), (Note{115, 0, 0}));

    // A middle note far above every key, with a pattern that does not divide the distance.
    ASSERT_EQ(importMap(mapText(5, 0, 127, 250, 69, "440", 12, {"0", "2", "4", "7", "9"})), 0);
    ASSERT_EQ(importScale(twelveTone(), octaveSlot(0)), 0);
    // Key 0: k = -190 = 5 x -38 + 0, so 38 pattern repeats (of an octave each) below.
    EXPECT_EQ(noteAt(octaveNotes(0), 0), (Note{0x73, 64, 0})) << "held at -12.5";
}

TEST_F(ScalaImport, AMapNamingAMissingDegreeChangesNothing)
{
    // Degrees 7 to 11 do not exist in a 7-note scale.
    ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 69, "440", 7, identityEntries(12))), 0);
    juce::StringArray seven{"200.0", "400.0", "500.0", "700.0", "900.0", "1100.0", "2/1"};
    seedScale(0, 3);
    x47390_data::CurrentTuneScaleData::editBuffer = factoryScaleTemplates[5];
    auto* holder = x47390_data::CurrentTuneScaleData::getInstance();
    holder->displayFlags.fill(7);

    EXPECT_EQ(importScale(scaleText(seven), scaleSlot(0)), 32);
    EXPECT_EQ(importScale(scaleText(seven), octaveSlot(0)), 32);
    EXPECT_EQ(scaleNotes(0), factoryScaleTemplates[3]);
    EXPECT_EQ(octaveNotes(0), x47390_data::identityTuneOct);
    EXPECT_EQ(x47390_data::CurrentTuneScaleData::editBuffer, factoryScaleTemplates[5]);
    EXPECT_EQ(holder->displayFlags[0], 7);
    EXPECT_FALSE(undoManager().canUndo());
    EXPECT_FALSE(isEdited());
    EXPECT_EQ(ScalaDataImporter::getKeyboardMap().mapSize, 12) << "the map stays in force";

    // Keys outside the retuned range are never looked up.
    ASSERT_EQ(importMap(mapText(12, 60, 66, 60, 69, "440", 7, identityEntries(12))), 0);
    EXPECT_EQ(importScale(scaleText(seven), scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 66), (Note{71, 0, 0}));
}

TEST_F(ScalaImport, AMapForAnotherScaleSizeIsDroppedAndTheScaleLaidOutLinearly)
{
    ASSERT_EQ(importMap(mapText(12, 0, 127, 60, 69, "440", 12,
                                {"1", "0", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"})),
              0);
    ASSERT_EQ(importScale(scaleText({"5/4", "2/1"}), scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 1), majorThird);
    EXPECT_EQ(ScalaDataImporter::getKeyboardMap().mapSize, 0);
    EXPECT_TRUE(ScalaDataImporter::keyboardMapFileName.isEmpty());

    // A map of size 0 is not in force: the scale is laid out as without a map.
    ASSERT_EQ(importMap(mapText(0, 0, 127, 60, 60, "250.0", 0, {}), "none.kbm"), 0);
    ASSERT_EQ(importScale(twelveTone(), scaleSlot(0)), 0);
    EXPECT_EQ(scaleNotes(0), x47390_data::identityTuneScale);
}

// Numbers are read the same whatever the process locale says about decimal separators.
TEST_F(ScalaImport, ReadingDoesNotDependOnTheLocale)
{
    const juce::String scale = scaleText({"386.3137", "2/1"});
    const juce::String map = mapText(2, 0, 127, 60, 69, "452.892984", 2, {"0", "1"});
    ASSERT_EQ(importScale(scale, scaleSlot(0)), 0);
    const auto inC = scaleNotes(0);

    testsupport::TemporaryFolder locales;
    const char* name = "de_DE.UTF-8";
    if (std::setlocale(LC_ALL, name) == nullptr)
    {
        // Build a locale with a decimal comma when the system has none installed.
        const auto command =
            "localedef -i de_DE -f UTF-8 '" + locales.file(name).getFullPathName() + "' >/dev/null 2>&1";
        if (std::system(command.toRawUTF8()) == 0)
        {
            setenv("LOCPATH", locales.get().getFullPathName().toRawUTF8(), 1);
            std::setlocale(LC_ALL, name);
        }
    }
    const bool commaLocale = std::localeconv()->decimal_point[0] == ',';

    const int scaleResult = importScale(scale, scaleSlot(1));
    const int mapResult = importMap(map);
    const float offset = ScalaDataImporter::getKeyboardMap().offset;
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");

    EXPECT_EQ(scaleResult, 0);
    EXPECT_EQ(scaleNotes(1), inC);
    EXPECT_EQ(mapResult, 0);
    EXPECT_NEAR(offset, 0.5f, 1e-3f);
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma could be made";
}
