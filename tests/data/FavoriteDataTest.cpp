#include "data/FavoriteData.h"

#include <gtest/gtest.h>

#include <limits>

using x47390_data::FavoriteData;

namespace
{
std::unique_ptr<juce::XmlElement> parse(const std::string& text)
{
    auto root = juce::XmlDocument::parse(text);
    EXPECT_NE(root, nullptr) << text;
    return root;
}

std::string banks(int bankCount, int dataCount, const std::string& text = "7")
{
    std::string out;
    for (int b = 0; b < bankCount; ++b)
    {
        out += "<Bank>";
        for (int d = 0; d < dataCount; ++d)
            out += "<Data>" + text + "</Data>";
        out += "</Bank>";
    }
    return out;
}
} // namespace

TEST(FavoriteData, NewLiveSetDocument)
{
    FavoriteData favorites;
    std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<sonavire_Liveset>\r\n";
    for (int b = 0; b < 4; ++b)
    {
        expected += "  <Bank>\r\n";
        for (int d = 0; d < 8; ++d)
            expected += "    <Data>500</Data>\r\n";
        expected += "  </Bank>\r\n";
    }
    expected += "</sonavire_Liveset>\r\n";
    EXPECT_EQ(favorites.createDocumentText().toStdString(), expected);

    favorites.entries[3][7] = -2;
    EXPECT_TRUE(favorites.createDocumentText().contains("<Data>-2</Data>\r\n  </Bank>\r\n</sonavire_Liveset>"));
}

TEST(FavoriteData, PartialDocumentChangesOnlyNamedEntries)
{
    FavoriteData favorites;
    ASSERT_TRUE(favorites.loadFromXml(*parse("<sonavire_Liveset><Other/>" + banks(2, 3) + "</sonavire_Liveset>")));
    for (int b = 0; b < 4; ++b)
        for (int d = 0; d < 8; ++d)
            EXPECT_EQ(favorites.entries[(size_t) b][(size_t) d], (b < 2 && d < 3) ? 7 : 500) << b << "," << d;
}

TEST(FavoriteData, OtherElementsDoNotCountAndCaseIsIgnored)
{
    FavoriteData favorites;
    ASSERT_TRUE(favorites.loadFromXml(*parse(
        "<SONAVIRE_LIVESET><bank><x>1</x><data>11</data><DATA>12</DATA></bank><nobank/><BANK><Data>21</Data></BANK>"
        "</SONAVIRE_LIVESET>")));
    EXPECT_EQ(favorites.entries[0][0], 11);
    EXPECT_EQ(favorites.entries[0][1], 12);
    EXPECT_EQ(favorites.entries[0][2], 500);
    EXPECT_EQ(favorites.entries[1][0], 21);
}

TEST(FavoriteData, ExtraBanksAndSlotsAreIgnored)
{
    FavoriteData favorites;
    ASSERT_TRUE(favorites.loadFromXml(*parse("<sonavire_Liveset>" + banks(6, 12) + "</sonavire_Liveset>")));
    for (auto& bank : favorites.entries)
        for (int value : bank)
            EXPECT_EQ(value, 7);
}

TEST(FavoriteData, RefusedOrEmptyDocumentsChangeNothing)
{
    FavoriteData favorites;
    EXPECT_FALSE(favorites.loadFromXml(
        *parse("<sonavire_ProgramInformation>" + banks(1, 1) + "</sonavire_ProgramInformation>")));
    EXPECT_TRUE(favorites.loadFromXml(*parse("<sonavire_Liveset/>")));
    for (auto& bank : favorites.entries)
        for (int value : bank)
            EXPECT_EQ(value, 500);
}

TEST(FavoriteData, EntryTexts)
{
    struct Case
    {
        const char* text;
        int value;
    };
    const Case cases[] = {
        {" 42abc", 42},
        {"", 0},
        {"-5", -5},
        {"+17", 17},
        {"\t\n 8 9", 8},
        {"x12", 0},
        {"-", 0},
        {"2147483647", std::numeric_limits<int>::max()},
        {"2147483648", std::numeric_limits<int>::max()},
        {"99999999999999999999999", std::numeric_limits<int>::max()},
        {"-2147483648", std::numeric_limits<int>::min()},
        {"-99999999999999999999999", std::numeric_limits<int>::min()},
    };
    for (auto& c : cases)
    {
        EXPECT_EQ(FavoriteData::parseEntry(c.text), c.value) << '"' << c.text << '"';

        FavoriteData favorites;
        ASSERT_TRUE(favorites.loadFromXml(
            *parse(std::string("<sonavire_Liveset><Bank><Data>") + c.text + "</Data></Bank></sonavire_Liveset>")));
        EXPECT_EQ(favorites.entries[0][0], c.value) << '"' << c.text << '"';
    }
}

TEST(FavoriteData, WrittenDocumentReadsBack)
{
    FavoriteData source;
    int n = -3;
    for (auto& bank : source.entries)
        for (auto& value : bank)
            value = n++ * 17;
    FavoriteData target;
    ASSERT_TRUE(target.loadFromXml(*parse(source.createDocumentText().toStdString())));
    EXPECT_EQ(target.entries, source.entries);

    FavoriteData fromBinary;
    ASSERT_TRUE(fromBinary.deserialize(source.serialize()));
    EXPECT_EQ(fromBinary.entries, source.entries);
}
