// Inputs the fuzzers found, kept so the faults stay mended.
#include "data/ProgramData.h"
#include "data/XmlText.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
juce::MemoryBlock fixture(const char* name)
{
    juce::MemoryBlock bytes;
    testsupport::fixturesFolder().getChildFile("fuzz").getChildFile(name).loadFileAsData(bytes);
    return bytes;
}
} // namespace

TEST(FuzzRegression, ClipboardProgramWithEmptySectionReadsWithoutTouchingANullPointer)
{
    const auto bytes = fixture("serialized-program-empty-section.bin");
    ASSERT_GT(bytes.getSize(), 0u);
    x47390_data::ProgramData program;
    data::SerializedData serialized(bytes.getData(), bytes.getSize());
    program.deserialize(serialized); // either outcome is fine; the sanitizer build checks the read
    SUCCEED();
}

TEST(FuzzRegression, DeeplyNestedDocumentIsRefusedNotRecursedInto)
{
    std::string text = "<?xml version=\"1.0\"?>";
    for (int i = 0; i < 100000; ++i)
        text += "<a>";
    EXPECT_EQ(data::parseDocumentBytes(text.data(), text.size()), nullptr);

    juce::String shallow = "<ProgramInformation><Programmer>x</Programmer></ProgramInformation>";
    EXPECT_NE(data::parseDocumentBytes(shallow.toRawUTF8(), std::strlen(shallow.toRawUTF8())), nullptr);
}

TEST(FuzzRegression, InformationWithControlCharactersIsRefusedBeforeTheXmlParserLoops)
{
    // The XML parser never returns on an element name broken by a control character.
    const auto bytes = fixture("serialized-program-xml-parser-loop.bin");
    ASSERT_GT(bytes.getSize(), 0u);
    x47390_data::ProgramData program;
    const auto before = program.binary;
    EXPECT_FALSE(program.deserialize(data::SerializedData(bytes.getData(), bytes.getSize())));
    EXPECT_EQ(program.binary, before);

    const std::string broken = "<a>\r\n  <Pro\x01";
    EXPECT_EQ(data::parseDocumentBytes(broken.data(), broken.size()), nullptr);
}

TEST(FuzzRegression, ProcessingInstructionInsideAnElementIsRefusedBeforeTheXmlParserLoops)
{
    const auto bytes = fixture("serialized-program-processing-instruction-loop.bin");
    ASSERT_GT(bytes.getSize(), 0u);
    x47390_data::ProgramData program;
    EXPECT_FALSE(program.deserialize(data::SerializedData(bytes.getData(), bytes.getSize())));

    const std::string inside = "<a><?x?>text</a>";
    EXPECT_EQ(data::parseDocumentBytes(inside.data(), inside.size()), nullptr);
    const std::string prolog = "<?xml version=\"1.0\"?><a>text</a>";
    EXPECT_NE(data::parseDocumentBytes(prolog.data(), prolog.size()), nullptr);
}

TEST(FuzzRegression, DocumentTypeDeclarationIsRefusedBeforeItsEntitiesExpand)
{
    // Entities that hold entities: the parser expands them without bound (this one never returns).
    std::string text = "<?xml version=\"1.0\"?><!DOCTYPE r [ <!ENTITY a0 \"<b/>\" >";
    for (int level = 1; level < 4; ++level)
    {
        text += " <!ENTITY a" + std::to_string(level) + " \"<b>";
        for (int i = 0; i < 10; ++i)
            text += "&a" + std::to_string(level - 1) + ";";
        text += "</b>\" >";
    }
    text += " ]><r>&a3;</r>";
    EXPECT_EQ(data::parseDocumentBytes(text.data(), text.size()), nullptr);

    // Comments, CDATA, the predefined entities and character references still read.
    const std::string plain = "<!-- note --><a>&lt;&amp;&#65;&#x42;<![CDATA[<c>]]></a>";
    const auto element = data::parseDocumentBytes(plain.data(), plain.size());
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->getAllSubText(), "<&AB<c>");
}

TEST(FuzzRegression, QuoteWhereAnAttributeBelongsIsRefusedBeforeTheXmlParserLoops)
{
    // The parser stops the tag at the quote, reads the rest as text and loops on the instruction after it.
    const auto bytes = fixture("serialized-program-quoted-tag-loop.bin");
    ASSERT_GT(bytes.getSize(), 0u);
    x47390_data::ProgramData program;
    EXPECT_FALSE(program.deserialize(data::SerializedData(bytes.getData(), bytes.getSize())));
}
