#include "tests/support/TestSupport.h"
#include "ui/SelectedProgramStatus.h"
#include "ui/SelectedTabStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

#include <gtest/gtest.h>

namespace
{
// One observer type per status, all counting calls and recording what they saw.
template <class Status> struct Traits;

#define STATUS_TRAITS(Status, Method)                                                                                  \
    template <> struct Traits<ui::Status>                                                                              \
    {                                                                                                                  \
        struct Observer : ui::Status##Observer                                                                         \
        {                                                                                                              \
            int calls = 0;                                                                                             \
            std::vector<int> seen;                                                                                     \
            std::function<void()> onCall;                                                                              \
            void Method() override                                                                                     \
            {                                                                                                          \
                ++calls;                                                                                               \
                seen = ui::Status::getInstance()->selection;                                                           \
                if (onCall)                                                                                            \
                    onCall();                                                                                          \
            }                                                                                                          \
        };                                                                                                             \
    };

STATUS_TRAITS(SelectedProgramStatus, selectedProgramStatusChanged)
STATUS_TRAITS(SelectedUserOscStatus, selectedUserOscStatusChanged)
STATUS_TRAITS(SelectedUserModFXStatus, selectedUserModFXStatusChanged)
STATUS_TRAITS(SelectedUserDelFXStatus, selectedUserDelFXStatusChanged)
STATUS_TRAITS(SelectedUserRevFXStatus, selectedUserRevFXStatusChanged)
#undef STATUS_TRAITS

template <class Status> class RowSelectionStatusTest : public ::testing::Test
{
protected:
    using Observer = typename Traits<Status>::Observer;

    void SetUp() override { delete Status::getInstanceWithoutCreating(); }
    void TearDown() override { delete Status::getInstanceWithoutCreating(); }
};

using RowStatuses = ::testing::Types<ui::SelectedProgramStatus, ui::SelectedUserOscStatus, ui::SelectedUserModFXStatus,
                                     ui::SelectedUserDelFXStatus, ui::SelectedUserRevFXStatus>;
TYPED_TEST_SUITE(RowSelectionStatusTest, RowStatuses);
} // namespace

TYPED_TEST(RowSelectionStatusTest, StartsWithRowZeroSelected)
{
    EXPECT_EQ(TypeParam::getInstance()->selection, std::vector<int>{0});
    EXPECT_EQ(TypeParam::getInstance(), TypeParam::getInstance());
}

TYPED_TEST(RowSelectionStatusTest, BurstOfChangesIsDeliveredOnceWithTheLatestSelection)
{
    auto* status = TypeParam::getInstance();
    typename TestFixture::Observer first, second;
    status->addListener(&first);
    status->addListener(&second);

    status->setSelection({1, 2});
    status->setSelection({3});
    EXPECT_EQ(first.calls, 0); // nothing synchronously
    testsupport::drainMessageLoop();

    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);
    EXPECT_EQ(first.seen, std::vector<int>{3});

    status->setSelection(status->selection); // the same selection still notifies
    testsupport::drainMessageLoop();
    EXPECT_EQ(first.calls, 2);
    EXPECT_EQ(status->selection, std::vector<int>{3});

    status->setSelection({});
    testsupport::drainMessageLoop();
    EXPECT_EQ(second.calls, 3);
    EXPECT_TRUE(second.seen.empty());

    status->removeListener(&first);
    status->removeListener(&second);
}

TYPED_TEST(RowSelectionStatusTest, ObserverLeavingDuringDeliveryDoesNotSkipTheNext)
{
    auto* status = TypeParam::getInstance();
    typename TestFixture::Observer leaving, next, last;
    leaving.onCall = [&] { status->removeListener(&leaving); };
    status->addListener(&leaving);
    status->addListener(&next);
    status->addListener(&last);

    status->setSelection({4});
    testsupport::drainMessageLoop();

    EXPECT_EQ(leaving.calls, 1);
    EXPECT_EQ(next.calls, 1);
    EXPECT_EQ(last.calls, 1);
    EXPECT_EQ(status->getNumListeners(), 2);

    // An observer removed by an earlier one during delivery is not called.
    next.onCall = [&] { status->removeListener(&last); };
    status->setSelection({5});
    testsupport::drainMessageLoop();
    EXPECT_EQ(next.calls, 2);
    EXPECT_EQ(last.calls, 1);
    status->removeListener(&next);
}

TEST(SelectedTabStatus, TabChangesAreDeliveredOncePerBurst)
{
    struct Observer : ui::SelectedTabStatusObserver
    {
        int calls = 0;
        int seenIndex = -1;
        void selectedTabStatusChanged() override
        {
            ++calls;
            seenIndex = ui::SelectedTabStatus::getInstance()->tabIndex;
        }
    };

    auto* status = ui::SelectedTabStatus::getInstance();
    EXPECT_EQ(status->tabIndex, 0);
    EXPECT_TRUE(status->tabName.isEmpty());

    Observer observer;
    status->addListener(&observer);
    status->setTab(1, "USER OSCILLATORS");
    status->setTab(5, "MICROTUNING");
    testsupport::drainMessageLoop();

    EXPECT_EQ(observer.calls, 1);
    EXPECT_EQ(observer.seenIndex, 5);
    EXPECT_EQ(status->tabName, "MICROTUNING");
    status->removeListener(&observer);
}
