#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using application::ApplicationUndoManager;
using application::DataEditStatus;
using application::LastSavedFileStatus;
using data::DataChangeBroadcaster;
using data::PresetDataChangeBroadcaster;

namespace
{
struct SizedAction : juce::UndoableAction
{
    explicit SizedAction(int unitsToReport = 10, int* counterToBump = nullptr)
        : units(unitsToReport), counter(counterToBump)
    {
    }
    bool perform() override
    {
        if (counter != nullptr)
            ++*counter;
        return true;
    }
    bool undo() override
    {
        if (counter != nullptr)
            --*counter;
        return true;
    }
    int getSizeInUnits() override { return units; }
    int units;
    int* counter;
};

struct EditListener : application::DataEditStatusListener
{
    std::vector<bool> calls;
    void dataEditStatusChanged(const bool& edited) override { calls.push_back(edited); }
};

struct FileListener : application::LastSavedFileStatusListener
{
    std::vector<juce::File> calls;
    void lastSavedFileChanged(const juce::File& file) override { calls.push_back(file); }
};

struct DataObserver : data::DataChangeObserver
{
    int calls = 0;
    void dataChanged() override { ++calls; }
};

struct PresetObserver : data::PresetDataChangeBroadcasterObserver
{
    int calls = 0;
    void presetDataChanged() override { ++calls; }
};

// Deletes our singletons in the order shutdown would, the undo manager last.
void deleteSingletons()
{
    delete LastSavedFileStatus::getInstanceWithoutCreating();
    delete DataEditStatus::getInstanceWithoutCreating();
    delete PresetDataChangeBroadcaster::getInstanceWithoutCreating();
    delete DataChangeBroadcaster::getInstanceWithoutCreating();
    delete x47390_data::DataCenter::getInstanceWithoutCreating();
    delete ApplicationUndoManager::getInstanceWithoutCreating();
}

// Enough passes for the undo manager's change message and the broadcaster's own update.
void deliverAll()
{
    for (int i = 0; i < 3; ++i)
        testsupport::drainMessageLoop();
}

class Broadcasters : public ::testing::Test
{
protected:
    void SetUp() override { deleteSingletons(); }
    void TearDown() override { deleteSingletons(); }
};
} // namespace

TEST_F(Broadcasters, EditedFlagDeliversTheValueAtDeliveryTime)
{
    auto* status = DataEditStatus::getInstance();
    EXPECT_FALSE(status->isEdited());
    EditListener listener;
    status->addListener(&listener);

    status->setEdited(true);
    status->setEdited(true);
    deliverAll();
    EXPECT_EQ(listener.calls, std::vector<bool>{true});

    status->setEdited(false);
    status->setEdited(true);
    status->setEdited(false);
    deliverAll();
    EXPECT_EQ(listener.calls, (std::vector<bool>{true, false}));

    status->setEdited(false); // already false: nothing
    deliverAll();
    EXPECT_EQ(listener.calls.size(), 2u);
    status->removeListener(&listener);
}

TEST_F(Broadcasters, LastSavedFileComparesPathsByThePlatformRule)
{
    auto* status = LastSavedFileStatus::getInstance();
    EXPECT_EQ(status->getFile(), juce::File());
    FileListener listener;
    status->addListener(&listener);

    const juce::File upper("/tmp/Bank.snvrlib"), lower("/tmp/bank.snvrlib");
    status->setFile(upper);
    deliverAll();
    ASSERT_EQ(listener.calls.size(), 1u);
    EXPECT_EQ(listener.calls[0], upper);

    status->setFile(juce::File("/tmp/Bank.snvrlib"));
    deliverAll();
    EXPECT_EQ(listener.calls.size(), 1u);

    // Case-sensitive file names: a path differing only in letter case is another file.
    status->setFile(lower);
    deliverAll();
    ASSERT_EQ(listener.calls.size(), 2u);
    EXPECT_EQ(status->getFile().getFullPathName(), "/tmp/bank.snvrlib");

    status->setFile(juce::File());
    deliverAll();
    EXPECT_EQ(listener.calls.back(), juce::File());
    status->removeListener(&listener);
}

TEST_F(Broadcasters, PerformAndNotifyGiveOneDeliveryPerObserver)
{
    auto* broadcaster = DataChangeBroadcaster::getInstance();
    auto* undo = ApplicationUndoManager::getInstance();
    DataObserver once, twice;
    broadcaster->addListener(&once);
    broadcaster->addListener(&twice);
    broadcaster->addListener(&twice);

    undo->beginNewTransaction("Edit");
    undo->perform(new SizedAction());
    broadcaster->notifyDataChanged();
    deliverAll();
    EXPECT_EQ(once.calls, 1);
    EXPECT_EQ(twice.calls, 2);

    broadcaster->removeListener(&twice);
    undo->undo();
    deliverAll();
    EXPECT_EQ(once.calls, 2);
    EXPECT_EQ(twice.calls, 3);

    // A burst of many performs is one delivery.
    undo->beginNewTransaction("Drag");
    for (int i = 0; i < 300; ++i)
        undo->perform(new SizedAction());
    deliverAll();
    EXPECT_EQ(once.calls, 3);

    broadcaster->removeListener(&once);
    broadcaster->removeListener(&twice);
}

TEST_F(Broadcasters, PresetChangesCoalesce)
{
    auto* broadcaster = PresetDataChangeBroadcaster::getInstance();
    PresetObserver observer;
    broadcaster->addListener(&observer);
    deliverAll();
    EXPECT_EQ(observer.calls, 0);
    broadcaster->notifyPresetDataChanged();
    broadcaster->notifyPresetDataChanged();
    deliverAll();
    EXPECT_EQ(observer.calls, 1);
    broadcaster->removeListener(&observer);
}

TEST_F(Broadcasters, UndoLimitsKeepTheTwentyMostRecentSteps)
{
    constexpr int receiveLibraryUnits = 392368;
    for (int steps : {20, 21})
    {
        deleteSingletons();
        auto* undo = ApplicationUndoManager::getInstance();
        undo->setMaxNumberOfStoredUnits(2000000, 20);

        int applied = 0;
        for (int i = 0; i < steps; ++i)
        {
            undo->beginNewTransaction("Receive Library");
            undo->perform(new SizedAction(receiveLibraryUnits, &applied));
        }
        int undone = 0;
        while (undo->undo())
            ++undone;
        EXPECT_EQ(undone, 20) << steps << " steps";
        EXPECT_EQ(applied, steps - 20) << steps << " steps";
    }
}

TEST_F(Broadcasters, NewUndoManagerHasTheLibraryDefaults)
{
    auto* undo = ApplicationUndoManager::getInstance();
    int applied = 0;
    for (int i = 0; i < 31; ++i)
    {
        undo->beginNewTransaction("Step");
        undo->perform(new SizedAction(1, &applied));
    }
    int undone = 0;
    while (undo->undo())
        ++undone;
    EXPECT_EQ(undone, 31); // 30000 units leave room for all of these small steps
}

TEST_F(Broadcasters, ShutdownDeletesEverySingletonWithoutTouchingDeletedOnes)
{
    // Start-up order: the broadcasters come before the statuses; the undo manager must outlive its listeners.
    DataObserver observer;
    x47390_data::DataCenter::getInstance();
    DataChangeBroadcaster::getInstance()->addListener(&observer);
    PresetDataChangeBroadcaster::getInstance()->notifyPresetDataChanged();
    DataEditStatus::getInstance()->setEdited(true);
    LastSavedFileStatus::getInstance()->setFile(juce::File("/tmp/x.snvrlib"));
    ApplicationUndoManager::getInstance()->setMaxNumberOfStoredUnits(2000000, 20);
    ApplicationUndoManager::getInstance()->beginNewTransaction("Edit");
    ApplicationUndoManager::getInstance()->perform(new SizedAction());
    DataChangeBroadcaster::getInstance()->removeListener(&observer);

    // Deliveries are still pending here: shutdown must cancel them.
    juce::DeletedAtShutdown::deleteAll();

    EXPECT_EQ(ApplicationUndoManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(DataChangeBroadcaster::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(PresetDataChangeBroadcaster::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(DataEditStatus::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(LastSavedFileStatus::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(x47390_data::DataCenter::getInstanceWithoutCreating(), nullptr);
    deliverAll();
    EXPECT_EQ(observer.calls, 0);
}

TEST_F(Broadcasters, BroadcasterOutlivingTheUndoManagerDoesNotReachIt)
{
    DataChangeBroadcaster::getInstance();
    delete ApplicationUndoManager::getInstanceWithoutCreating();
    delete DataChangeBroadcaster::getInstanceWithoutCreating(); // must not touch the deleted undo manager
    EXPECT_EQ(ApplicationUndoManager::getInstanceWithoutCreating(), nullptr);
}
