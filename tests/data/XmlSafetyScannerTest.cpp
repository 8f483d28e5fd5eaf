#include "data/XmlSafetyScanner.h"
#include "data/XmlText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct ScannedDocument
{
    const char* what;
    std::string text;
    bool safe;
};

std::string nested(int levels)
{
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += "<a>";
    for (int i = 0; i < levels; ++i)
        text += "</a>";
    return text;
}

class XmlSafetyScannerTest : public testing::TestWithParam<ScannedDocument>
{
};
} // namespace

TEST_P(XmlSafetyScannerTest, PassesOnlyWhatTheParserTakesSafely)
{
    const auto& document = GetParam();
    EXPECT_EQ(data::XmlSafetyScanner::isSafe(document.text.data(), document.text.size()), document.safe)
        << document.what;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlSafetyScannerTest,
    testing::Values(
        ScannedDocument{"written by us", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<Info a=\"x &amp; &quot;y&quot;\">\r\n"
                                         "  <Name>&lt;&#228;&#x1F600;&gt;</Name>\r\n  <Empty/>\r\n</Info>\r\n",
                        true},
        ScannedDocument{"comments, CDATA and single quotes", "<!-- <?x?> --><a-1.b:c d='\"'><!--<!x>--><![CDATA[<?y?>]]>t</a-1.b:c>", true},
        ScannedDocument{"processing instruction before the root", "<?xml version=\"1.0\"?><?other?><a/>", true},
        ScannedDocument{"256 levels", nested(256), true},
        ScannedDocument{"257 levels", nested(257), false},
        ScannedDocument{"processing instruction in an element", "<a>x<?p?>y</a>", false},
        ScannedDocument{"processing instruction after the root", "<a/><?p?>", false},
        ScannedDocument{"document type declaration", "<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
        ScannedDocument{"unknown entity", "<a>&nbsp;</a>", false},
        ScannedDocument{"reference running past its quote", "<r a=\"&x\" b=';' c='\"><?p?>text'/>", false},
        ScannedDocument{"reference without a semicolon", "<a>&amp</a>", false},
        ScannedDocument{"character reference to nothing", "<a>&#0;&#x;</a>", false},
        ScannedDocument{"character reference beyond Unicode", "<a>&#x110000;</a>", false},
        ScannedDocument{"nine hexadecimal digits", "<a>&#x000000041;</a>", false},
        ScannedDocument{"quote where an attribute belongs", "<C''''>x<?p?>y</C>", false},
        ScannedDocument{"attribute without a quoted value", "<a b=c>x</a>", false},
        ScannedDocument{"name starting with a digit", "<a><1b/></a>", false},
        ScannedDocument{"non-ASCII name", "<a\xC3\xA9 b=\"x\"/>", false},
        ScannedDocument{"unterminated value", "<a b=\"x>", false},
        ScannedDocument{"control character", std::string("<a>\x01</a>"), false},
        ScannedDocument{"tag without a name", "<a>< =x</a>", false}));
