// Documents written straight as text have exactly the bytes the element tree's writer gives for the same
// document, so files keep their form and compare as before.
#include "data/FavoriteData.h"
#include "data/ProgramInformation.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "data/XmlText.h"
#include "data/XmlTextWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace
{
const juce::String texts[] = {
    "",
    "Factory",
    "Ann & <Bob> \"quoted\" 'single' ]]> &amp; &#13;",
    "line one\r\nline two\rthree\n",
    "\tone\ttwo\t",
    "  padded  ",
    "   ",
    "\r\n",
    juce::String::fromUTF8("\xe3\x80\x80"), // an ideographic space alone
    "bell\x07 escape\x1b start\x01",
    juce::String::fromUTF8("Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xaa \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xb9"),
    "all plain: .,;:-()_+=?!$#@[]/|*%~{}'\\",
};

std::string direct(const std::function<void(std::string&)>& write)
{
    std::string out;
    write(out);
    return out;
}

std::string treeText(const juce::XmlElement& element) { return data::toDocumentText(element).toStdString(); }
} // namespace

TEST(XmlTextWriter, RecordDocumentsMatchTheirTrees)
{
    for (const auto& text : texts)
    {
        SCOPED_TRACE(text);
        x47390_data::ProgramInformation program;
        program.programmer = text;
        program.comment = "<" + text + ">";
        EXPECT_EQ(direct([&](std::string& out) { program.appendDocument(out); }), treeText(*program.createXml()));

        x47390_data::TuneScaleInformation scale;
        scale.programmer = text;
        scale.comment = text + text;
        EXPECT_EQ(direct([&](std::string& out) { scale.appendDocument(out); }), treeText(*scale.createXml()));

        x47390_data::TuneOctInformation octave;
        octave.comment = text;
        EXPECT_EQ(direct([&](std::string& out) { octave.appendDocument(out); }), treeText(*octave.createXml()));
    }

    x47390_data::FavoriteData liveset;
    EXPECT_EQ(direct([&](std::string& out) { liveset.appendDocument(out); }), treeText(*liveset.createXml()));
    liveset.entries[0] = {0, 1, -1, 499, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 42, 7};
    liveset.entries[3][7] = 123456;
    EXPECT_EQ(direct([&](std::string& out) { liveset.appendDocument(out); }), treeText(*liveset.createXml()));
}

// Attributes that wrap onto further lines, nesting, elements without content, texts beside elements.
TEST(XmlTextWriter, GeneralDocumentsMatchTheirTrees)
{
    juce::XmlElement root("Root");
    root.createNewChildElement("Product")->addTextElement("sonavire");
    auto* contents = root.createNewChildElement("Contents");
    root.createNewChildElement("Empty");
    auto* counted = root.createNewChildElement("Counted");
    const char* names[] = {"NumLivesetData", "NumProgramData", "NumPresetInformation", "NumTuneScaleData",
                           "NumTuneOctData", "A", "LongerAttributeNameThanAnyOther", "B"};
    const int values[] = {1, 500, 0, -7, 123456789, 3, std::numeric_limits<int>::min(), 0};
    for (size_t i = 0; i < std::size(names); ++i)
        contents->setAttribute(names[i], values[i]);
    counted->setAttribute("Count", 2);
    for (const auto& text : texts)
    {
        auto* pair = contents->createNewChildElement("Pair");
        data::addTextChild(*pair, "Information", text);
        pair->createNewChildElement("Deeper")->createNewChildElement("Deepest");
    }

    const auto written = direct(
        [&](std::string& out)
        {
            data::XmlTextWriter xml(out);
            xml.open("Root");
            xml.textElement("Product", "sonavire");
            xml.open("Contents");
            for (size_t i = 0; i < std::size(names); ++i)
                xml.attribute(names[i], values[i]);
            for (const auto& text : texts)
            {
                xml.open("Pair");
                xml.textElement("Information", text);
                xml.open("Deeper");
                xml.open("Deepest");
                xml.close();
                xml.close();
                xml.close();
            }
            xml.close();
            xml.open("Empty");
            xml.close();
            xml.open("Counted");
            xml.attribute("Count", 2);
            xml.close();
            xml.close();
        });
    EXPECT_EQ(written, treeText(root));

    // And it reads back to the same texts.
    const auto back = data::parseDocumentBytes(written.data(), written.size());
    ASSERT_NE(back, nullptr);
    int i = 0;
    for (const auto* pair : back->getChildByName("Contents")->getChildIterator())
        EXPECT_EQ(pair->getChildByName("Information")->getAllSubText(), texts[i++]);
}
