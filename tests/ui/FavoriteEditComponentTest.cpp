#include "tests/ui/ProgramPageTestSupport.h"
#include "ui/FavoriteEditComponent.h"
#include "ui/RightPaneComponent.h"

using namespace programpage;

namespace
{
class FavoriteEditComponentTest : public ProgramPageFixture
{
protected:
    FavoriteEditComponentTest() { page = std::make_unique<FavoriteEditComponent>(); }
    ~FavoriteEditComponentTest() override { page.reset(); }

    FavoriteDisplayComponent& slot(int bank, int s) { return page->getSlot(bank, s); }

    static void setFavorite(int bank, int s, int program)
    {
        library().getFavoriteData().entries[(size_t) bank][(size_t) s] = program;
    }

    // Offers a drag to a slot as the drag library does; true when the slot took it.
    bool drop(FavoriteDisplayComponent& target, const juce::var& description)
    {
        const juce::DragAndDropTarget::SourceDetails details(description, &source, {10, 10});
        if (!target.isInterestedInDragSource(details))
            return false;
        target.itemDragEnter(details);
        EXPECT_TRUE(target.dropHighlighted);
        target.itemDropped(details);
        EXPECT_FALSE(target.dropHighlighted);
        drain();
        return true;
    }

    juce::Component source;
    std::unique_ptr<FavoriteEditComponent> page;
};
} // namespace

TEST_F(FavoriteEditComponentTest, LaysOutFourBanksOfEightSlots)
{
    page->setSize(1110, 240);
    for (int b = 0; b < 4; ++b)
    {
        auto& label = page->getBankLabel(b);
        EXPECT_EQ(label.getText(), "LIVE SET " + juce::String::charToString((juce::juce_wchar) ('A' + b)));
        EXPECT_EQ(label.getBounds(), juce::Rectangle<int>(5, 16 + 48 * b, 80, 24));
        EXPECT_EQ(label.getName(), "new label");
        for (int s = 0; s < 8; ++s)
        {
            EXPECT_EQ(slot(b, s).getBounds(), juce::Rectangle<int>(85 + 97 * s, 7 + 48 * b, 84, 40));
            EXPECT_EQ(slot(b, s).getName(), "Favorite " + juce::String(b) + ":" + juce::String(s));
        }
    }
}

TEST_F(FavoriteEditComponentTest, SlotsShowNumberAndNameOfTheirProgram)
{
    setFavorite(0, 0, 0);
    setFavorite(0, 1, 499);
    library().getProgramData(7).setName("ABC");
    setFavorite(1, 0, 7);
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
    drain();

    struct Case
    {
        int bank, slot;
        const char* number;
        const char* name;
    };
    for (const auto& c : {Case{0, 0, "001", "P000        "}, Case{0, 1, "500", "P499        "},
                          Case{0, 2, "---", "------"}, Case{1, 0, "008", "ABC         "}})
    {
        EXPECT_EQ(slot(c.bank, c.slot).numberText, c.number);
        EXPECT_EQ(slot(c.bank, c.slot).nameText, c.name);
    }

    // A new name shows at once, without a change of the number.
    library().getProgramData(0).setName("Renamed");
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
    drain();
    EXPECT_EQ(slot(0, 0).nameText, "Renamed     ");
}

TEST_F(FavoriteEditComponentTest, SlotsSwapAndCopyInOneStep)
{
    setFavorite(0, 1, 11);
    setFavorite(2, 5, 22); // C-6

    ASSERT_TRUE(drop(slot(2, 5), ui::FavoriteDataDragItem::makeDescription(0, 1)));
    EXPECT_EQ(favorite(2, 5), 11);
    EXPECT_EQ(favorite(0, 1), 22);
    EXPECT_EQ(undoName(), "SwapFavoriteData");
    EXPECT_EQ(slot(2, 5).numberText, "012");
    undoManager().undo();
    EXPECT_EQ(favorite(2, 5), 22);
    EXPECT_EQ(favorite(0, 1), 11);
    EXPECT_FALSE(undoManager().canUndo());

    holdOption(true);
    ASSERT_TRUE(drop(slot(2, 5), ui::FavoriteDataDragItem::makeDescription(0, 1)));
    EXPECT_EQ(favorite(2, 5), 11);
    EXPECT_EQ(favorite(0, 1), 11);
    EXPECT_EQ(undoName(), "CopyFavoriteData");
}

TEST_F(FavoriteEditComponentTest, ProgramRowsAssignTheFirstProgram)
{
    ASSERT_TRUE(drop(slot(3, 7), programRows({42, 43, 44})));
    EXPECT_EQ(favorite(3, 7), 42);
    EXPECT_EQ(undoName(), "SetFavoriteData");
    EXPECT_EQ(slot(3, 7).nameText, "P042        ");

    undoManager().clearUndoHistory();
    ASSERT_TRUE(drop(slot(3, 6), programRows({})));
    EXPECT_FALSE(undoManager().canUndo()) << "no program, no step";
}

TEST_F(FavoriteEditComponentTest, RefusesItselfPresetsAndUserUnits)
{
    const juce::var refused[] = {
        ui::FavoriteDataDragItem::makeDescription(1, 2),
        ui::makeListDragDescription(ui::presetDataDragItemTypeName, {1024}),
        ui::makeListDragDescription(ui::userListDragItemTypeName, {1}),
        juce::var("ProgramListDragItem"),
    };
    for (const auto& description : refused)
        EXPECT_FALSE(slot(1, 2).isInterestedInDragSource({description, &source, {10, 10}}));
    EXPECT_FALSE(slot(1, 2).dropHighlighted);
}

TEST_F(FavoriteEditComponentTest, ADoubleClickEmptiesTheSlot)
{
    for (int program : {17, 500})
    {
        setFavorite(0, 3, program);
        setEdited(false);
        const auto now = juce::Time::getCurrentTime();
        slot(0, 3).mouseDoubleClick(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {5.0f, 5.0f}, {},
                                                     1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &slot(0, 3), &slot(0, 3), now,
                                                     {5.0f, 5.0f}, now, 2, false));
        drain();
        EXPECT_EQ(favorite(0, 3), 500);
        EXPECT_EQ(undoName(), "NoAssignFavoriteData");
        EXPECT_TRUE(isEdited()) << "also for a slot that was empty";
        EXPECT_EQ(slot(0, 3).numberText, "---");
    }
}

TEST_F(FavoriteEditComponentTest, DrawsTheHighlightWhileADragIsOver)
{
    page->setSize(1110, 240);
    auto& target = slot(0, 0);
    const auto normal = target.createComponentSnapshot(target.getLocalBounds());
    target.itemDragEnter({programRows({1}), &source, {5, 5}});
    const auto lit = target.createComponentSnapshot(target.getLocalBounds());
    target.itemDragExit({programRows({1}), &source, {5, 5}});

    // The rim on the left edge, halfway down: grey normally, red while highlighted.
    const auto rim = normal.getPixelAt(1, 20), litRim = lit.getPixelAt(1, 20);
    EXPECT_NEAR(rim.getRed(), rim.getGreen(), 8);
    EXPECT_GT(litRim.getRed(), litRim.getGreen() + 60);
}

TEST_F(FavoriteEditComponentTest, TheFavouritesPageNeverScrolls)
{
    RightPaneComponent pane;
    pane.setSize(870, 302);
    auto& viewport = pane.getViewport();
    ASSERT_NE(dynamic_cast<FavoriteEditComponent*>(viewport.getViewedComponent()), nullptr);
    EXPECT_EQ(viewport.getName(), "Right Pane Content");
    EXPECT_GT(viewport.getViewedComponent()->getWidth(), viewport.getWidth()) << "wider than the pane";

    juce::MouseWheelDetails wheel{};
    wheel.deltaX = -1.0f;
    wheel.deltaY = -1.0f;
    const auto now = juce::Time::getCurrentTime();
    viewport.mouseWheelMove(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {400.0f, 100.0f}, {},
                                             1.0f, 0.0f, 0.0f, 0.0f, 0.0f, &viewport, &viewport, now, {400.0f, 100.0f},
                                             now, 0, false),
                            wheel);
    EXPECT_EQ(viewport.getViewPosition(), juce::Point<int>());
    EXPECT_FALSE(viewport.isVerticalScrollBarShown());
    EXPECT_FALSE(viewport.isHorizontalScrollBarShown());
}
