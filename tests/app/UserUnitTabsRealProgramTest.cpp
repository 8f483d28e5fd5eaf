// The user-unit tabs of the real program, driven with real mouse and key input.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
// Main window layout: menu bar 20, header 85, tab bar 30; the page below has a table header of 28
// and rows of 25.
constexpr int pageTop = 20 + 85 + 30;
juce::Point<int> rowPoint(int row, int x = 150) { return {x, pageTop + 28 + 25 * row + 12}; }

// A selected row is filled with 0x44aaaaaa over the black list.
bool rowLooksSelected(const juce::Image& shot, int row)
{
    const auto p = rowPoint(row, 700);
    return shot.getPixelAt(p.x, p.y).getBrightness() > 0.12f;
}

// The centre of tab i of the six, which share the tab bar's width.
juce::Point<int> tabPoint(int index, int width) { return {width * (2 * index + 1) / 12, 20 + 85 + 15}; }
} // namespace

TEST(UserUnitTabsRealProgram, KeysSelectAndADragMovesSlotsAsAnEdit)
{
    testsupport::RealProgram::Options options;
    testsupport::TemporaryFolder config;
    options.configHome = config.get();
    ASSERT_TRUE(testsupport::RealProgram::writePreferences(config.get(),
                                                          {{"ProgramListHeight", "25"}, {"AutoReceive", "0"}}));
    testsupport::RealProgram program(options);
    ASSERT_TRUE(program.isStarted());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    const auto title = program.getTitle(window);

    const int width = program.getWindowBounds(window).getWidth();
    program.click(window, tabPoint(1, width));
    ASSERT_TRUE(program.waitUntil([&] { return rowLooksSelected(program.screenshot(window), 0); }))
        << "row 0 is selected on the USER OSCILLATORS page";

    // The keyboard moves the selection.
    program.click(window, rowPoint(0));
    program.pressKey("Down");
    ASSERT_TRUE(program.waitUntil(
        [&]
        {
            const auto shot = program.screenshot(window);
            return rowLooksSelected(shot, 1) && !rowLooksSelected(shot, 0);
        }));

    // Dragging row 1 before row 5 moves it: the library is edited and the moved row selected.
    program.drag(window, rowPoint(1), rowPoint(5) - juce::Point<int>(0, 6));
    EXPECT_TRUE(program.waitUntil([&] { return program.getTitle(window) != title; }))
        << program.getTitle(window);
    EXPECT_TRUE(program.getTitle(window).endsWith(" (edited)"));
    EXPECT_TRUE(program.waitUntil(
        [&]
        {
            const auto shot = program.screenshot(window);
            return rowLooksSelected(shot, 4) && !rowLooksSelected(shot, 1);
        }));
    // The edited library would be questioned on quitting: the test's end stops the program.
}
