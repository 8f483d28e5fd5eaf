// The real program's texts at the program list's row heights 20, 25 and 40, read from screenshots: every
// program number (1 to 500) and the fixed texts of the program page drawn whole. And the start-up opens
// only the font files of the faces it uses.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
using testsupport::RealProgram;

constexpr int deadlineMs = 60000;
constexpr int windowHeight = 1000;
// Main window client coordinates: menu bar 20, header 85, tabs 30, table header 28; the table ends where
// the live-set pane begins, 286 above the window's foot.
constexpr int tabsTop = 20 + 85;
constexpr int rowsTop = tabsTop + 30 + 28;
constexpr int rowsBottom = windowHeight - 286;
constexpr int numberColumnRight = 48;
constexpr int selectionProbeX = 700;

// Texts are light on the dark list.
constexpr float inkThreshold = 0.4f;

bool isInk(juce::Colour c) { return c.getBrightness() > inkThreshold; }

// The runs of columns that hold ink in an area: one per glyph where glyphs do not touch.
std::vector<juce::Range<int>> inkRuns(const juce::Image& shot, juce::Rectangle<int> area)
{
    std::vector<juce::Range<int>> runs;
    int start = -1;
    for (int x = area.getX(); x <= area.getRight(); ++x)
    {
        bool inked = false;
        for (int y = area.getY(); y < area.getBottom() && x < area.getRight() && !inked; ++y)
            inked = isInk(shot.getPixelAt(x, y));
        if (inked && start < 0)
            start = x;
        if (!inked && start >= 0)
        {
            runs.emplace_back(start, x);
            start = -1;
        }
    }
    return runs;
}

bool samePixels(const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    if (!a.isValid() || !b.isValid() || !a.getBounds().contains(area) || !b.getBounds().contains(area))
        return false;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                return false;
    return true;
}

bool rowLooksSelected(const juce::Image& shot, int y) { return shot.getPixelAt(selectionProbeX, y).getBrightness() > 0.12f; }

// The top of the selected row's band in the table, -1 when none shows.
int selectedRowTop(const juce::Image& shot)
{
    for (int y = rowsTop; y < rowsBottom; ++y)
        if (rowLooksSelected(shot, y))
            return y;
    return -1;
}

RealProgram::Options optionsFor(const juce::File& config, int rowHeight)
{
    RealProgram::writePreferences(config, {{"ProgramListHeight", juce::String(rowHeight)},
                                           {"MainWindowPositionX", "0"},
                                           {"MainWindowPositionY", "0"},
                                           {"MainWindowHeight", juce::String(windowHeight)},
                                           {"AutoReceive", "0"}});
    RealProgram::Options options;
    options.configHome = config;
    return options;
}

class FontsRealProgram : public ::testing::TestWithParam<int>
{
};
} // namespace

// Page by page (Page Down) through the table: the selected row is the landmark that tells each row's
// number, and each number shows as many separate digits as it has.
TEST_P(FontsRealProgram, EveryProgramNumberIsWhole)
{
    const int rowHeight = GetParam();
    testsupport::TemporaryFolder config;
    RealProgram program(optionsFor(config.get(), rowHeight));
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    const juce::Point<int> rest(940 - 20, 10);

    // The rows the table shows whole; Page Down moves the selection by as many.
    const int pageRows = (rowsBottom - rowsTop) / rowHeight;
    const juce::Rectangle<int> tableArea(0, rowsTop, 940, rowsBottom - rowsTop);
    juce::Image previous;
    std::set<int> seen;
    int selected = 0;
    for (int page = 0;; ++page)
    {
        SCOPED_TRACE("row " + juce::String(selected + 1));
        // The first page shows row 0 at the top; Page Down scrolls the selected row to the foot.
        juce::Image shot;
        ASSERT_TRUE(program.waitWhileMoving(window, rest,
                                            [&]
                                            {
                                                shot = program.screenshot(window);
                                                const int top = selectedRowTop(shot);
                                                if (page == 0)
                                                    return top == rowsTop;
                                                return top >= rowsBottom - 2 * rowHeight
                                                       && !samePixels(shot, previous, tableArea);
                                            },
                                            deadlineMs));
        previous = shot;
        const int landmark = selectedRowTop(shot);
        if (page == 0 || selected == 499)
            program.keepScreenshot(window, "fonts/rows-" + juce::String(rowHeight) + "-page-" + juce::String(page));

        for (int row = selected - pageRows; row <= selected + pageRows; ++row)
        {
            const int top = landmark + (row - selected) * rowHeight;
            if (row < 0 || row > 499 || top < rowsTop || top + rowHeight > rowsBottom)
                continue;
            const auto cell = juce::Rectangle<int>(0, top, numberColumnRight, rowHeight - 1);
            const auto runs = inkRuns(shot, cell);
            const auto number = juce::String(row + 1);
            EXPECT_EQ((int) runs.size(), number.length()) << "number " << number << " at row height " << rowHeight;
            if (!runs.empty())
                EXPECT_LT(runs.back().getEnd(), numberColumnRight - 1) << number;
            seen.insert(row + 1);
        }
        if (selected == 499)
            break;
        if (page == 0)
            ASSERT_TRUE(program.focusWindow(window));
        program.pressKey("Next");
        selected = juce::jmin(499, selected + pageRows);
    }
    EXPECT_EQ((int) seen.size(), 500);
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 500);
}

INSTANTIATE_TEST_SUITE_P(RowHeights, FontsRealProgram, ::testing::Values(20, 25, 40),
                         [](const ::testing::TestParamInfo<int>& info) { return "Rows" + std::to_string(info.param); });

// A font file the start-up would open only if it read every installed font: a pipe named like one, in
// the folder the toolkit's own scan reads first. A reader that opened it would still wait for a writer.
TEST(FontsRealProgramStartup, OpensNoFontFileItDoesNotUse)
{
    testsupport::TemporaryFolder fonts;
    const auto pipe = fonts.get().getChildFile("probe.ttf");
    ASSERT_EQ(mkfifo(pipe.getFullPathName().toRawUTF8(), 0600), 0);

    testsupport::TemporaryFolder config;
    auto options = optionsFor(config.get(), 25);
    options.environment.add("JUCE_FONT_PATH=" + fonts.get().getFullPathName());
    RealProgram program(options);
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    // Started, painted and its texts drawn: the first row is selected and numbered.
    ASSERT_TRUE(program.waitWhileMoving(window, {920, 10},
                                        [&]
                                        {
                                            const auto shot = program.screenshot(window);
                                            return rowLooksSelected(shot, rowsTop + 12)
                                                   && !inkRuns(shot, {0, rowsTop + 25, numberColumnRight, 24}).empty();
                                        },
                                        deadlineMs));

    const int writer = open(pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
    const int error = errno;
    if (writer >= 0)
        close(writer); // lets a waiting reader go on
    EXPECT_LT(writer, 0) << "the program opened every font it could find";
    EXPECT_EQ(error, ENXIO);
    program.sendSignal(SIGTERM);
    EXPECT_EQ(program.waitForExit(deadlineMs), 0) << program.getOutput();
}
