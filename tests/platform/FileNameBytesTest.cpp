#include "platform/system/FileNameBytes.h"

#include <gtest/gtest.h>

#include <string>

// Every name turns back into its bytes; UTF-8 names read as their text, other bytes as stray-byte characters.
TEST(FileNameBytes, EveryNameKeepsItsBytes)
{
    struct Case
    {
        const char* label;
        std::string bytes;
        int strayBytes; // characters U+DC80 to U+DCFF in the name
    };
    const Case cases[] = {
        {"ASCII", "/home/a/My Sounds.snvrlib", 0},
        {"UTF-8 of every length", "/caf\xc3\xa9 \xe2\x99\xaa \xf0\x9f\x8e\xb9", 0},
        {"Latin-1 byte", "/caf\xe9.snvrlib", 1},
        {"lone continuation byte", "/a\x80z", 1},
        {"sequence cut short", "/a\xe2\x99", 2},
        {"sequence cut by the end of a part", "/a\xe2\x99/b", 2},
        {"overlong slash", "/a\xc0\xafz", 2},
        {"encoded surrogate", "/a\xed\xb2\x80z", 3},
        {"beyond U+10FFFF", "/a\xf4\x90\x80\x80", 4},
        {"bytes never in UTF-8", "/\xfe\xff", 2},
    };
    for (const auto& c : cases)
    {
        const auto name = platform::fileNameFromBytes(c.bytes.c_str());
        EXPECT_EQ(platform::fileNameBytes(name), c.bytes) << c.label;
        int stray = 0;
        for (auto p = name.getCharPointer(); !p.isEmpty();)
        {
            const auto character = p.getAndAdvance();
            stray += character >= 0xDC80 && character <= 0xDCFF ? 1 : 0;
        }
        EXPECT_EQ(stray, c.strayBytes) << c.label;
        if (c.strayBytes == 0)
            EXPECT_EQ(name, juce::String::fromUTF8(c.bytes.c_str())) << c.label;
    }
    EXPECT_EQ(platform::fileNameBytes(juce::File("/plain/name")), "/plain/name");
    EXPECT_EQ(platform::displayedFileName(platform::fileNameFromBytes("caf\xe9 \xc3\xa9")),
              juce::String::fromUTF8("caf\xef\xbf\xbd \xc3\xa9"));
}
