// The plain XML reader takes only documents it reads exactly as the general parser does; everything
// else is left to the general parser. Library files with any texts read the same either way.
#include "data/LibraryData.h"
#include "data/XmlText.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/PlainXml.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

x47390_file::PlainXmlDocument document;

const x47390_file::PlainXmlNode* plain(const std::string& text)
{
    return document.parse(text.data(), text.size());
}
} // namespace

TEST(PlainXml, ReadsOurWritersFormLikeTheGeneralParser)
{
    const std::string documents[] = {
        declaration + "\r\n\r\n<Root>\r\n  <Programmer>Factory</Programmer>\r\n  <Comment>A pad.</Comment>\r\n</Root>\r\n",
        declaration + "<Root><Programmer></Programmer><Comment/></Root>",
        declaration + "<Root a=\"1\"\r\n      b=\"two words\"><Inner><Deep>x</Deep>y</Inner><Comment>z  z</Comment></Root>",
        declaration + "<Root><Comment>" + std::string("\xE6\x97\xA5\xE6\x9C\xAC") + " text</Comment><comment>second</comment></Root>",
        declaration + "<Root>   </Root>",
    };
    for (const auto& document : documents)
    {
        SCOPED_TRACE(document);
        const auto node = plain(document);
        const auto element = data::parseDocumentBytes(document.data(), document.size());
        ASSERT_NE(node, nullptr);
        ASSERT_NE(element, nullptr);
        EXPECT_TRUE(node->nameIs(element->getTagName().toStdString()));
        EXPECT_EQ(node->getAllSubText(), element->getAllSubText());
        for (const char* name : {"Programmer", "COMMENT", "Inner", "Missing"})
        {
            const auto* child = node->firstChildNamed(name);
            const auto* other = data::firstChildNamed(*element, name);
            ASSERT_EQ(child == nullptr, other == nullptr) << name;
            if (child != nullptr)
                EXPECT_EQ(child->getAllSubText(), other->getAllSubText()) << name;
        }
    }
}

TEST(PlainXml, LeavesEveryOtherFormToTheGeneralParser)
{
    const std::string refused[] = {
        "<Root/>",                                                            // no declaration
        "<?xml version=\"1.0\"?><Root/>",                                     // another declaration
        declaration + "<Root><C>Tom &amp; Jerry</C></Root>",                  // a reference
        declaration + "<Root><!-- note --><C>x</C></Root>",                   // a comment
        declaration + "<Root><C><![CDATA[x]]></C></Root>",                    // a section
        declaration + "<!DOCTYPE Root><Root/>",                               // a document type
        declaration + "<Root><?pi x?></Root>",                                // an instruction
        declaration + "<Root><C> padded </C></Root>",                         // white space around a text
        declaration + "<Root><C>two\nlines</C></Root>",                       // a line break in a text
        declaration + "<Root><C>a\x01" "b</C></Root>",                        // a control character
        declaration + "<Root><C>\xC3\x28</C></Root>",                         // not UTF-8
        declaration + "<Root><C>x</D></Root>",                                // mismatched tags
        declaration + "<Root a='1'/>",                                        // single quotes
        declaration + "<Root/>trailing",                                      // text after the root
        declaration + "<Root><C>x > y</C></Root>",                            // a markup character
        declaration + std::string(40, ' ') + "<Root>" + [] {
            std::string deep;
            for (int i = 0; i < 40; ++i)
                deep += "<d>";
            for (int i = 0; i < 40; ++i)
                deep += "</d>";
            return deep;
        }() + "</Root>",                                                      // deeper than the limit
    };
    for (const auto& document : refused)
        EXPECT_EQ(plain(document), nullptr) << document;
}

TEST(PlainXml, LibraryTextsOfAnyKindReadBackTheSame)
{
    testsupport::TemporaryFolder temp;
    x47390_data::LibraryData library;
    const std::pair<const char*, const char*> texts[] = {
        {"Factory", "A pad."},         {"Tom & Jerry", "x < y > z"}, {" leading", "trailing "},
        {"", ""},                      {"\xE6\x97\xA5\xE6\x9C\xAC", "two\nlines"}, {"\"quoted\"", "'single'"},
    };
    for (int i = 0; i < (int) std::size(texts); ++i)
    {
        library.getProgramData(i).information.programmer = juce::String::fromUTF8(texts[i].first);
        library.getProgramData(i).information.comment = juce::String::fromUTF8(texts[i].second);
    }
    const auto file = temp.file("texts.snvrlib");
    ASSERT_EQ(x47390_file::LibraryFileWriter(&library).write(file), 0);

    x47390_data::LibraryData read;
    ASSERT_EQ(x47390_file::LibraryFileReader(&read).read(file), 0);
    for (int i = 0; i < (int) std::size(texts); ++i)
    {
        EXPECT_EQ(read.getProgramData(i).information.programmer, juce::String::fromUTF8(texts[i].first)) << i;
        EXPECT_EQ(read.getProgramData(i).information.comment, juce::String::fromUTF8(texts[i].second)) << i;
    }
}
