#include "tests/support/TestSupport.h"
#include "ui/DraggableTableListBox.h"
#include "ui/ProgramListLookAndFeel.h"

#include <gtest/gtest.h>

namespace
{
class RowsModel : public juce::TableListBoxModel, public ui::DraggableTableListBoxListener
{
public:
    int getNumRows() override { return rows; }
    void paintRowBackground(juce::Graphics&, int, int, int, bool) override {}
    void paintCell(juce::Graphics&, int, int, int, int, bool) override {}

    bool isInterestedInDragSource(const juce::DragAndDropTarget::SourceDetails& details) override
    {
        return details.description == "take";
    }
    void itemDropped(const juce::DragAndDropTarget::SourceDetails&) override
    {
        droppedRows = {box->insertRow, box->targetRow};
        droppedWhileOver = box->dragOver;
    }

    int rows = 5;
    ui::DraggableTableListBox* box = nullptr;
    std::pair<int, int> droppedRows{-2, -2};
    bool droppedWhileOver = false;
};

class DraggableTableListBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        box = std::make_unique<ui::DraggableTableListBox>("list", &model, &model);
        model.box = box.get();
        box->getHeader().addColumn("A", 1, 100);
        box->setRowHeight(25);
        box->setHeaderHeight(28);
        box->setSize(200, 300);
    }

    juce::DragAndDropTarget::SourceDetails at(int x, int y, const juce::var& description = "take")
    {
        return {description, &source, {x, y}};
    }

    RowsModel model;
    juce::Component source;
    std::unique_ptr<ui::DraggableTableListBox> box;
};
} // namespace

TEST_F(DraggableTableListBoxTest, FindsTheInsertRowAndTheRowUnderThePointer)
{
    struct Case
    {
        int x, y, insertRow, targetRow;
    };
    const Case cases[] = {
        {10, 40, 0, 0},   // upper half of row 0
        {10, 45, 1, 0},   // lower half of row 0
        {10, 28, 0, 0},   // top edge of the rows
        {10, 160, 5, -1}, // below the last row
        {10, 10, 0, 0},   // on the header, less than a row above the rows
        {10, 2, 0, -1},   // a row or more above the rows
        {-1, 40, -1, -1}, // left of the list
        {200, 40, -1, -1}, // at its right edge
        {199, 90, 2, 2},
    };
    for (const auto& c : cases)
    {
        box->itemDragEnter(at(c.x, c.y));
        EXPECT_TRUE(box->dragOver);
        EXPECT_EQ(box->insertRow, c.insertRow) << c.x << "," << c.y;
        EXPECT_EQ(box->targetRow, c.targetRow) << c.x << "," << c.y;
        box->itemDragExit(at(c.x, c.y));
        EXPECT_FALSE(box->dragOver);
        EXPECT_EQ(box->insertRow, -1);
        EXPECT_EQ(box->targetRow, -1);
    }
}

TEST_F(DraggableTableListBoxTest, RowsFollowTheScrollPosition)
{
    model.rows = 100;
    box->updateContent();
    box->getViewport()->setViewPosition(0, 250); // ten rows down
    box->itemDragMove(at(10, 40));
    EXPECT_EQ(box->insertRow, 10);
    EXPECT_EQ(box->targetRow, 10);
}

TEST_F(DraggableTableListBoxTest, ScrollSpeedGrowsTowardTheEdges)
{
    // Header 28, half a row 12, height 300.
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(10), -144.0 / 3600.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(30), -100.0 / 3600.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(39), -1.0 / 3600.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(40), 0.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(150), 0.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(288), 0.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(289), 4.0 / 3600.0);
    EXPECT_DOUBLE_EQ(box->computeAutoScrollSpeed(299), 144.0 / 3600.0);
}

TEST_F(DraggableTableListBoxTest, TheTimerScrollsOnlyWhileADragHoversNearAnEdge)
{
    model.rows = 100;
    box->updateContent();
    auto* viewport = box->getViewport();
    const int range = viewport->getViewedComponent()->getHeight() - viewport->getHeight();
    ASSERT_GT(range, 1000);

    box->timerCallback();
    EXPECT_EQ(viewport->getViewPositionY(), 0) << "no drag";
    EXPECT_FALSE(box->isAutoScrollTimerRunning()) << "a list at rest never wakes the program";

    box->itemDragEnter(at(10, 299)); // bottom edge
    EXPECT_TRUE(box->isAutoScrollTimerRunning());
    box->timerCallback();
    const int first = juce::roundToInt(0.04 * range);
    EXPECT_EQ(viewport->getViewPositionY(), first);
    box->timerCallback();
    EXPECT_EQ(viewport->getViewPositionY(), juce::roundToInt(((double) first / range + 0.04) * range));

    box->itemDragMove(at(10, 150)); // middle
    const int kept = viewport->getViewPositionY();
    box->timerCallback();
    EXPECT_EQ(viewport->getViewPositionY(), kept);

    box->itemDragMove(at(10, 10)); // header: up by 0.04 of the range, and never above the top
    for (int i = 0; i < 30; ++i)
        box->timerCallback();
    EXPECT_EQ(viewport->getViewPositionY(), 0);

    box->itemDragExit(at(10, 299));
    EXPECT_FALSE(box->isAutoScrollTimerRunning());
    box->timerCallback();
    EXPECT_EQ(viewport->getViewPositionY(), 0);
}

TEST_F(DraggableTableListBoxTest, AListThatFitsDoesNotScroll)
{
    box->itemDragEnter(at(10, 299));
    ASSERT_GT(box->autoScrollSpeed, 0.0);
    box->timerCallback();
    EXPECT_EQ(box->getViewport()->getViewPositionY(), 0);
}

TEST_F(DraggableTableListBoxTest, TheListenerDecidesAndSeesTheRowsOfTheLastMove)
{
    EXPECT_TRUE(box->isInterestedInDragSource(at(10, 40)));
    EXPECT_FALSE(box->isInterestedInDragSource(at(10, 40, "other")));

    box->itemDragEnter(at(10, 40));
    box->itemDragMove(at(10, 95));
    box->itemDropped(at(10, 300)); // the drop position itself is not used
    EXPECT_EQ(model.droppedRows, std::make_pair(3, 2));
    EXPECT_TRUE(model.droppedWhileOver);
    EXPECT_FALSE(box->dragOver);
    EXPECT_EQ(box->insertRow, -1);
    EXPECT_EQ(box->targetRow, -1);
    EXPECT_EQ(box->autoScrollSpeed, 0.0);
}

namespace
{
juce::Image drawn(int w, int h, const std::function<void(juce::Graphics&)>& paint)
{
    juce::Image image(juce::Image::ARGB, w, h, true);
    juce::Graphics g(image);
    paint(g);
    return image;
}

int grey(juce::Colour c) { return c.getRed(); }
} // namespace

TEST(ProgramListLookAndFeel, DrawsADarkScrollbarAndHeader)
{
    x47390_ui::ProgramListLookAndFeel lookAndFeel;
    juce::ScrollBar bar(true);
    juce::TableHeaderComponent header;

    const auto headerImage = drawn(50, 28, [&](juce::Graphics& g) { lookAndFeel.drawTableHeaderBackground(g, header); });
    EXPECT_EQ(headerImage.getPixelAt(0, 0), juce::Colour(0xff111111));
    EXPECT_EQ(headerImage.getPixelAt(49, 27), juce::Colour(0xff111111));

    // An 18 pixel bar: slot indented by 1, thumb by 2.
    const auto wide = drawn(18, 200, [&](juce::Graphics& g) {
        lookAndFeel.drawScrollbar(g, bar, 0, 0, 18, 200, true, 50, 60, false, false);
    });
    EXPECT_EQ(wide.getPixelAt(0, 100), juce::Colour(0xff111111)) << "outside the slot";
    EXPECT_NEAR(grey(wide.getPixelAt(5, 20)), 0x30, 3) << "slot: track colour, dark grey lifted by white";
    EXPECT_NEAR(grey(wide.getPixelAt(5, 80)), 0x11, 3) << "thumb";
    EXPECT_LT(grey(wide.getPixelAt(15, 20)), grey(wide.getPixelAt(5, 20))) << "shaded toward the far edge";

    // A 12 pixel bar has no slot indent.
    const auto narrow = drawn(12, 200, [&](juce::Graphics& g) {
        lookAndFeel.drawScrollbar(g, bar, 0, 0, 12, 200, true, 50, 60, false, false);
    });
    EXPECT_NEAR(grey(narrow.getPixelAt(0, 20)), 0x30, 4);
    EXPECT_NEAR(grey(narrow.getPixelAt(6, 80)), 0x11, 3);

    bar.setColour(juce::ScrollBar::trackColourId, juce::Colours::red);
    const auto coloured = drawn(18, 200, [&](juce::Graphics& g) {
        lookAndFeel.drawScrollbar(g, bar, 0, 0, 18, 200, true, 50, 60, false, false);
    });
    EXPECT_EQ(coloured.getPixelAt(5, 20).getRed(), 255) << "a track colour of the bar wins";

    const auto up = drawn(16, 16, [&](juce::Graphics& g) {
        lookAndFeel.drawScrollbarButton(g, bar, 16, 16, 0, true, false, false);
    });
    const auto upDown = drawn(16, 16, [&](juce::Graphics& g) {
        lookAndFeel.drawScrollbarButton(g, bar, 16, 16, 0, true, false, true);
    });
    EXPECT_EQ(up.getPixelAt(8, 8), juce::Colour(0xff333333));
    EXPECT_EQ(up.getPixelAt(8, 1).getAlpha(), 0) << "above the tip of the up triangle";
    EXPECT_EQ(upDown.getPixelAt(8, 8), juce::Colour(0xff333333).contrasting(0.2f));
}
