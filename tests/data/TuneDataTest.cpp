#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"

#include <gtest/gtest.h>

using x47390_data::TuneOctData;
using x47390_data::TuneScaleData;

namespace
{
std::unique_ptr<juce::XmlElement> parse(const std::string& root, const std::string& children)
{
    return juce::XmlDocument::parse("<" + root + ">" + children + "</" + root + ">");
}
} // namespace

TEST(TuneData, NewTuningsAreIdentity)
{
    TuneScaleData scale;
    for (int n = 0; n < 128; ++n)
    {
        EXPECT_EQ(scale.notes[(size_t) n * 3], n);
        EXPECT_EQ(scale.notes[(size_t) n * 3 + 1], 0);
        EXPECT_EQ(scale.notes[(size_t) n * 3 + 2], 0);
    }
    EXPECT_EQ(scale.md5, "69fd76b1343d173d1c5baeccc8c5e50d");
    EXPECT_TRUE(scale.information.programmer.isEmpty() && scale.information.comment.isEmpty());

    TuneOctData octave;
    const x47390_data::TuneOctNotes expected = {0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4,  0, 0, 5,  0, 0,
                                                6, 0, 0, 7, 0, 0, 8, 0, 0, 9, 0, 0, 10, 0, 0, 11, 0, 0};
    EXPECT_EQ(octave.notes, expected);
    EXPECT_EQ(octave.md5, "2f3333527d6f302605fb8e45868a84b2");
    EXPECT_TRUE(octave.information.programmer.isEmpty() && octave.information.comment.isEmpty());
}

TEST(TuneData, InformationRootsOfEachKind)
{
    struct Case
    {
        const char* root;
        bool scale, octave;
    };
    const Case cases[] = {
        {"sonavire_TuneScaleInformation", true, false},  {"dorvantin_TuneScaleInformation", true, false},
        {"quintaval_TuneScaleInformation", true, false}, {"DORVANTINZQ_tunescaleinformation", true, false},
        {"sonavire_TuneOctInformation", false, true},    {"dorvantin_TuneOctInformation", false, true},
        {"quintaval_TuneOctInformation", false, true},   {"dorvantinzq_TuneOctInformation", false, true},
        {"sonavire_ProgramInformation", false, false},   {"other_TuneOctInformation", false, false},
    };
    for (auto& c : cases)
    {
        auto root = parse(c.root, "<Programmer>P</Programmer><Comment>C</Comment>");
        TuneScaleData scale;
        TuneOctData octave;
        EXPECT_EQ(scale.loadInformationFromXml(*root), c.scale) << c.root;
        EXPECT_EQ(octave.loadInformationFromXml(*root), c.octave) << c.root;
        EXPECT_EQ(scale.information.programmer, c.scale ? "P" : "") << c.root;
        EXPECT_EQ(octave.information.comment, c.octave ? "C" : "") << c.root;
    }
}

TEST(TuneData, OnlyCommentChildKeepsProgrammer)
{
    TuneOctData octave;
    octave.information.programmer = "kept";
    ASSERT_TRUE(octave.loadInformationFromXml(*parse("sonavire_TuneOctInformation", "<Comment>new</Comment>")));
    EXPECT_EQ(octave.information.programmer, "kept");
    EXPECT_EQ(octave.information.comment, "new");
}

TEST(TuneData, InformationDocumentText)
{
    TuneScaleData scale;
    scale.information.programmer = "Me";
    EXPECT_EQ(scale.createInformationText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                             "\r\n"
                                             "<sonavire_TuneScaleInformation>\r\n"
                                             "  <Programmer>Me</Programmer>\r\n"
                                             "  <Comment></Comment>\r\n"
                                             "</sonavire_TuneScaleInformation>\r\n");
    TuneOctData octave;
    EXPECT_TRUE(octave.createInformationText().contains("<sonavire_TuneOctInformation>\r\n"));
}

TEST(TuneData, HashFollowsUpdateHashOnly)
{
    TuneScaleData scale;
    const auto before = scale.md5;
    scale.notes[3 * 60 + 2] = 0x40;
    const TuneScaleData copy(scale);
    EXPECT_EQ(copy.md5, before); // a copy carries the hash as it is
    scale.updateHash();
    EXPECT_NE(scale.md5, before);
    EXPECT_EQ(scale.md5, x47390_data::md5Text(scale.notes.data(), scale.notes.size()));
}

TEST(TuneData, CopyNotesFromTakesNotesAndHashOnly)
{
    TuneOctData source;
    source.notes[0] = 5;
    source.updateHash();
    source.information.programmer = "source";

    TuneOctData target;
    target.information.programmer = "target";
    target.copyNotesFrom(source);
    EXPECT_EQ(target.notes, source.notes);
    EXPECT_EQ(target.md5, source.md5);
    EXPECT_EQ(target.information.programmer, "target");
}

TEST(TuneData, SerializeRoundTripAndRefusals)
{
    TuneScaleData scale;
    scale.notes[10] = 0x7F;
    scale.updateHash();
    scale.information.comment = "c";
    TuneScaleData readScale;
    ASSERT_TRUE(readScale.deserialize(scale.serialize()));
    EXPECT_EQ(readScale.notes, scale.notes);
    EXPECT_EQ(readScale.md5, scale.md5);
    EXPECT_EQ(readScale.information.comment, "c");

    TuneOctData octave;
    octave.notes[35] = 0x12;
    octave.updateHash();
    TuneOctData readOctave;
    ASSERT_TRUE(readOctave.deserialize(octave.serialize()));
    EXPECT_EQ(readOctave.notes, octave.notes);

    // A scale container is no octave, and a cut block reads as nothing.
    TuneOctData untouched;
    EXPECT_FALSE(untouched.deserialize(scale.serialize()));
    EXPECT_EQ(untouched.notes, x47390_data::identityTuneOct);
    auto cut = octave.serialize();
    cut.setSize(40);
    EXPECT_FALSE(untouched.deserialize(cut));
    EXPECT_EQ(untouched.md5, TuneOctData().md5);
}
