// Drags in the program table of the real program with the real mouse, on a bare X server and under a
// window manager: a press on the tuning cell of a row that is not selected starts a drag at once, and what
// a drag shows beside the pointer leaves the insert bar and the row under the pointer in sight.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using testsupport::RealProgram;
using testsupport::samePixels;

constexpr int deadlineMs = 60000;
// Main window client coordinates: menu bar 20, header 85, tabs 30, table header 28, rows of 25.
constexpr int rowsTop = 20 + 85 + 30 + 28;
constexpr int rowHeight = 25;
constexpr int windowHeight = 700;
constexpr int tuningX = 760; // the tuning cell (columns 706 to 846)
constexpr int categoryX = 260;

juce::Point<int> rowPoint(int row, int x = categoryX)
{
    return {x, rowsTop + rowHeight * row + rowHeight / 2};
}

// A selected row is filled with a light grey over the black list.
bool rowLooksSelected(const juce::Image& shot, int row)
{
    return shot.getPixelAt(700, rowPoint(row).y).getBrightness() > 0.12f;
}

// Live-set slot A-n below the table.
juce::Rectangle<int> favouriteSlot(int n)
{
    return {85 + 97 * (n - 1), windowHeight - 286 + 85 + 7, 84, 40};
}

int countPixels(const juce::Image& shot, juce::Rectangle<int> area, const std::function<bool(juce::Colour)>& test)
{
    int count = 0;
    area = area.getIntersection(shot.getBounds());
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += test(shot.getPixelAt(x, y)) ? 1 : 0;
    return count;
}

class ProgramDragRealProgram : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(RealProgram::writePreferences(config.get(), {{"ProgramListHeight", "25"},
                                                                 {"MainWindowPositionX", "100"},
                                                                 {"MainWindowPositionY", "60"},
                                                                 {"MainWindowHeight", juce::String(windowHeight)},
                                                                 {"AutoReceive", "0"}}));
        RealProgram::Options options;
        options.configHome = config.get();
        options.windowManager = GetParam();
        program = std::make_unique<RealProgram>(options);
        ASSERT_TRUE(program->isStarted());
        window = program->waitForMainWindow();
        ASSERT_NE(window, 0u) << program->getOutput();
        // Placed and painted: the first row is selected at the start.
        ASSERT_TRUE(program->waitUntil(
            [&] { return program->getWindowBounds(window).getPosition() == juce::Point<int>(100, 60); }, deadlineMs));
        ASSERT_TRUE(waitFor([&] { return rowLooksSelected(shot(), 0); }));
    }

    juce::Image shot() { return program->screenshot(window); }

    bool waitFor(const std::function<bool()>& condition)
    {
        // Over the empty end of the menu bar, where hovering changes nothing.
        const juce::Point<int> rest(program->getWindowBounds(window).getWidth() - 20, 10);
        return program->waitWhileMoving(window, rest, condition, deadlineMs);
    }

    juce::String name() const { return GetParam() ? "openbox" : "bare"; }

    testsupport::TemporaryFolder config;
    std::unique_ptr<RealProgram> program;
    unsigned long window = 0;
};
} // namespace

TEST_P(ProgramDragRealProgram, APressOnTheTuningCellOfAnUnselectedRowDragsIt)
{
    const auto title = program->getTitle(window);

    // Row 3 is not selected; pressed on its tuning cell and dragged before row 8, it moves to row 7.
    program->drag(window, rowPoint(3, tuningX), {categoryX, rowsTop + rowHeight * 8 + 3});
    program->nudgeMouse(window);
    ASSERT_TRUE(waitFor([&] { return program->getTitle(window) != title; })) << "no drag started";
    EXPECT_TRUE(program->getTitle(window).endsWith(" (edited)"));
    EXPECT_TRUE(waitFor([&] { return rowLooksSelected(shot(), 7) && !rowLooksSelected(shot(), 3); }));

    // Row 10, not selected, dragged by its tuning cell onto live-set slot A-2: the slot shows it.
    const auto slot = favouriteSlot(2);
    const auto slotBefore = shot().getClippedImage(slot);
    program->drag(window, rowPoint(10, tuningX), slot.getCentre());
    program->nudgeMouse(window);
    EXPECT_TRUE(waitFor([&] { return !samePixels(shot().getClippedImage(slot), slotBefore); }))
        << "slot A-2 shows the program";
    program->keepScreenshot(window, "drags/" + name() + "-after-tuning-cell-drags");
}

TEST_P(ProgramDragRealProgram, TheDragShowsABadgeThatLeavesTheInsertBarAndTheTargetInSight)
{
    // Row 2 held and moved over row 8, a little below its top: the insert bar lies on that edge.
    const juce::Point<int> pointer(categoryX, rowsTop + rowHeight * 8 + 4);
    const juce::Rectangle<int> targetRow(0, rowsTop + rowHeight * 8, 940, rowHeight);
    const auto before = shot();
    program->pressButton(window, rowPoint(2));
    for (int i = 1; i <= 20; ++i)
        program->moveMouse(window, rowPoint(2) + (pointer - rowPoint(2)) * i / 20);

    // The insert bar (two rows of the panel grey) runs along the row's top edge, uncovered (checked where
    // no cell has a component of its own over the row).
    const auto barRows = juce::Rectangle<int>(228, targetRow.getY(), 472, 2);
    const auto isBarGrey = [](juce::Colour c)
    { return c.getRed() == 0x33 && c.getGreen() == 0x33 && c.getBlue() == 0x33; };
    // The rest of the row under the pointer looks as it did before the drag.
    // (Its edges, where the insert bar and the lines between rows lie, left out.)
    const auto rowBody = targetRow.withTrimmedTop(3).withTrimmedBottom(2).withWidth(700);
    // (The pointer's own spot left out: the toolkit's one-pixel drag image may show under the pointer.)
    const auto withoutPointer = [&](const juce::Image& shot)
    {
        auto copy = shot.getClippedImage(rowBody).createCopy();
        juce::Graphics g(copy);
        g.setColour(juce::Colours::red);
        g.fillRect(juce::Rectangle<int>(pointer.x - 3, pointer.y - 3, 7, 7) - rowBody.getPosition());
        return copy;
    };
    // The badge: below that row, right of the pointer, an opaque dark box with light text. On the way down
    // it was below the rows passed, so the picture is taken once it has followed the pointer here.
    const juce::Rectangle<int> badgeArea(pointer.x, targetRow.getBottom(), 340, 40);
    const auto isBadge = [](juce::Colour c) { return c == juce::Colour(0xff222222); };
    juce::Image during;
    const bool barShown = program->waitUntil(
        [&]
        {
            program->moveMouse(window, pointer + juce::Point<int>(1, 0));
            program->moveMouse(window, pointer);
            during = shot();
            // Where the badge was on the way down is painted again once the window hears of it.
            return countPixels(during, barRows, isBarGrey) == barRows.getWidth() * 2 &&
                   countPixels(during, badgeArea, isBadge) > 1000 &&
                   samePixels(withoutPointer(during), withoutPointer(before));
        },
        deadlineMs);
    program->keepScreenshot(0, "drags/" + name() + "-during-row-drag");
    EXPECT_TRUE(barShown) << "the insert bar is not whole, the row under the pointer is covered, or no badge below it";

    EXPECT_GT(countPixels(during, badgeArea, isBadge), 1000);
    EXPECT_GT(countPixels(during, badgeArea, [](juce::Colour c) { return c.getBrightness() > 0.7f; }), 20);
    // Nothing white around the pointer: no picture of the dragged rows, which would be a white block
    // without a compositor.
    EXPECT_EQ(
        countPixels(during, targetRow.expanded(0, rowHeight), [](juce::Colour c) { return c == juce::Colours::white; }),
        0);

    program->releaseButton();
    program->nudgeMouse(window);
    EXPECT_TRUE(waitFor([&] { return rowLooksSelected(shot(), 7); }));
}

INSTANTIATE_TEST_SUITE_P(Desktops, ProgramDragRealProgram, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "UnderAWindowManager" : "OnABareXServer"; });
