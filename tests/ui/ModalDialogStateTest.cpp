#include "ui/ModalDialogState.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace
{
struct Observer : ui::ModalDialogStateObserver
{
    std::vector<bool> seen;
    void modalDialogStateChanged() override
    {
        seen.push_back(ui::ModalDialogState::getInstance()->isModalDialogOpen());
    }
};

class ModalDialogStateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        delete ui::ModalDialogState::getInstanceWithoutCreating();
        state = ui::ModalDialogState::getInstance();
        state->addListener(&observer);
    }

    void TearDown() override { delete ui::ModalDialogState::getInstanceWithoutCreating(); }

    ui::ModalDialogState* state = nullptr;
    Observer observer;
};
} // namespace

TEST_F(ModalDialogStateTest, StartsClosedAndSetClearInOneTurnGivesOneCallSeeingClosed)
{
    EXPECT_FALSE(state->isModalDialogOpen());

    state->setModalDialogOpen(true);
    state->setModalDialogOpen(false);
    testsupport::drainMessageLoop();

    EXPECT_EQ(observer.seen, std::vector<bool>{false});
}

TEST_F(ModalDialogStateTest, BeginAndEndAroundAShownDialog)
{
    bool wasAlreadyOpen = true;
    state->beginModal(wasAlreadyOpen);
    EXPECT_FALSE(wasAlreadyOpen);
    EXPECT_TRUE(state->isModalDialogOpen());
    testsupport::drainMessageLoop(); // the dialog's own loop runs here

    state->endModal(wasAlreadyOpen);
    testsupport::drainMessageLoop();

    EXPECT_FALSE(state->isModalDialogOpen());
    EXPECT_EQ(observer.seen, (std::vector<bool>{true, false}));
}

TEST_F(ModalDialogStateTest, NestedBeginReportsOpenAndItsEndChangesNothing)
{
    bool outer = false;
    state->beginModal(outer);
    testsupport::drainMessageLoop();
    observer.seen.clear();

    bool inner = false;
    state->beginModal(inner);
    EXPECT_TRUE(inner);
    state->endModal(inner);
    testsupport::drainMessageLoop();

    EXPECT_TRUE(state->isModalDialogOpen());
    EXPECT_TRUE(observer.seen.empty());

    // No nesting count: a plain clear wins even while the pair is in progress.
    state->setModalDialogOpen(false);
    testsupport::drainMessageLoop();
    EXPECT_FALSE(state->isModalDialogOpen());
    EXPECT_EQ(observer.seen, std::vector<bool>{false});
}
