// The real program's texts at the program list's row heights 20, 25 and 40, read from screenshots: every
// program number (1 to 500) and the fixed texts of the program page drawn whole. And the start-up opens
// only the font files of the faces it uses.
#include "app/ApplicationStartup.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "ui/FontLibrary.h"
#include "ui/WholeText.h"

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
// the live-set pane begins, 286 above the tab page's foot (which lies 85 below the window's).
constexpr int tabsTop = 20 + 85;
constexpr int rowsTop = tabsTop + 30 + 28;
constexpr int rowsBottom = windowHeight + 85 - 286;
constexpr int numberColumnLeft = 11, numberColumnRight = 48;
constexpr int selectionProbeX = 700;

// Texts are light on dark grounds: ink is what stands out from the area's darkest pixel (its ground) by this
// much, so that the faint edges of small grey glyphs count as well.
constexpr float inkContrast = 0.12f;

// The runs of columns that hold ink in an area: roughly one per glyph. On a ground that is not flat (the
// tabs' gradients) ink is what is brighter than a fixed threshold instead.
std::vector<juce::Range<int>> inkRuns(const juce::Image& shot, juce::Rectangle<int> area, float threshold = -1.0f)
{
    if (threshold < 0.0f)
    {
        float ground = 1.0f;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                ground = juce::jmin(ground, shot.getPixelAt(x, y).getBrightness());
        threshold = ground + inkContrast;
    }
    const auto isInk = [&](juce::Colour c) { return c.getBrightness() > threshold; };

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

bool rowLooksSelected(const juce::Image& shot, int y)
{
    return shot.getPixelAt(selectionProbeX, y).getBrightness() > 0.12f;
}

// The top of the selected row's band in the table (the lines between rows are bright too, but one pixel
// high), -1 when none shows.
int selectedRowTop(const juce::Image& shot, int rowHeight)
{
    for (int y = rowsTop; y + rowHeight / 2 < rowsBottom; ++y)
    {
        bool band = true;
        for (int dy = 0; dy < rowHeight / 2 && band; ++dy)
            band = rowLooksSelected(shot, y + dy);
        if (band)
            return y;
    }
    return -1;
}

// The width of the ink a whole text leaves when drawn in the program's face, fitted to the room it has.
float wholeInkWidth(const juce::String& text, float fontHeight, float room)
{
    const auto font =
        ui::fitFontToWidth(text, ui::FontLibrary::getInstance()->makeFont("Arial Unicode MS", fontHeight), room);
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText(font, text, 0.0f, 0.0f);
    return glyphs.getBoundingBox(0, -1, true).getWidth();
}

// A one-line text in an area of the screenshot is whole: its ink is as wide as the whole text's (a glyph
// left out would take a glyph's width away) and it stays inside the area. A text that ends in a
// tall letter is checked for a "..." ending too.
void expectWhole(const juce::Image& shot, juce::Rectangle<int> area, int room, const juce::String& text,
                 float fontHeight, bool endsTall = false)
{
    SCOPED_TRACE(text + " in " + area.toString());
    const auto runs = inkRuns(shot, area);
    ASSERT_FALSE(runs.empty());
    const auto ink = (float) (runs.back().getEnd() - runs.front().getStart());
    EXPECT_GE(ink, wholeInkWidth(text, fontHeight, (float) room) - 3.0f);
    EXPECT_GT(runs.front().getStart(), area.getX());
    EXPECT_LE(runs.back().getEnd(), area.getRight());

    if (!endsTall)
        return;
    int top = area.getBottom(), bottom = area.getY();
    const auto lastColumns = juce::Rectangle<int>(runs.back().getEnd() - 2, area.getY(), 2, area.getHeight());
    float ground = 1.0f;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            ground = juce::jmin(ground, shot.getPixelAt(x, y).getBrightness());
    for (int y = lastColumns.getY(); y < lastColumns.getBottom(); ++y)
        for (int x = lastColumns.getX(); x < lastColumns.getRight(); ++x)
            if (shot.getPixelAt(x, y).getBrightness() > ground + inkContrast)
            {
                top = juce::jmin(top, y);
                bottom = juce::jmax(bottom, y + 1);
            }
    EXPECT_GE(bottom - top, juce::roundToInt(fontHeight * 0.4f)) << "ends with a dot";
}

// The six tabs share the bar's width; each text keeps clear of its tab's edges.
void expectTabsWhole(const juce::Image& shot, int windowWidth)
{
    const char* tabs[] = {"PROGRAM",       "USER OSCILLATORS", "USER MODULATION FX",
                          "USER DELAY FX", "USER REVERB FX",   "MICROTUNING"};
    for (int i = 0; i < 6; ++i)
    {
        const int left = windowWidth * i / 6, right = windowWidth * (i + 1) / 6;
        const auto runs = inkRuns(shot, {left + 1, tabsTop + 8, right - left - 2, 14}, 0.4f);
        ASSERT_FALSE(runs.empty()) << tabs[i];
        EXPECT_GT(runs.front().getStart(), left + 2) << tabs[i] << " at " << windowWidth;
        EXPECT_LT(runs.back().getEnd(), right - 2) << tabs[i] << " at " << windowWidth;
    }
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

// Page by page through the table: the selected row is the landmark that tells each row's
// number, and each number shows as many separate digits as it has.
TEST_P(FontsRealProgram, EveryProgramNumberIsWhole)
{
    const int rowHeight = GetParam();
    testsupport::TemporaryFolder config;
    RealProgram program(optionsFor(config.get(), rowHeight));
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    const juce::Point<int> rest(940 - 20, 10);

    // The rows the table shows whole.
    const int pageRows = (rowsBottom - rowsTop) / rowHeight;
    const auto fontHeight = (float) x47390_application::getProgramListFontHeight(rowHeight);
    // What a key press changes: the selected row's band (seen at the probe column) or, when the table
    // scrolls, the numbers.
    juce::Image previous;
    const auto sameRows = [&](const juce::Image& a, const juce::Image& b)
    {
        if (!b.isValid())
            return false;
        for (const auto& area : {juce::Rectangle<int>(0, rowsTop, numberColumnRight, rowsBottom - rowsTop),
                                 juce::Rectangle<int>(selectionProbeX, rowsTop, 1, rowsBottom - rowsTop)})
            if (!testsupport::samePixels(a.getClippedImage(area), b.getClippedImage(area)))
                return false;
        return true;
    };
    std::set<int> seen;
    int selected = 0;
    for (int page = 0;; ++page)
    {
        SCOPED_TRACE("row " + juce::String(selected + 1));
        // The first page shows row 0 at the top; after that the selected row shows somewhere.
        juce::Image shot;
        ASSERT_TRUE(program.waitWhileMoving(
            window, rest,
            [&]
            {
                shot = program.screenshot(window);
                const int top = selectedRowTop(shot, rowHeight);
                return page == 0 ? top == rowsTop : top >= rowsTop && !sameRows(shot, previous);
            },
            deadlineMs));
        previous = shot;
        const int landmark = selectedRowTop(shot, rowHeight);
        if (page == 0 || selected == 499)
            program.keepScreenshot(window, "fonts/rows-" + juce::String(rowHeight) + "-page-" + juce::String(page));
        if (page == 0)
        {
            // The fixed texts of the second row (not selected): category, timbre, waves, multi type and tuning,
            // each in its column; the tuning's box keeps its arrows at the right.
            const int top = rowsTop + rowHeight + 1;
            const struct
            {
                int left, right, room;
                const char* text;
            } cells[] = {{228, 334, 106, "POLY SYNTH"}, // a gap of 4 before the next column
                         {386, 462, 76, "LAYER"},
                         {466, 542, 76, "SAW"},
                         {546, 622, 76, "SAW"},
                         {626, 702, 76, "NOISE"},
                         // The box's label, less its border of 5 on each side.
                         {707, 846 - rowHeight, 143 - rowHeight - 10, "Equal Tempered"}};
            for (const auto& cell : cells)
                expectWhole(shot, {cell.left - 1, top, cell.right - cell.left + 1, rowHeight - 2}, cell.room, cell.text,
                            fontHeight, juce::String(cell.text).endsWith("d"));
            expectTabsWhole(shot, 940);
        }

        for (int row = selected - pageRows; row <= selected + pageRows; ++row)
        {
            const int top = landmark + (row - selected) * rowHeight;
            if (row < 0 || row > 499 || top < rowsTop || top + rowHeight > rowsBottom)
                continue;
            // Numbers are drawn from 12 pixels into the column, with a gap of 4 before the names.
            expectWhole(shot, {numberColumnLeft, top, numberColumnRight - 4 - numberColumnLeft, rowHeight - 1},
                        numberColumnRight - 4 - numberColumnLeft - 1, juce::String(row + 1), fontHeight);
            seen.insert(row + 1);
        }
        if (selected == 499)
            break;
        if (page == 0)
        {
            // A click on the selected first row gives the table the keyboard.
            ASSERT_TRUE(program.focusWindow(window));
            program.clickIn(window, {260, rowsTop + rowHeight / 2});
        }
        // Page Down moves the selection by the rows the table shows whole; one key press, seen on the screen
        // before the next, leaves no doubt which row is selected.
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

    // A first start: the window opens centred at its natural width, 872.
    testsupport::TemporaryFolder config;
    RealProgram::writePreferences(config.get(), {{"AutoReceive", "0"}});
    RealProgram::Options options;
    options.configHome = config.get();
    options.environment.add("JUCE_FONT_PATH=" + fonts.get().getFullPathName());
    RealProgram program(options);
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    // Started, painted and its texts drawn: the first row is selected and numbered.
    ASSERT_TRUE(program.waitWhileMoving(
        window, {920, 10},
        [&]
        {
            const auto shot = program.screenshot(window);
            return rowLooksSelected(shot, rowsTop + 12) &&
                   !inkRuns(shot, {0, rowsTop + 25, numberColumnRight, 24}).empty();
        },
        deadlineMs));

    const auto shot = program.screenshot(window);
    program.keepScreenshot(window, "fonts/first-start");
    ASSERT_EQ(shot.getWidth(), 872);
    expectTabsWhole(shot, 872);

    const int writer = open(pipe.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
    const int error = errno;
    if (writer >= 0)
        close(writer); // lets a waiting reader go on
    EXPECT_LT(writer, 0) << "the program opened every font it could find";
    EXPECT_EQ(error, ENXIO);
    program.sendSignal(SIGTERM);
    EXPECT_EQ(program.waitForExit(deadlineMs), 0) << program.getOutput();
}
