#include "data/LastSavedFileStatus.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "data/TuneEditActions.h"
#include "tests/data/EditTestSupport.h"

using namespace edittest;

namespace
{
struct CountingScaleObserver : x47390_data::CurrentTuneScaleDataObserver
{
    void currentTuneScaleChanged() override { ++calls; }
    int calls = 0;
};
} // namespace

// Start-up and shutdown of every singleton the edits use, with deliveries still pending: the
// holders made before the undo manager still leave before it, and nothing touches a deleted object.
TEST(EditShutdown, DeletesEverySingletonWithPendingDeliveries)
{
    resetSingletons();
    auto* scale = x47390_data::CurrentTuneScaleData::getInstance(); // the first to exist
    auto* oct = x47390_data::CurrentTuneOctData::getInstance();
    data::DataChangeBroadcaster::getInstance();
    data::PresetDataChangeBroadcaster::getInstance();
    application::DataEditStatus::getInstance();
    application::LastSavedFileStatus::getInstance();
    x47390_midi::MidiCommunicationManager::getInstance();
    application::ApplicationUndoManager::getInstance()->setMaxNumberOfStoredUnits(2000000, 20);

    CountingScaleObserver observer;
    scale->addListener(&observer);
    tuningLiveTransmission = true;
    scale->setTuneScale(0);
    scale->pasteTuneScale(3);
    oct->pasteTuneOct();
    scale->removeListener(&observer);

    juce::DeletedAtShutdown::deleteAll();

    EXPECT_EQ(x47390_data::CurrentTuneScaleData::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(x47390_data::CurrentTuneOctData::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(x47390_midi::MidiCommunicationManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(application::ApplicationUndoManager::getInstanceWithoutCreating(), nullptr);
    EXPECT_EQ(x47390_data::DataCenter::getInstanceWithoutCreating(), nullptr);
    testsupport::drainMessageLoop();
    EXPECT_EQ(observer.calls, 0);
    tuningLiveTransmission = false;
}
