#include "app/CJQZClipboard.h"
#include "data/ProgramData.h"
#include "platform/clipboard/X11Pasteboard.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <chrono>
#include <cstdlib>

#include <unistd.h>

using platform::clipboard::Pasteboard;

namespace
{
x47390_data::ProgramData sampleProgram()
{
    x47390_data::ProgramData program;
    for (size_t i = 16; i < 332; ++i)
        program.binary[i] = (juce::uint8) (i * 31);
    program.setName("Clipped");
    program.information.programmer = "Ann";
    program.information.comment = "Line one\nline \"two\" & <three>";
    program.updateHash();
    return program;
}

void expectSameProgram(const std::optional<x47390_data::ProgramData>& read, const x47390_data::ProgramData& program)
{
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->binary, program.binary);
    EXPECT_EQ(read->md5, program.md5);
    EXPECT_EQ(read->information.programmer, program.information.programmer);
    EXPECT_EQ(read->information.comment, program.information.comment);
}

struct ProgramClipboard : ::testing::Test
{
    void TearDown() override { Pasteboard::setDefault(nullptr); }
};

struct X11ProgramClipboard : ProgramClipboard
{
    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display";
        // Test processes share one display and run side by side: each works on a selection of its own, but
        // for the test of the text that JUCE puts on CLIPBOARD.
        const auto selection = usesClipboard() ? juce::String("CLIPBOARD")
                                               : "SONAVIRE_TEST_SELECTION_" + juce::String(::getpid());
        const auto open = [&] { return platform::clipboard::X11Pasteboard::open({}, selection, answerTimeoutMs()); };
        first = testsupport::madeWithin(open);
        second = testsupport::madeWithin(open);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
    }

    virtual bool usesClipboard() const { return false; }
    virtual int answerTimeoutMs() const { return platform::clipboard::X11Pasteboard::replyTimeoutMs; }

    std::shared_ptr<platform::clipboard::X11Pasteboard> first, second;
};

struct JuceTextOnClipboard : X11ProgramClipboard
{
    bool usesClipboard() const override { return true; }
    // A paste that asked the message thread would then hang, which no busy machine mistakes for a slow one.
    int answerTimeoutMs() const override { return testsupport::hangMs; }
};
} // namespace

TEST_F(ProgramClipboard, InProcessRoundTrip)
{
    Pasteboard::setDefault(std::make_shared<platform::clipboard::InProcessPasteboard>());
    EXPECT_FALSE(CJQZClipboard().readProgram().has_value());

    const auto program = sampleProgram();
    CJQZClipboard().copyProgram(program);
    expectSameProgram(CJQZClipboard().readProgram(), program);
    EXPECT_EQ(CJQZClipboard().readFromSystemPasteboard(), juce::MemoryBlock(program.serialize()));

    Pasteboard::getDefault()->setData("UTF8_STRING", juce::MemoryBlock("text", 4));
    EXPECT_FALSE(CJQZClipboard().readProgram().has_value());
}

// Two display connections stand for two running copies of the program.
TEST_F(X11ProgramClipboard, AProgramCopiedInOneCopyIsPastedInAnother)
{
    const auto program = sampleProgram();
    Pasteboard::setDefault(first);
    CJQZClipboard().copyProgram(program);

    Pasteboard::setDefault(second);
    expectSameProgram(CJQZClipboard().readProgram(), program);

    // Garbage under our type from the other copy is refused.
    second->setData(CJQZClipboard::programDataType, juce::MemoryBlock("snvrProg but not really", 23));
    Pasteboard::setDefault(first);
    EXPECT_TRUE(CJQZClipboard().readFromSystemPasteboard().has_value());
    EXPECT_FALSE(CJQZClipboard().readProgram().has_value());
}

// Text copied in our own windows is served by the message thread, which a paste must not wait for.
TEST_F(JuceTextOnClipboard, TextCopiedInOurWindowsIsNoProgramAndCostsNoWait)
{
    Pasteboard::setDefault(first);
    CJQZClipboard().copyProgram(sampleProgram());
    juce::SystemClipboard::copyTextToClipboard("some text");
    // (JUCE sends its claim with the next request to the server; in the program a repaint soon follows.)
    EXPECT_EQ(juce::SystemClipboard::getTextFromClipboard(), "some text");
    ASSERT_TRUE(testsupport::runMessageLoopUntil([this] { return !first->ownsSelection(); }));

    // A paste that asked the message thread would wait for the answer's whole time-out.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(CJQZClipboard().readProgram().has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(testsupport::hangMs));
}
