// The real program with names that are no plain files or no plain names: a FIFO named like a library on
// the command line and from a second start, and a name with blanks, quotes and bytes that are not UTF-8.
#include "platform/system/FileNameBytes.h"
#include "tests/app/ShellTestSupport.h"
#include "tests/support/RealProgram.h"
#include "tests/support/UnusualFiles.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using testsupport::RealProgram;

namespace
{
const juce::String applicationName("sonavire Sound Librarian");

class UnusualFileRealProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RealProgram::writePreferences(configHome(), {{"AutoReceive", "0"}}));
    }

    juce::File configHome() const { return files.file("config"); }

    RealProgram::Options optionsWith(const juce::StringArray& arguments, const RealProgram* first = nullptr) const
    {
        RealProgram::Options options;
        options.configHome = configHome();
        options.arguments = arguments;
        options.shareDisplayWith = first;
        return options;
    }

    // Waits for the read-error alert, keeps a picture of it, closes it and waits until the main window is
    // alone again.
    static bool dismissError(RealProgram& program)
    {
        const auto alert = program.waitForTitle("Error", 60000);
        if (alert == 0)
            return false;
        program.keepScreenshot(alert, "unusual-files/open-error");
        program.closeWindow(alert);
        return program.waitUntil([&] { return program.getWindows().size() == 1; }, 60000);
    }

    testsupport::TemporaryFolder files;
    testsupport::CommandLineFiles samples{files.get()};
};
} // namespace

TEST_F(UnusualFileRealProgram, AFifoOnTheCommandLineOrFromASecondStartGetsTheOpenError)
{
    const auto fifo = files.file("pipe.snvrlib");
    ASSERT_TRUE(testsupport::makeFifo(fifo));
    const testsupport::FifoRelease release(fifo);

    RealProgram program(optionsWith({fifo.getFullPathName()}));
    ASSERT_TRUE(dismissError(program)) << program.getOutput();
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    program.keepScreenshot(window, "unusual-files/after-fifo");
    EXPECT_EQ(program.getTitle(window), applicationName + " - Untitled");

    // A later start hands the same name over: the running program says so again and goes on.
    RealProgram second(optionsWith({fifo.getFullPathName()}, &program));
    EXPECT_EQ(second.waitForExit(60000), 0) << second.getOutput();
    ASSERT_TRUE(dismissError(program)) << program.getOutput();

    // It still opens what it can: a real library from a third start.
    RealProgram third(optionsWith({samples.library.getFullPathName()}, &program));
    EXPECT_EQ(third.waitForExit(60000), 0) << third.getOutput();
    EXPECT_TRUE(program.waitForWindowTitle(window, applicationName + " - My Sounds.snvrlib", 60000))
        << program.getTitle(window);
    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
    EXPECT_FALSE(release.wasNeeded());
}

TEST_F(UnusualFileRealProgram, NamesWithQuotesBlanksAndOtherBytesOpenFromEitherStart)
{
    // One name for the first start, one for a second start.
    const std::string folder = files.get().getFullPathName().toStdString();
    const std::string firstName = folder + "/My \"Best\" Sounds.snvrlib";
    const std::string secondName = folder + "/caf\xe9 \"\xff\" x.snvrlib";
    ASSERT_TRUE(samples.library.copyFileTo(juce::File(juce::String::fromUTF8(firstName.c_str()))));
    ASSERT_EQ(std::rename(samples.library.getFullPathName().toRawUTF8(), secondName.c_str()), 0);

    RealProgram program(optionsWith({juce::String::fromUTF8(firstName.c_str())}));
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    EXPECT_TRUE(program.waitForWindowTitle(window, applicationName + " - My \"Best\" Sounds.snvrlib", 60000))
        << program.getTitle(window);

    // Arguments are handed to the program by their bytes.
    const auto name = platform::fileNameFromBytes(secondName.c_str());
    RealProgram second(optionsWith({name}, &program));
    EXPECT_EQ(second.waitForExit(60000), 0) << second.getOutput();
    // Shown with the replacement character for each byte that is not UTF-8.
    const auto secondTitle = applicationName + " - " + juce::String::fromUTF8("caf\xef\xbf\xbd \"\xef\xbf\xbd\" x.snvrlib");
    EXPECT_TRUE(program.waitForWindowTitle(window, secondTitle, 60000)) << program.getTitle(window);

    // Dropped, such a name arrives escaped byte by byte, as file managers send it ("+" too).
    const std::string droppedName = folder + "/plus+caf\xe8.snvrlib";
    ASSERT_EQ(std::rename(secondName.c_str(), droppedName.c_str()), 0);
    const auto dropped = platform::fileNameFromBytes(droppedName.c_str());
    const auto bounds = program.getWindowBounds(window);
    EXPECT_EQ(program.dropFiles(window, bounds.getCentre() - bounds.getPosition(), {dropped}),
              RealProgram::DropOutcome::dropped);
    const auto droppedTitle = applicationName + " - " + juce::String::fromUTF8("plus+caf\xef\xbf\xbd.snvrlib");
    EXPECT_TRUE(program.waitForWindowTitle(window, droppedTitle, 60000)) << program.getTitle(window);
    EXPECT_EQ(program.getWindows().size(), 1u) << "no error";
    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
}
