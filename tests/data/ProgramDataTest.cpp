#include "data/ProgramData.h"
#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"

#include <gtest/gtest.h>

using x47390_data::ProgramData;

namespace
{
const char* const initProgramMd5 = "a4fa5be24cb09c35a91e81ef2bbf71af";

// A program container built by hand, as foreign bytes would arrive on the clipboard.
data::SerializedData container(const std::string& tag, const std::vector<std::pair<std::string, std::string>>& sections)
{
    data::SerializedData block;
    data::SerializedSectionDataWriter writer(block);
    for (auto& [sectionTag, payload] : sections)
        writer.addSection(sectionTag, payload.data(), payload.size());
    writer.finish(tag);
    return block;
}

std::string info(const std::string& root, const std::string& children)
{
    return "<?xml version=\"1.0\"?><" + root + ">" + children + "</" + root + ">";
}

ProgramData editedProgram()
{
    ProgramData p;
    p.setName("Edited");
    p.binary[100] = 0x5A;
    p.information.programmer = "Ann";
    p.information.comment = "A & B <warm>";
    p.updateHash();
    return p;
}
} // namespace

TEST(ProgramData, NewProgramIsTheInitialProgram)
{
    ProgramData p;
    EXPECT_EQ(p.binary, x47390_data::initProgramTemplate);
    EXPECT_EQ(p.getName(), "Init Program");
    EXPECT_TRUE(p.information.programmer.isEmpty());
    EXPECT_TRUE(p.information.comment.isEmpty());
    EXPECT_EQ(p.md5, initProgramMd5);

    // Magics and the two-byte little-endian value at 24-25.
    EXPECT_EQ(std::string(p.binary.begin(), p.binary.begin() + 4), "PROG");
    EXPECT_EQ(std::string(p.binary.begin() + 332, p.binary.end()), "PRED");
    EXPECT_EQ(p.binary[24] | (p.binary[25] << 8), 1200);
    EXPECT_EQ(p.binary[ProgramData::tuningOffset], 0);
}

TEST(ProgramData, SetNameAndGetName)
{
    struct Case
    {
        const char* given;
        const char* stored;
    };
    const Case cases[] = {
        {"Bass", "Bass        "},
        {"Twenty characters!!!", "Twenty chara"},
        {"", "            "},
        {"Exactly12chr", "Exactly12chr"},
    };
    for (auto& c : cases)
    {
        ProgramData p;
        p.setName(c.given);
        EXPECT_EQ(std::string(p.binary.begin() + 4, p.binary.begin() + 16), c.stored) << c.given;
        EXPECT_EQ(p.getName(), c.stored) << c.given;
        EXPECT_EQ(p.md5, x47390_data::md5Text(p.binary.data(), p.binary.size()));
    }
}

TEST(ProgramData, NameStopsAtNulOrHighByte)
{
    ProgramData p;
    p.binary[8] = 0xC3;
    EXPECT_EQ(p.getName(), "Init");

    std::fill(p.binary.begin() + 4, p.binary.begin() + 16, 0);
    EXPECT_EQ(p.getName(), "");

    // Bytes of 0x80 and above are stored as they come.
    p.setName(juce::String::fromUTF8("Caf\xc3\xa9"));
    EXPECT_EQ(p.binary[7], 0xC3);
    EXPECT_EQ(p.binary[8], 0xA9);
    EXPECT_EQ(p.getName(), "Caf");
}

TEST(ProgramData, InformationDocumentText)
{
    ProgramData p;
    EXPECT_EQ(p.createInformationText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                         "\r\n"
                                         "<sonavire_ProgramInformation>\r\n"
                                         "  <Programmer></Programmer>\r\n"
                                         "  <Comment></Comment>\r\n"
                                         "</sonavire_ProgramInformation>\r\n");

    p.information.programmer = "Ann";
    p.information.comment = "A & B <warm>";
    EXPECT_EQ(p.createInformationText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                         "\r\n"
                                         "<sonavire_ProgramInformation>\r\n"
                                         "  <Programmer>Ann</Programmer>\r\n"
                                         "  <Comment>A &amp; B &lt;warm&gt;</Comment>\r\n"
                                         "</sonavire_ProgramInformation>\r\n");
}

TEST(ProgramData, LoadInformationFromXml)
{
    struct Case
    {
        std::string document;
        bool accepted;
        const char* programmer;
        const char* comment;
    };
    const Case cases[] = {
        {info("sonavire_ProgramInformation", "<Programmer>P</Programmer><Comment>C</Comment>"), true, "P", "C"},
        {info("SONAVIRE_programinformation", "<programmer>P</programmer>"), true, "P", "old comment"},
        {info("sonavire_ProgramInformation", "<Comment>C</Comment><Programmer>P</Programmer>"), true, "P", "C"},
        {info("sonavire_ProgramInformation", "<Comment>first</Comment><Comment>second</Comment>"), true,
         "old programmer", "first"},
        {info("sonavire_ProgramInformation", "<Comment>a<b/>c</Comment>"), true, "old programmer", "ac"},
        {info("sonavire_ProgramInformation", ""), true, "old programmer", "old comment"},
        {info("sonavire_Liveset", "<Programmer>P</Programmer>"), false, "old programmer", "old comment"},
    };
    for (auto& c : cases)
    {
        ProgramData p;
        p.information.programmer = "old programmer";
        p.information.comment = "old comment";
        auto root = juce::XmlDocument::parse(c.document);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(p.loadInformationFromXml(*root), c.accepted) << c.document;
        EXPECT_EQ(p.information.programmer, c.programmer) << c.document;
        EXPECT_EQ(p.information.comment, c.comment) << c.document;
    }
}

TEST(ProgramData, SerializeLayoutAndRoundTrip)
{
    const auto source = editedProgram();
    const auto block = source.serialize();
    const auto text = source.createInformationText();
    EXPECT_EQ(block.getSize(), 32u + 32 + 336 + 32 + (size_t) text.getNumBytesAsUTF8() + 1);

    data::SerializedSectionDataReader reader(block);
    ASSERT_TRUE(reader.read());
    EXPECT_EQ(reader.getTag(), "snvrProg");
    ASSERT_EQ(reader.getSections().size(), 2u);
    EXPECT_EQ(reader.getSections()[0].tag, "snvrPrgD");
    EXPECT_EQ(reader.getSections()[1].tag, "snvrPrgI");
    const auto& infoPayload = reader.getSections()[1].payload;
    EXPECT_EQ(infoPayload[infoPayload.getSize() - 1], 0);

    ProgramData target;
    ASSERT_TRUE(target.deserialize(block));
    EXPECT_EQ(target.binary, source.binary);
    EXPECT_EQ(target.information.programmer, source.information.programmer);
    EXPECT_EQ(target.information.comment, source.information.comment);
    EXPECT_EQ(target.md5, source.md5);
}

// A whole program section without information keeps the texts.
TEST(ProgramData, DeserializeWithoutInformationKeepsTheTexts)
{
    auto p = editedProgram();
    ASSERT_TRUE(p.deserialize(container("snvrProg", {{"snvrPrgD", std::string(336, '\x44')}})));
    EXPECT_EQ(p.binary[335], 0x44);
    EXPECT_EQ(p.information.programmer, "Ann");
    EXPECT_EQ(p.md5, x47390_data::md5Text(p.binary.data(), p.binary.size()));
}

TEST(ProgramData, LaterSectionOfTheSameTagWins)
{
    ProgramData p;
    ASSERT_TRUE(p.deserialize(
        container("snvrProg", {{"snvrPrgD", std::string(336, '\x11')},
                               {"snvrPrgI", info("sonavire_ProgramInformation", "<Comment>one</Comment>") + '\0'},
                               {"snvrPrgI", info("sonavire_ProgramInformation", "<Comment>two</Comment>") + '\0'}})));
    EXPECT_EQ(p.information.comment, "two");
}

TEST(ProgramData, RefusedContainersLeaveTheRecordUnchanged)
{
    const std::string binary(336, '\x33');
    const std::string goodInfo = info("sonavire_ProgramInformation", "<Comment>new</Comment>") + '\0';
    auto corrupt = container("snvrProg", {{"snvrPrgD", binary}});
    corrupt.setSize(corrupt.getSize() - 1); // payload cut short

    struct Case
    {
        const char* what;
        data::SerializedData block;
    };
    const Case cases[] = {
        {"shorter tag", container("snvrPro", {{"snvrPrgD", binary}})},
        {"other letter case", container("SNVRPROG", {{"snvrPrgD", binary}})},
        {"other tag", container("snvrLive", {{"snvrPrgD", binary}})},
        {"cut payload", corrupt},
        {"empty block", data::SerializedData()},
        {"information with another root",
         container("snvrProg", {{"snvrPrgD", binary}, {"snvrPrgI", info("sonavire_Liveset", "") + '\0'}})},
        {"information without a root element",
         container("snvrProg", {{"snvrPrgD", binary}, {"snvrPrgI", "plain text"}})},
        {"information not UTF-8",
         container("snvrProg", {{"snvrPrgD", binary},
                                {"snvrPrgI", info("sonavire_ProgramInformation", "<Comment>\xC3(</Comment>")}})},
        {"information with an overlong UTF-8 form",
         container("snvrProg", {{"snvrPrgD", binary},
                                {"snvrPrgI", info("sonavire_ProgramInformation", "<Comment>\xC0\xBC</Comment>")}})},
        {"information after the binary failing",
         container("snvrProg", {{"snvrPrgD", binary}, {"snvrPrgI", goodInfo}, {"snvrPrgI", "<broken"}})},
        // Only a whole program section makes a program: a short or long one, or none, would install a made-up one.
        {"no sections", container("snvrProg", {{"other", "ignored"}})},
        {"information only", container("snvrProg", {{"snvrPrgI", goodInfo}})},
        {"empty program section", container("snvrProg", {{"snvrPrgD", ""}, {"snvrPrgI", goodInfo}})},
        {"4 bytes", container("snvrProg", {{"snvrPrgD", "PROG"}, {"snvrPrgI", goodInfo}})},
        {"335 bytes", container("snvrProg", {{"snvrPrgD", std::string(335, '\x11')}})},
        {"400 bytes", container("snvrProg", {{"snvrPrgD", std::string(400, '\x22')}})},
        {"a whole one, then a cut one",
         container("snvrProg", {{"snvrPrgD", binary}, {"snvrPrgD", std::string(100, '\x11')}})},
    };
    for (auto& c : cases)
    {
        auto p = editedProgram();
        const auto before = p;
        EXPECT_FALSE(p.deserialize(c.block)) << c.what;
        EXPECT_EQ(p.binary, before.binary) << c.what;
        EXPECT_EQ(p.information.comment, before.information.comment) << c.what;
        EXPECT_EQ(p.md5, before.md5) << c.what;
    }
}

TEST(ProgramData, InformationTextEndsAtFirstNul)
{
    ProgramData p;
    const std::string payload =
        info("sonavire_ProgramInformation", "<Comment>ok</Comment>") + std::string(1, '\0') + "\xFF\xFE garbage";
    ASSERT_TRUE(p.deserialize(container("snvrProg", {{"snvrPrgD", std::string(336, '\x11')}, {"snvrPrgI", payload}})));
    EXPECT_EQ(p.information.comment, "ok");
}

TEST(ProgramData, CopyCarriesTheHashUnchanged)
{
    ProgramData p;
    p.binary[200] = 0x77; // written directly, hash not yet updated
    const ProgramData copy(p);
    EXPECT_EQ(copy.md5, initProgramMd5);
    EXPECT_EQ(copy.binary[200], 0x77);
}

TEST(ProgramData, DefaultProgramIsTheInitialProgram)
{
    EXPECT_EQ(x47390_data::getDefaultProgramData().binary, x47390_data::initProgramTemplate);
    EXPECT_EQ(&x47390_data::getDefaultProgramData(), &x47390_data::getDefaultProgramData());
}
