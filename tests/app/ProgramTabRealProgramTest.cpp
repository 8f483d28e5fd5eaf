// The PROGRAM tab of the real program, driven with real mouse and key input and read from screenshots.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
// Main window layout: menu bar 20, header 85, tab bar 30; the table has a header of 28 and rows of 25.
constexpr int pageTop = 20 + 85 + 30;
constexpr int rowsTop = pageTop + 28;
constexpr int rowHeight = 25;
constexpr int nameLeft = 48, nameRight = 228;

juce::Point<int> rowPoint(int row, int x) { return {x, rowsTop + rowHeight * row + rowHeight / 2}; }

// The right end of the name's text in a row: names of different lengths tell the programs apart.
int nameExtent(const juce::Image& shot, int row)
{
    int right = -1;
    for (int y = rowsTop + rowHeight * row + 3; y < rowsTop + rowHeight * (row + 1) - 3; ++y)
        for (int x = nameLeft; x < nameRight; ++x)
            if (shot.getPixelAt(x, y).getBrightness() > 0.4f)
                right = std::max(right, x);
    return right;
}

// The name editor is open on a row: its text is selected, on the selection's grey.
bool isEditingName(const juce::Image& shot, int row)
{
    int selected = 0;
    for (int y = rowsTop + rowHeight * row + 3; y < rowsTop + rowHeight * (row + 1) - 3; ++y)
        for (int x = nameLeft; x < nameRight; ++x)
            selected += shot.getPixelAt(x, y) == juce::Colour(0xff555555) ? 1 : 0;
    return selected > 40;
}

// A selected row is filled with 0x44aaaaaa over the black list.
bool rowLooksSelected(const juce::Image& shot, int row)
{
    return shot.getPixelAt(700, rowPoint(row, 700).y).getBrightness() > 0.12f;
}

// Pixels of text in the area.
int ink(const juce::Image& shot, juce::Rectangle<int> area)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += shot.getPixelAt(x, y).getBrightness() > 0.4f ? 1 : 0;
    return count;
}

class ProgramTabRealProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testsupport::RealProgram::writePreferences(config.get(),
                                                              {{"ProgramListHeight", "25"}, {"AutoReceive", "0"}}));
        testsupport::RealProgram::Options options;
        options.configHome = config.get();
        program = std::make_unique<testsupport::RealProgram>(options);
        ASSERT_TRUE(program->isStarted());
        window = program->waitForMainWindow();
        ASSERT_NE(window, 0u) << program->getOutput();
    }

    juce::Image shot() { return program->screenshot(window); }

    // Waits until the condition holds while the pointer moves over an empty corner of the table.
    bool waitWhileMoving(const std::function<bool()>& condition)
    {
        return program->waitWhileMoving(window, {860, rowsTop + 2}, condition);
    }

    // The programs shown in rows 0 to count - 1, as the indices of the extents measured at the start.
    std::vector<int> shownOrder(int count)
    {
        const auto picture = shot();
        std::vector<int> order;
        for (int row = 0; row < count; ++row)
        {
            const int extent = nameExtent(picture, row);
            int best = -1;
            for (int i = 0; i < (int) extents.size(); ++i)
                if (best < 0 || std::abs(extents[(size_t) i] - extent) < std::abs(extents[(size_t) best] - extent))
                    best = i;
            order.push_back(best);
        }
        return order;
    }

    bool waitForOrder(const std::vector<int>& expected)
    {
        return waitWhileMoving([&] { return shownOrder((int) expected.size()) == expected; });
    }

    testsupport::TemporaryFolder config;
    std::unique_ptr<testsupport::RealProgram> program;
    unsigned long window = 0;
    std::vector<int> extents;
};
} // namespace

TEST_F(ProgramTabRealProgram, RowsAreRenamedMovedByADragAndRestoredByOneUndo)
{
    // Program i gets i + 1 letters, typed into its name cell after a double-click.
    for (int row = 0; row < 7; ++row)
    {
        // A double-click opens the editor. (A second one while it opens would land in its text.)
        program->click(window, rowPoint(row, 100), 1, 2);
        ASSERT_TRUE(waitWhileMoving([&] { return isEditingName(shot(), row); })) << "editor of row " << row;
        program->typeText(juce::String::repeatedString("W", row + 1));
        program->pressKey("Return");
        ASSERT_TRUE(waitWhileMoving([&] {
            const int extent = nameExtent(shot(), row);
            return extent > nameLeft && (row == 0 || extent > extents.back() + 8);
        })) << "row " << row << " renamed";
        extents.push_back(nameExtent(shot(), row));
    }
    ASSERT_TRUE(waitForOrder({0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(program->getTitle(window).endsWith(" (edited)")) << program->getTitle(window);

    // Rows 2 and 3 selected with the mouse, then dragged by a cell without editor to the top of row 6.
    program->click(window, rowPoint(2, 260));
    program->click(window, rowPoint(3, 260));
    program->pressKey("shift+Up"); // extends the selection back to row 2
    ASSERT_TRUE(waitWhileMoving([&] {
        const auto picture = shot();
        return rowLooksSelected(picture, 2) && rowLooksSelected(picture, 3) && !rowLooksSelected(picture, 4);
    })) << "rows 2 and 3 selected";
    program->drag(window, rowPoint(3, 260), {260, rowsTop + rowHeight * 6 + 3});
    EXPECT_TRUE(waitForOrder({0, 1, 4, 5, 2, 3, 6})) << "order after the drag";

    // One undo (the Undo command's key) restores the order.
    program->pressKey("ctrl+z");
    EXPECT_TRUE(waitForOrder({0, 1, 2, 3, 4, 5, 6})) << "order after one undo";

    // A drag started on a name cell reaches the live set: slot A-1 shows program 001. The favourites
    // start 286 pixels above the bottom of a page that reaches 85 pixels below the window.
    const int favouritesTop = program->getWindowBounds(window).getHeight() - 286 + 85;
    const juce::Rectangle<int> slotA1(85, favouritesTop + 7, 84, 40);
    const int emptySlotInk = ink(shot(), slotA1);
    program->click(window, rowPoint(0, 100));
    program->drag(window, rowPoint(0, 100), slotA1.getCentre());
    EXPECT_TRUE(waitWhileMoving([&] { return ink(shot(), slotA1) > emptySlotInk + 20; })) << "the slot shows a program";
    // The edited library would be questioned on quitting: the test's end stops the program.
}

// A name confirmed with Return gives the keyboard back to the table: the arrows move the selection again.
TEST_F(ProgramTabRealProgram, AfterARenameTheArrowsMoveTheSelection)
{
    program->click(window, rowPoint(2, 100), 1, 2);
    ASSERT_TRUE(waitWhileMoving([&] { return isEditingName(shot(), 2); }));
    program->typeText("WWWWWWWWWWWWWWWWWW");
    program->pressKey("Return");
    ASSERT_TRUE(waitWhileMoving([&] { return !isEditingName(shot(), 2) && nameExtent(shot(), 2) > nameLeft; }));

    program->pressKey("Down");
    EXPECT_TRUE(waitWhileMoving([&] {
        const auto picture = shot();
        return picture.getPixelAt(700, rowPoint(3, 0).y).getBrightness() > 0.12f
               && picture.getPixelAt(700, rowPoint(2, 0).y).getBrightness() <= 0.12f;
    })) << "row 3 selected by the arrow";
}
