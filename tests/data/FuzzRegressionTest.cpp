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
