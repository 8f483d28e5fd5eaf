#include "files/OctScalaFileWriter.h"
#include "files/ScaleScalaFileWriter.h"
#include "files/TextScalaFileWriter.h"
#include "tests/files/FileSavingTestSupport.h"
#include "tests/files/ScalaTestSupport.h"

using namespace scalatest;
using x47390_file::OctScalaFileWriter;
using x47390_file::ScaleScalaFileWriter;

namespace
{
class ScalaExport : public ScalaFixture
{
protected:
    template <class Writer, class Record>
    juce::String exportText(const Record& record, const juce::String& name)
    {
        Writer writer(&record);
        const auto file = folder.file(name);
        EXPECT_EQ(writer.write(file), 0);
        return file.loadFileAsString();
    }
};

// The octave of "Pure Major" (factory template 1), notes 60 to 71 moved down to 0 to 11.
x47390_data::TuneOctData pureMajorOctave()
{
    x47390_data::TuneOctData octave;
    for (int i = 0; i < 12; ++i)
    {
        const auto* entry = &factoryScaleTemplates[1][(size_t) (60 + i) * 3];
        octave.notes[(size_t) i * 3] = (juce::uint8)(entry[0] - 60);
        octave.notes[(size_t) i * 3 + 1] = entry[1];
        octave.notes[(size_t) i * 3 + 2] = entry[2];
    }
    return octave;
}

// Cents of each degree of "Pure Major" above C, the 14-bit fractions rounded to whole cents.
const int pureMajorCents[12] = {0, 70, 204, 315, 386, 498, 568, 702, 772, 884, 1017, 1088};

// The lines of a text, each still ending with its CR.
juce::StringArray linesOf(const juce::String& text)
{
    juce::StringArray lines;
    lines.addTokens(text, "\n", "");
    return lines;
}

template <class Notes>
int centsOf(const Notes& notes, int n, bool signedSemitone)
{
    int semitone = notes[(size_t) n * 3];
    if (signedSemitone && semitone >= 64)
        semitone -= 128;
    const int fraction = (notes[(size_t) n * 3 + 1] << 7) | notes[(size_t) n * 3 + 2];
    return semitone * 100 + ((fraction * 100 + 8192) >> 14);
}
} // namespace

TEST_F(ScalaExport, AnEqualTemperedOctaveExportsWholeSemitones)
{
    const auto text = exportText<OctScalaFileWriter>(x47390_data::TuneOctData(), "equal.scl");
    EXPECT_EQ(text, "! equal.scl\r\n"
                    "!\r\n"
                    " Export quintaval Librarian File\r\n"
                    "12\r\n"
                    "!\r\n"
                    " 100.000000\r\n"
                    " 200.000000\r\n"
                    " 300.000000\r\n"
                    " 400.000000\r\n"
                    " 500.000000\r\n"
                    " 600.000000\r\n"
                    " 700.000000\r\n"
                    " 800.000000\r\n"
                    " 900.000000\r\n"
                    " 1000.000000\r\n"
                    " 1100.000000\r\n"
                    " 1200.000000\r\n"
                    "! Offset:0.000000\r\n");
}

TEST_F(ScalaExport, ATemplateOctaveExportsItsCentsRounded)
{
    const auto text = exportText<OctScalaFileWriter>(pureMajorOctave(), "Pure Major.scl");
    EXPECT_EQ(text, "! Pure Major.scl\r\n"
                    "!\r\n"
                    " Export quintaval Librarian File\r\n"
                    "12\r\n"
                    "!\r\n"
                    " 70.000000\r\n"
                    " 204.000000\r\n"
                    " 315.000000\r\n"
                    " 386.000000\r\n"
                    " 498.000000\r\n"
                    " 568.000000\r\n"
                    " 702.000000\r\n"
                    " 772.000000\r\n"
                    " 884.000000\r\n"
                    " 1017.000000\r\n"
                    " 1088.000000\r\n"
                    " 1200.000000\r\n"
                    "! Offset:0.000000\r\n");
}

TEST_F(ScalaExport, ScalesExportAllTheirNotesAgainstNoteZero)
{
    const auto expectedText = [](const char* name, auto cents)
    {
        juce::String text;
        text << "! " << name << "\r\n!\r\n Export quintaval Librarian File\r\n128\r\n!\r\n";
        for (int n = 1; n < 128; ++n)
            text << " " << cents(n) << ".000000\r\n";
        text << " 12800.000000\r\n! Offset:0.000000\r\n";
        return text;
    };

    EXPECT_EQ(exportText<ScaleScalaFileWriter>(x47390_data::TuneScaleData(), "equal.scl"),
              expectedText("equal.scl", [](int n) { return n * 100; }));

    x47390_data::TuneScaleData pureMajor;
    std::copy(factoryScaleTemplates[1].begin(), factoryScaleTemplates[1].end(), pureMajor.notes.begin());
    EXPECT_EQ(exportText<ScaleScalaFileWriter>(pureMajor, "pure.scl"),
              expectedText("pure.scl", [](int n) { return n / 12 * 1200 + pureMajorCents[n % 12]; }));
}

TEST_F(ScalaExport, FractionsRoundToWholeCentsWithoutCarry)
{
    x47390_data::TuneOctData octave;
    octave.notes[3 * 1 + 1] = 0x7F; // note 1: 16383/16384 above its semitone, 100 cents
    octave.notes[3 * 1 + 2] = 0x7F;
    octave.notes[3 * 2 + 1] = 64; // note 2: half a semitone, 50 cents
    const auto lines = linesOf(exportText<OctScalaFileWriter>(octave, "frac.scl"));
    EXPECT_EQ(lines[5], " 200.000000\r");
    EXPECT_EQ(lines[6], " 250.000000\r");
}

TEST_F(ScalaExport, AnOctaveBelowZeroGivesANegativeOffset)
{
    x47390_data::TuneOctData octave;
    octave.notes[0] = 0x7F; // -1 + 8192/16384: -50 cents
    octave.notes[1] = 64;
    octave.notes[3 * 11] = 0x70; // -16: -1600 cents
    const auto lines = linesOf(exportText<OctScalaFileWriter>(octave, "low.scl"));
    EXPECT_EQ(lines[5], " 150.000000\r");
    EXPECT_EQ(lines[15], " -1550.000000\r");
    EXPECT_EQ(lines[16], " 1200.000000\r");
    EXPECT_EQ(lines[17], "! Offset:-50.000000\r");

    // In a user scale the semitone byte is never negative.
    x47390_data::TuneScaleData scale;
    scale.notes[0] = 0x7F;
    const auto scaleLines = linesOf(exportText<ScaleScalaFileWriter>(scale, "high.scl"));
    EXPECT_EQ(scaleLines[5], " -12600.000000\r");
    EXPECT_EQ(scaleLines[133], "! Offset:12700.000000\r");
}

// Exported files import back with the same notes to the whole cent, relative to the first note.
TEST_F(ScalaExport, ExportedFilesImportBackToTheCent)
{
    const auto octave = pureMajorOctave();
    ASSERT_EQ(OctScalaFileWriter(&octave).write(folder.file("octave.scl")), 0);
    ASSERT_EQ(importScaleFile(folder.file("octave.scl"), octaveSlot(3)), 0);
    for (int n = 0; n < 12; ++n)
        EXPECT_EQ(centsOf(octaveNotes(3), n, true), pureMajorCents[n]) << n;

    for (int templateNumber : {0, 1, 3, 7, 13})
    {
        SCOPED_TRACE(templateNumber);
        x47390_data::TuneScaleData scale;
        std::copy(factoryScaleTemplates[(size_t) templateNumber].begin(),
                  factoryScaleTemplates[(size_t) templateNumber].end(), scale.notes.begin());
        ASSERT_EQ(ScaleScalaFileWriter(&scale).write(folder.file("scale.scl")), 0);
        ASSERT_EQ(importScaleFile(folder.file("scale.scl"), scaleSlot(2)), 0);
        const int base = centsOf(scale.notes, 0, false);
        for (int n = 0; n < 128; ++n)
            ASSERT_EQ(centsOf(scaleNotes(2), n, false), std::max(0, centsOf(scale.notes, n, false) - base)) << n;
    }

    // A first note away from 0 is written only as a comment: the import starts at 0.
    x47390_data::TuneOctData low;
    low.notes[0] = 0x7F;
    low.notes[1] = 64;
    ASSERT_EQ(OctScalaFileWriter(&low).write(folder.file("low.scl")), 0);
    ASSERT_EQ(importScaleFile(folder.file("low.scl"), octaveSlot(3)), 0);
    EXPECT_EQ(noteAt(octaveNotes(3), 0), (Note{0, 0, 0}));
    EXPECT_EQ(noteAt(octaveNotes(3), 1), (Note{1, 64, 0}));
}

TEST_F(ScalaExport, AKeyboardMapTextIsWrittenAfterTheNameLine)
{
    x47390_file::TextScalaFileWriter writer;
    const juce::String map = "! Size of map:\r\n0\r\n";
    const juce::String long_ = juce::String::repeatedString("! a long comment line\r\n", 300);
    writer.addDataEntry("map", juce::MemoryBlock(map.toRawUTF8(), map.getNumBytesAsUTF8()));
    writer.addDataEntry("more", juce::MemoryBlock(long_.toRawUTF8(), long_.getNumBytesAsUTF8()));
    const auto file = folder.file("tuning.kbm");
    ASSERT_EQ(writer.writeEntries(file), 0);
    EXPECT_EQ(file.loadFileAsString(), "! tuning.kbm\r\n" + map + long_);

    // The scale-text list is a separate one: writing it gives only the name line.
    ASSERT_EQ(writer.writeScaleEntries(folder.file("empty.scl")), 0);
    EXPECT_EQ(folder.file("empty.scl").loadFileAsString(), "! empty.scl\r\n");
}

TEST_F(ScalaExport, FailedWritesLeaveTheOldFile)
{
    const x47390_data::TuneOctData octave;
    const auto target = folder.file("old.scl");
    ASSERT_TRUE(target.replaceWithText("old text"));
    EXPECT_EQ(OctScalaFileWriter(&octave).write(target), 0) << "an existing file is replaced";
    EXPECT_TRUE(target.loadFileAsString().startsWith("! old.scl\r\n!\r\n Export"));

    EXPECT_EQ(OctScalaFileWriter(&octave).write(folder.file("missing/new.scl")), 2);
    ASSERT_TRUE(folder.file("dir.scl").createDirectory());
    EXPECT_EQ(OctScalaFileWriter(&octave).write(folder.file("dir.scl")), 2);

    ASSERT_TRUE(target.replaceWithText("old text"));
    {
        ziptest::DiskFullSimulation full(64);
        const x47390_data::TuneScaleData scale;
        EXPECT_EQ(ScaleScalaFileWriter(&scale).write(target), 3);
    }
    EXPECT_EQ(target.loadFileAsString(), "old text");
    {
        ziptest::ImmutableFile locked(target);
        if (locked.isImmutable())
        {
            EXPECT_EQ(OctScalaFileWriter(&octave).write(target), 1);
        }
    }
    EXPECT_EQ(target.loadFileAsString(), "old text");
    EXPECT_EQ(ziptest::folderListing(folder.get()), (juce::StringArray{"dir.scl", "old.scl"}));
}
