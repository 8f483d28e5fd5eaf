#include "tests/files/ScalaTestSupport.h"

#include <map>

using namespace scalatest;
using x47390_file::ScalaDataImporter;

// Scala files written by other programs (tuning-library, MIT licence), good ones and damaged ones.
namespace
{
juce::File tuningLibrary()
{
    return testsupport::sharedTestDataFolder().getChildFile("scala/tuning-library");
}

juce::String relativeName(const juce::File& file)
{
    return file.getRelativePathFrom(tuningLibrary());
}

std::vector<juce::File> filesWithExtensions(const juce::String& wildcard)
{
    std::vector<juce::File> files;
    for (const auto& entry : juce::RangedDirectoryIterator(tuningLibrary(), true, wildcard, juce::File::findFiles))
        files.push_back(entry.getFile());
    std::sort(files.begin(), files.end());
    return files;
}

// What the import gives for each scale file with no keyboard map in force.
const std::map<juce::String, int> scaleResults = {
    {"12-ET-P5.scl", 0},
    {"12-intune-dosle.scl", 0},
    {"12-intune-nodesc.scl", 0},
    {"12-intune.scl", 0},
    {"12-shuffled.scl", 0},
    {"31-edo.ascl", 0},
    {"31edo.scl", 0},
    {"31edo_dos_lineends.scl", 0},
    {"6-exact.scl", 0},
    {"ED3-17.scl", 0},
    {"ED4-17.scl", 0},
    {"carlos-alpha.scl", 0},
    {"liwung-tbn.ascl", 0},
    {"maqamat.ascl", 0},
    {"marvel12.scl", 0},
    {"rast.ascl", 0},
    {"rast6.ascl", 0},
    {"zeus22.scl", 0},
    {"kbm-fix-012023/ed4-4.scl", 0},
    {"kbm-fix-012023/exact4.scl", 0},
    {"kbm-wrapping-7822/31edo2.scl", 0},
    {"bad/bad-rast.ascl", 0},
    {"bad/bad-reference-pitch.ascl", 0}, // the damage is in a comment
    {"bad/badnote.scl", 32},             // a line without digits is passed over: one value short
    {"bad/blanknote.scl", 32},           // one value short
    {"bad/extraline.scl", 0},            // text after the last value is never read
    {"bad/missingnote.scl", 32},
};

// What the keyboard-map import gives for each map file.
const std::map<juce::String, int> mapResults = {
    {"128.kbm", 0},
    {"31-edo.kbm", 0},
    {"31edo_meantone.kbm", 0},
    {"empty-note61.kbm", 0},
    {"empty-note69-dosle.kbm", 0},
    {"empty-note69.kbm", 0},
    {"liwung-tbn.kbm", 0},
    {"mapping-a440-constant.kbm", 0},
    {"mapping-a442-7-to-12.kbm", 33}, // unmapped keys ("x") are not counted
    {"mapping-allkeys-from-59-a440.kbm", 0},
    {"mapping-n60-250.kbm", 0},
    {"mapping-n60-fifths.kbm", 0},
    {"mapping-note53-to-430-408.kbm", 0},
    {"mapping-note54-to-259-6.kbm", 0},
    {"mapping-whitekeys-a440.kbm", 33},
    {"mapping-whitekeys-c261.kbm", 33},
    {"mapping-whitekeys-from-48-a440.kbm", 33},
    {"mapping-whitekeys-from-59-a440.kbm", 33},
    {"mapping-whitekeysalt-from-59-a440.kbm", 33},
    {"maqamat.kbm", 0},
    {"piano.kbm", 0},
    {"rast.kbm", 0},
    {"shuffle-a440-constant.kbm", 0},
    {"kbm-fix-012023/eightnote-c-100.kbm", 0},
    {"kbm-fix-012023/empty-c-100.kbm", 0},
    {"kbm-fix-012023/fournote-c-100.kbm", 0},
    {"kbm-fix-012023/sixnote-c-100.kbm", 0},
    {"kbm-fix-012023/threenote-c-100-from-1.kbm", 0},
    {"kbm-fix-012023/threenote-c-100.kbm", 0},
    {"kbm-fix-012023/twelve-c-100.kbm", 0},
    {"kbm-wrapping-7822/31edo2-subset-57.kbm", 0},
    {"kbm-wrapping-7822/31edo2-subset.kbm", 0},
    {"bad/blank-line.kbm", 33},
    {"bad/empty-bad.kbm", 33}, // ends before the octave degree
    {"bad/empty-extra.kbm", 0},
    {"bad/extraline-long.kbm", 0},
    {"bad/garbage-key.kbm", 33},
    {"bad/missing-note.kbm", 33},
};

class ScalaSharedFiles : public ScalaFixture
{
protected:
    void SetUp() override { ASSERT_TRUE(tuningLibrary().isDirectory()) << tuningLibrary().getFullPathName(); }

    int importNamed(const char* name, int slot) { return importScaleFile(tuningLibrary().getChildFile(name), slot); }
    static int importMapNamed(const char* name)
    {
        return ScalaDataImporter::importKeyboardMap(tuningLibrary().getChildFile(name));
    }
};
} // namespace

TEST_F(ScalaSharedFiles, EveryScaleFileImportsOrFailsWithItsCode)
{
    const auto files = filesWithExtensions("*.scl;*.ascl");
    ASSERT_EQ(files.size(), scaleResults.size()) << "every scale file of the folder is in the table";
    for (const auto& file : files)
    {
        const auto name = relativeName(file);
        SCOPED_TRACE(name);
        ASSERT_EQ(scaleResults.count(name), 1u);
        EXPECT_EQ(importScaleFile(file, scaleSlot(0)), scaleResults.at(name));
        EXPECT_EQ(importScaleFile(file, octaveSlot(0)), scaleResults.at(name));
    }
}

TEST_F(ScalaSharedFiles, EveryKeyboardMapImportsOrFailsWithItsCode)
{
    const auto files = filesWithExtensions("*.kbm");
    ASSERT_EQ(files.size(), mapResults.size()) << "every map file of the folder is in the table";
    for (const auto& file : files)
    {
        const auto name = relativeName(file);
        SCOPED_TRACE(name);
        ASSERT_EQ(mapResults.count(name), 1u);
        ScalaDataImporter::resetKeyboardMapping();
        EXPECT_EQ(ScalaDataImporter::importKeyboardMap(file), mapResults.at(name));
        if (mapResults.at(name) == 0)
        {
            EXPECT_EQ(ScalaDataImporter::keyboardMapFileName, file.getFileName());
        }
    }
}

// Any file read as a scale or as a map, and every scale under every map: results are codes, never crashes.
TEST_F(ScalaSharedFiles, NoFileUpsetsTheImporter)
{
    const auto files = filesWithExtensions("*");
    const auto scales = filesWithExtensions("*.scl;*.ascl");
    for (const auto& file : files)
    {
        SCOPED_TRACE(relativeName(file));
        ScalaDataImporter::resetKeyboardMapping();
        const int asScale = importScaleFile(file, scaleSlot(1));
        EXPECT_TRUE(asScale == 0 || asScale == 32) << asScale;
        const int asMap = ScalaDataImporter::importKeyboardMap(file);
        EXPECT_TRUE(asMap == 0 || asMap == 33) << asMap;
        if (asMap != 0)
            continue;
        for (const auto& scaleFile : scales)
        {
            SCOPED_TRACE(relativeName(scaleFile));
            for (int slot : {scaleSlot(1), octaveSlot(1)})
            {
                const auto scaleBefore = scaleNotes(1);
                const auto octaveBefore = octaveNotes(1);
                const int result = importScaleFile(scaleFile, slot);
                EXPECT_TRUE(result == 0 || result == 32) << result;
                if (result != 0)
                {
                    EXPECT_EQ(scaleNotes(1), scaleBefore);
                    EXPECT_EQ(octaveNotes(1), octaveBefore);
                }
                // A scale of another size drops the map: import it again for the next scale.
                ASSERT_EQ(ScalaDataImporter::importKeyboardMap(file), 0);
            }
        }
    }
    undoManager().clearUndoHistory();
}

TEST_F(ScalaSharedFiles, EqualTemperamentFilesGiveTheIdentity)
{
    for (const char* name : {"12-intune.scl", "12-intune-dosle.scl", "12-intune-nodesc.scl"})
    {
        SCOPED_TRACE(name);
        ASSERT_EQ(importNamed(name, scaleSlot(0)), 0);
        EXPECT_EQ(scaleNotes(0), x47390_data::identityTuneScale);
        ASSERT_EQ(importNamed(name, octaveSlot(0)), 0);
        EXPECT_EQ(octaveNotes(0), x47390_data::identityTuneOct);
    }

    // One pure fifth in an otherwise equal-tempered scale.
    ASSERT_EQ(importNamed("12-ET-P5.scl", scaleSlot(0)), 0);
    for (int n = 0; n < 128; ++n)
    {
        const Note expected = n % 12 == 7 ? Note{n, 2, 64} : Note{n, 0, 0};
        ASSERT_EQ(noteAt(scaleNotes(0), n), expected) << n;
    }
}

TEST_F(ScalaSharedFiles, LineEndsDoNotChangeTheResult)
{
    ASSERT_EQ(importNamed("31edo.scl", scaleSlot(0)), 0);
    ASSERT_EQ(importNamed("31edo_dos_lineends.scl", scaleSlot(1)), 0);
    EXPECT_EQ(scaleNotes(0), scaleNotes(1));
    // 38.70968 cents: fraction 6342.
    EXPECT_EQ(noteAt(scaleNotes(0), 1), (Note{0, 49, 70}));
    EXPECT_EQ(noteAt(scaleNotes(0), 31), (Note{12, 0, 0}));
}

// A just scale of six harmonics: 7/6, 4/3, 3/2, 5/3, 11/6, 2/1.
TEST_F(ScalaSharedFiles, AJustScaleGivesItsRatios)
{
    ASSERT_EQ(importNamed("6-exact.scl", scaleSlot(0)), 0);
    const auto& notes = scaleNotes(0);
    EXPECT_EQ(noteAt(notes, 0), (Note{0, 0, 0}));
    EXPECT_EQ(noteAt(notes, 1), (Note{2, 85, 76}));   // 7/6: 2.668709
    EXPECT_EQ(noteAt(notes, 2), (Note{4, 125, 63}));  // 4/3: 4.980450
    EXPECT_EQ(noteAt(notes, 3), (Note{7, 2, 64}));    // 3/2: 7.019550
    EXPECT_EQ(noteAt(notes, 4), (Note{8, 107, 125})); // 5/3: 8.843587
    EXPECT_EQ(noteAt(notes, 5), (Note{10, 63, 23}));  // 11/6: 10.493629
    EXPECT_EQ(noteAt(notes, 6), (Note{12, 0, 0}));
    EXPECT_EQ(noteAt(notes, 7), (Note{14, 85, 76}));
    EXPECT_EQ(noteAt(notes, 60), (Note{120, 0, 0}));
    EXPECT_EQ(noteAt(notes, 64), (Note{127, 62, 92})) << "held below 127 1/2";
    const auto& flags = x47390_data::CurrentTuneScaleData::getInstance()->displayFlags;
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(flags[3], 1);

    ASSERT_EQ(importNamed("6-exact.scl", octaveSlot(0)), 0);
    EXPECT_EQ(noteAt(octaveNotes(0), 4), (Note{8, 107, 125}));
    EXPECT_EQ(noteAt(octaveNotes(0), 11), (Note{22, 63, 23}));
}

TEST_F(ScalaSharedFiles, KeyboardMapsLayTheScalesOut)
{
    // Degrees 1 and 2 swapped, then 9 and 11 after them, every octave.
    ASSERT_EQ(importMapNamed("shuffle-a440-constant.kbm"), 0);
    ASSERT_EQ(importNamed("12-intune.scl", scaleSlot(0)), 0);
    const int shuffled[12] = {0, 2, 1, 3, 4, 6, 5, 7, 8, 9, 11, 10};
    for (int n = 0; n < 128; ++n)
        ASSERT_EQ(noteAt(scaleNotes(0), n), (Note{n - n % 12 + shuffled[n % 12], 0, 0})) << n;

    // Twelve of 31 equal steps from the middle note on; the reference tuning gives no offset.
    ASSERT_EQ(importMapNamed("31edo_meantone.kbm"), 0);
    ASSERT_EQ(importNamed("31edo.scl", scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 69), (Note{60, 0, 0}));
    EXPECT_EQ(noteAt(scaleNotes(0), 70), (Note{61, 20, 82})); // degree 3: 116.12903 cents

    // A map for another size of scale is dropped by the next import.
    ASSERT_EQ(importNamed("12-intune.scl", scaleSlot(0)), 0);
    EXPECT_EQ(scaleNotes(0), x47390_data::identityTuneScale);
    EXPECT_TRUE(ScalaDataImporter::keyboardMapFileName.isEmpty());

    // Keys below the first retuned note fall silent.
    ASSERT_EQ(importMapNamed("kbm-fix-012023/threenote-c-100-from-1.kbm"), 0);
    ASSERT_EQ(importNamed("kbm-fix-012023/exact4.scl", scaleSlot(0)), 0);
    EXPECT_EQ(noteAt(scaleNotes(0), 0), (Note{0, 0, 0}));
    EXPECT_EQ(x47390_data::CurrentTuneScaleData::getInstance()->displayFlags[0], 1);
}
