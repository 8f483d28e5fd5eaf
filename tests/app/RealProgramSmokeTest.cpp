// The real program starts, shows its main window and ends in order when its window is closed.
#include "tests/support/RealProgram.h"

#include <gtest/gtest.h>

TEST(RealProgram, StartsShowsItsWindowAndQuitsWhenClosed)
{
    testsupport::RealProgram program;
    ASSERT_TRUE(program.isStarted());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    EXPECT_EQ(program.getTitle(window), "sonavire Sound Librarian - Untitled");
    EXPECT_TRUE(program.screenshot(window).isValid());

    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput().toStdString();
}
