#include "app/CJQZResource.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

namespace
{
// Each test points the resource folder at its own temporary folder and sets the language.
class CJQZResourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        deleteLookup();
        for (const char* name : changedVariables)
            if (const char* value = std::getenv(name))
                saved[name] = value;
        setenv("SONAVIRE_RESOURCES", temp.get().getFullPathName().toRawUTF8(), 1);
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", "en_GB.UTF-8", 1);
    }

    // The other tests of the binary find the program's own texts again.
    void TearDown() override
    {
        deleteLookup();
        for (const char* name : changedVariables)
        {
            if (const auto it = saved.find(name); it != saved.end())
                setenv(name, it->second.c_str(), 1);
            else
                unsetenv(name);
        }
    }

    static constexpr const char* changedVariables[] = {"SONAVIRE_RESOURCES", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::map<std::string, std::string> saved;

    static void deleteLookup() { delete CJQZResource::getInstanceWithoutCreating(); }

    static CJQZResource& fresh()
    {
        deleteLookup();
        return *CJQZResource::getInstance();
    }

    // Writes the bytes as they are (UTF-8 or not).
    void writeTable(const juce::String& relativePath, const std::string& bytes) const
    {
        const auto file = temp.file(relativePath);
        ASSERT_TRUE(file.getParentDirectory().createDirectory());
        ASSERT_TRUE(file.replaceWithData(bytes.data(), bytes.size()));
    }

    testsupport::TemporaryFolder temp;
};
} // namespace

TEST_F(CJQZResourceTest, KeysMatchIgnoringCaseAndTheFirstEntryWins)
{
    writeTable("LocalizableStrings.xml",
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Strings>\n"
               "  <CommonOK Text=\"OK\"/>\n"
               "  <commonok Text=\"second\"/>\n"
               "  <CommonCancel/>\n"
               "  <CommonCancel Text=\"later\"/>\n"
               "  <Japanese Text=\"\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab\"/>\n"
               "</Strings>\n");
    auto& lookup = fresh();

    EXPECT_EQ(lookup.getString("CommonOK"), "OK");
    EXPECT_EQ(lookup.getString("commonok"), "OK");
    EXPECT_EQ(lookup.getString("COMMONOK"), "OK");
    EXPECT_EQ(lookup.getString("CommonCancel"), ""); // no Text: a later entry is not consulted
    EXPECT_EQ(lookup.getString("Missing"), "");
    EXPECT_EQ(lookup.getString(""), "");
    EXPECT_EQ(lookup.getString("Japanese"),
              juce::String::fromUTF8("\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab"));
}

TEST_F(CJQZResourceTest, MissingEmptyOrMalformedTablesAnswerEmptyTexts)
{
    const char* tables[] = {nullptr, "", "<Strings><CommonOK Text=\"OK\"", "not xml at all",
                            "<Strings><CommonOK Text=\"\xff\xfe\"/></Strings>"};

    for (const char* text : tables)
    {
        SCOPED_TRACE(text == nullptr ? "(no file)" : text);
        temp.file("LocalizableStrings.xml").deleteFile();
        if (text != nullptr)
            writeTable("LocalizableStrings.xml", text);

        EXPECT_EQ(fresh().getString("CommonOK"), "");
    }
}

TEST_F(CJQZResourceTest, LanguageVariantIsPreferredWhenPresent)
{
    writeTable("LocalizableStrings.xml", "<S><CommonOK Text=\"OK\"/></S>");
    writeTable("ja.lproj/LocalizableStrings.xml", "<S><CommonOK Text=\"ja-OK\"/></S>");
    writeTable("de.lproj/Other.xml", "<S/>");

    struct Case
    {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "ja_JP.UTF-8", "ja-OK"},
        {nullptr, nullptr, "ja", "ja-OK"},
        {nullptr, "ja_JP@euro", "en_US.UTF-8", "ja-OK"},
        {"en_US.UTF-8", "ja_JP", "ja_JP", "OK"},
        {"", "", "ja.UTF-8", "ja-OK"},     // empty values do not count
        {nullptr, nullptr, "de_DE", "OK"}, // a variant folder without the table
        {nullptr, nullptr, "jap_X", "OK"},
        {nullptr, nullptr, nullptr, "OK"},
    };

    for (const auto& c : cases)
    {
        const auto shown = [](const char* value)
        { return value == nullptr ? std::string("(unset)") : std::string(value); };
        SCOPED_TRACE(shown(c.lcAll) + "|" + shown(c.lcMessages) + "|" + shown(c.lang));
        for (auto [name, value] : {std::pair{"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}})
        {
            if (value == nullptr)
                unsetenv(name);
            else
                setenv(name, value, 1);
        }
        EXPECT_EQ(fresh().getString("CommonOK"), c.expected);
    }
}

TEST_F(CJQZResourceTest, LoadResourceFileReportsSizeAndCopiesAtMostTheBuffer)
{
    writeTable("Sample.txt", "0123456789");

    int size = 0;
    CJQZResource::loadResourceFile("Sample", "txt", nullptr, 0, &size);
    EXPECT_EQ(size, 10);

    char small[4] = {'x', 'x', 'x', 'x'};
    CJQZResource::loadResourceFile("Sample", "txt", small, 3, &size);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(juce::String(small, 4), "012x");

    CJQZResource::loadResourceFile("Absent", "txt", nullptr, 0, &size);
    EXPECT_EQ(size, -1);
    CJQZResource::loadResourceFile("Sample", "txt", nullptr, 0, nullptr); // no place for the size
}

// The table that ships with the program holds a text for every key the communication dialog and
// the file error messages use.
TEST(ShippedLocalisationTable, HoldsTheTextsTheProgramAsksFor)
{
    const auto shipped = testsupport::fixturesFolder().getSiblingFile("../resources/LocalizableStrings.xml");
    ASSERT_TRUE(shipped.existsAsFile()) << shipped.getFullPathName();
    auto table = juce::parseXML(shipped);
    ASSERT_NE(table, nullptr);

    const char* keys[] = {
        "CommonCancel",
        "CommonOK",
        "CommonErrorDialogTitle",
        "ConnectionErrorFailedToOpenPort",
        "ConnectionErrorNotFoundsonavire",
        "MidiCommunicationNoError",
        "MidiCommunicationCanceled",
        "MidiCommunicationErrorFailedToOpenDialog",
        "MidiCommunicationErrorFailedToOpenDialogDetail",
        "MidiCommunicationErrorTimeout",
        "MidiCommunicationErrorTimeoutDetail",
        "MidiCommunicationErrorTargetDevice",
        "MidiCommunicationErrorTargetDeviceDetail",
        "MidiCommunicationErrorReceiveNakOnReceive",
        "MidiCommunicationErrorReceiveNakOnReceiveDetail",
        "MidiCommunicationErrorReceiveNakOnWrite",
        "MidiCommunicationErrorReceiveNakOnWriteDetail",
        "MidiCommunicationErrorReceiveWriteError",
        "MidiCommunicationErrorReceiveWriteErrorDetail",
        "MidiCommunicationErrorMessageBroken",
        "MidiCommunicationErrorMessageBrokenDetail",
        "MidiCommunicationErrorReceiveUserCommErr",
        "MidiCommunicationErrorReceiveUserCommErrDetail",
        "ConnectionReceiveLibraryTitle",
        "ConnectionWriteLibraryTitle",
        "ConnectionReceiveUserDataTitle",
        "ConnectionWriteUserDataTitle",
        "CommunicationProcessReceiveLibrary",
        "CommunicationProcessWriteLibrary",
        "ReadErrorOpenFile",
        "ReadErrorFailedToUncompressZipFile",
        "WriteErrorOpenFile",
        "WriteErrorWriteData",
    };

    juce::StringArray seen;
    for (auto* child : table->getChildIterator())
    {
        EXPECT_FALSE(seen.contains(child->getTagName(), true)) << "twice: " << child->getTagName();
        seen.add(child->getTagName());
        EXPECT_TRUE(child->hasAttribute("Text")) << child->getTagName();
    }

    for (const char* key : keys)
    {
        auto* entry = table->getChildByName(key);
        ASSERT_NE(entry, nullptr) << key;
        EXPECT_TRUE(entry->getStringAttribute("Text").isNotEmpty()) << key;
    }
}
