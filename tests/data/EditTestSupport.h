#pragma once

#include "data/ApplicationUndoManager.h"
#include "data/CurrentProgramData.h"
#include "data/CurrentTuneOctData.h"
#include "data/CurrentTuneScaleData.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/DataEditStatus.h"
#include "data/TuningSelection.h"
#include "midi/MidiCommunicationManager.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"
#include "ui/SelectedProgramStatus.h"

#include <gtest/gtest.h>

namespace edittest
{
// Deletes every singleton the edit code touches, listeners before the undo manager, so each test
// starts from a fresh library, an empty history and a clear edited flag.
inline void resetSingletons()
{
    testsupport::drainMessageLoop();
    delete x47390_data::CurrentProgramData::getInstanceWithoutCreating();
    delete x47390_data::CurrentTuneScaleData::getInstanceWithoutCreating();
    delete x47390_data::CurrentTuneOctData::getInstanceWithoutCreating();
    delete data::DataChangeBroadcaster::getInstanceWithoutCreating();
    delete application::DataEditStatus::getInstanceWithoutCreating();
    delete x47390_midi::MidiCommunicationManager::getInstanceWithoutCreating(); // waits for sends under way
    delete x47390_data::DataCenter::getInstanceWithoutCreating();
    delete ui::SelectedProgramStatus::getInstanceWithoutCreating();
    delete application::ApplicationUndoManager::getInstanceWithoutCreating();
    // Handed-over tunings really go out: to an empty virtual MIDI system, never to the machine's own. As in the
    // program, the device manager exists before anything sends, so it is the last singleton to go.
    delete midi::MidiDeviceManager::getInstanceWithoutCreating();
    static const auto noInstrument = platform::midi::VirtualMidiFabric::create();
    platform::midi::MidiBackend::setDefault(noInstrument);
    midi::MidiDeviceManager::getInstance();
    currentTuningSlot = 6;
    currentTuningPage = 5;
    tuningLiveTransmission = false;
    x47390_data::CurrentTuneScaleData::editBuffer = {};
    x47390_data::CurrentTuneOctData::editBuffer = {};
    x47390_data::CurrentTuneScaleData::currentTuneScale = x47390_data::TuneScaleData();
    x47390_data::CurrentTuneOctData::currentTuneOct = x47390_data::TuneOctData();
}

struct EditedFlagRecorder : application::DataEditStatusListener
{
    EditedFlagRecorder() { application::DataEditStatus::getInstance()->addListener(this); }
    ~EditedFlagRecorder() override
    {
        if (auto* status = application::DataEditStatus::getInstanceWithoutCreating())
            status->removeListener(this);
    }
    void dataEditStatusChanged(const bool& edited) override { calls.push_back(edited); }
    std::vector<bool> calls;
};

struct DataChangeCounter : data::DataChangeObserver
{
    DataChangeCounter() { data::DataChangeBroadcaster::getInstance()->addListener(this); }
    ~DataChangeCounter() override
    {
        if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
            broadcaster->removeListener(this);
    }
    void dataChanged() override { ++calls; }
    int calls = 0;
};

// Fresh singletons around each test, and the undo manager's edit-site protocol.
class EditFixture : public ::testing::Test
{
protected:
    EditFixture() { resetSingletons(); }
    ~EditFixture() override { resetSingletons(); }

    static x47390_data::LibraryData& library() { return x47390_data::DataCenter::getInstance()->getLibraryData(); }
    static x47390_data::UserData& userData() { return x47390_data::DataCenter::getInstance()->getUserData(); }
    static juce::UndoManager& undoManager() { return *application::ApplicationUndoManager::getInstance(); }
    static bool isEdited() { return application::DataEditStatus::getInstance()->isEdited(); }
    static void setEdited(bool edited) { application::DataEditStatus::getInstance()->setEdited(edited); }
    static x47390_midi::MidiCommunicationManager& midi()
    {
        return *x47390_midi::MidiCommunicationManager::getInstance();
    }

    // One undo step holding the given actions; returns what the last perform returned.
    template <class... Actions>
    static bool step(const char* name, Actions*... actions)
    {
        undoManager().beginNewTransaction(name);
        bool result = true;
        ((result = undoManager().perform(actions)), ...);
        return result;
    }

    static void drain()
    {
        testsupport::drainMessageLoop();
        testsupport::drainMessageLoop();
    }
};

// What a call writes to standard output.
template <class Fn>
std::string stdoutOf(Fn&& fn)
{
    ::testing::internal::CaptureStdout();
    fn();
    return ::testing::internal::GetCapturedStdout();
}

inline juce::String md5Of(const void* data, size_t size)
{
    return x47390_data::md5Text(data, size);
}
} // namespace edittest
