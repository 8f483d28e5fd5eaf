#include "app/ApplicationMenuManager.h"
#include "tests/support/RealProgram.h"
#include "tests/ui/ProgramPageTestSupport.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/HeaderComponent.h"
#include "ui/MainComponent.h"
#include "ui/SelectedTabStatus.h"

#include <cstdlib>

using namespace programpage;

namespace
{
constexpr int width = 940;
constexpr int height = 620;
constexpr int headerHeight = 85;
constexpr int tabBarDepth = 30;
constexpr int tableHeaderHeight = 28;
constexpr int rowHeight = 25;
// Left edges of the nine columns and the right edge of the last.
constexpr int columnEdges[] = {0, 48, 228, 338, 386, 466, 546, 626, 706, 846};

class ProgramTabSnapshotTest : public ProgramPageFixture
{
protected:
    ProgramTabSnapshotTest()
    {
        juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);
        main = std::make_unique<MainComponent>();
        main->setSize(width, height);
        drain();
        snapshot = main->createComponentSnapshot(main->getLocalBounds(), false, 1.0f);
        testsupport::keepImage(snapshot, "ui/program-tab");
    }

    ~ProgramTabSnapshotTest() override
    {
        main.reset();
        juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
        delete x47390_menu::ApplicationMenuManager::getInstanceWithoutCreating();
        // The tab bar wrote the selected tab.
        delete ui::SelectedTabStatus::getInstanceWithoutCreating();
    }

    float brightness(int x, int y) const { return snapshot.getPixelAt(x, y).getBrightness(); }

    float brightest(juce::Rectangle<int> area) const
    {
        float most = 0.0f;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                most = std::max(most, brightness(x, y));
        return most;
    }

    // Pixels clearly brighter than the dark backgrounds in the area: text, rims, images.
    int inkIn(juce::Rectangle<int> area) const
    {
        int count = 0;
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                count += brightness(x, y) > 0.35f ? 1 : 0;
        return count;
    }

    x47390_ui::DefaultLookAndFeel lookAndFeel;
    std::unique_ptr<MainComponent> main;
    juce::Image snapshot;
};
} // namespace

TEST_F(ProgramTabSnapshotTest, HeaderShowsLogoDisplayAndButtonsInTheirBoxes)
{
    EXPECT_EQ(snapshot.getPixelAt(5, 5), juce::Colour(0xff111111));
    EXPECT_EQ(snapshot.getPixelAt(235, 40), juce::Colour(0xff111111)) << "between logo and display";
    EXPECT_GT(inkIn({39, 19, 174, 50}), 300) << "logo";
    EXPECT_EQ(inkIn({0, 0, 39, 85}), 0) << "nothing left of the logo";

    // The display: a lit bezel around a black window with white text.
    EXPECT_GT(brightness(256, 40), brightness(5, 5) + 0.05f) << "bezel";
    EXPECT_LT(brightness(280, 58), 0.03f) << "window";
    EXPECT_GT(inkIn({283, 23, 192, 18}), 60) << "line 1";
    EXPECT_GT(inkIn({283, 41, 192, 18}), 60) << "line 2";

    // Captions over the button columns, and the six buttons.
    EXPECT_GT(inkIn({603, 5, 60, 10}), 20);
    EXPECT_GT(inkIn({765, 5, 70, 10}), 20);
    for (int i = 0; i < HeaderComponent::numButtons; ++i)
    {
        const auto bounds = main->getHeader()->getButton(i).getBounds();
        EXPECT_GT(inkIn(bounds.reduced(6)), 20) << "caption of button " << i;
        EXPECT_NEAR(brightness(bounds.getX() - 2, bounds.getCentreY()), brightness(5, 5), 0.01f) << i;
        EXPECT_GT(brightest({bounds.getX(), bounds.getCentreY(), 3, 1}), brightness(5, 5) + 0.1f) << "rim " << i;
    }
    // "SEND" sits one pixel above "SEND ALL": on row 17 the first has its rim and the second not yet.
    EXPECT_GT(brightness(588, 17), brightness(680, 17) + 0.05f);
}

TEST_F(ProgramTabSnapshotTest, TableColumnsHaveTheirWidths)
{
    const int tableTop = headerHeight + tabBarDepth;
    EXPECT_GT(inkIn({columnEdges[1], tableTop, 60, tableHeaderHeight}), 20) << "Name title";

    // Row 2 (unselected): every column's text starts at a fixed distance from its column's left edge
    // (the number is indented, the name and tuning editors have a border of their own).
    const int rowTop = tableTop + tableHeaderHeight + 2 * rowHeight;
    const int indents[] = {12, 5, 0, 0, 0, 0, 0, 0, 5};
    for (int column = 1; column <= 9; ++column)
    {
        const int left = columnEdges[column - 1];
        int firstInk = -1;
        for (int x = left; x < left + 30 && firstInk < 0; ++x)
            if (inkIn({x, rowTop, 1, rowHeight}) > 0)
                firstInk = x - left;
        EXPECT_GE(firstInk, indents[column - 1]) << "column " << column;
        EXPECT_LE(firstInk, indents[column - 1] + 3) << "column " << column;
    }
    EXPECT_EQ(inkIn({columnEdges[9] + 2, rowTop, 60, rowHeight}), 0) << "nothing after the last column";

    // Row 0 is selected: its background is lighter than that of row 1.
    const int firstRowTop = tableTop + tableHeaderHeight;
    EXPECT_GT(brightness(40, firstRowTop + 12), brightness(40, firstRowTop + rowHeight + 12) + 0.1f);
}

TEST_F(ProgramTabSnapshotTest, FavouritesSitBelowTheTableInFourRowsOfEight)
{
    const int pageTop = headerHeight + tabBarDepth;
    const int pageHeight = height - tabBarDepth; // the page reaches 85 pixels below the window
    const int favouritesTop = pageTop + pageHeight - 286;
    for (int bank = 0; bank < 4; ++bank)
    {
        const int y = favouritesTop + 7 + 48 * bank;
        EXPECT_GT(inkIn({5, y + 9, 80, 24}), 20) << "LIVE SET label " << bank;
        for (int slot = 0; slot < 8; ++slot)
        {
            const int x = 85 + 97 * slot;
            EXPECT_GT(brightest({x, y + 20, 4, 1}), brightness(5, favouritesTop + 2) + 0.1f) << bank << ":" << slot;
            EXPECT_EQ(snapshot.getPixelAt(x - 2, y + 20), juce::Colour(0xff111111)) << "left of " << slot;
            EXPECT_EQ(snapshot.getPixelAt(x + 84 + 6, y + 20), juce::Colour(0xff111111)) << "gap " << slot;
            EXPECT_GT(inkIn({x + 6, y + 3, 70, 36}), 10) << "number and name " << bank << ":" << slot;
        }
    }
}
