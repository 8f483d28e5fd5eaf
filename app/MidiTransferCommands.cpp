#include "app/MidiTransferCommands.h"

#include "app/ApplicationCommandIds.h"
#include "app/WriteConfirmation.h"
#include "data/ApplicationUndoManager.h"
#include "data/CurrentTuneOctData.h"
#include "data/CurrentTuneScaleData.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/ProgramEditActions.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "data/UserUnitEditActions.h"
#include "midi/LibraryTransferProcesses.h"
#include "midi/MidiCommunicationManager.h"
#include "midi/TuningTransferProcesses.h"
#include "midi/UserDataTransferProcesses.h"
#include "ui/SelectedProgramStatus.h"

#include <memory>
#include <vector>

namespace x47390_menu
{
namespace
{
constexpr int numUserOctaveSlots = 6;
constexpr int numTuningSlots = 12;

x47390_data::LibraryData& library() { return x47390_data::DataCenter::getInstance()->getLibraryData(); }

application::ApplicationUndoManager& undoManager() { return *application::ApplicationUndoManager::getInstance(); }

// Keeps the background senders quiet for as long as the transfer's process exists.
class CommunicatingScope
{
public:
    CommunicatingScope() : manager(x47390_midi::MidiCommunicationManager::getInstance()) { manager->isCommunicating = true; }
    ~CommunicatingScope() { manager->isCommunicating = false; }
    x47390_midi::MidiCommunicationManager& get() { return *manager; }

private:
    x47390_midi::MidiCommunicationManager* manager;
};

// Runs one process under the communication dialog; afterRun sees it before it goes. 0 on success.
template <class Process, class AfterRun, class... Arguments>
int runTransferThen(AfterRun&& afterRun, Arguments&&... arguments)
{
    CommunicatingScope scope;
    auto process = std::make_unique<Process>(std::forward<Arguments>(arguments)...);
    const int result = scope.get().executeProcess(process.get());
    afterRun(*process, result);
    process.reset();
    return result;
}

template <class Process, class... Arguments>
int runTransfer(Arguments&&... arguments)
{
    return runTransferThen<Process>([](Process&, int) {}, std::forward<Arguments>(arguments)...);
}

void receiveLibrary()
{
    auto received = std::make_unique<x47390_data::LibraryData>();
    received->initialise();
    if (runTransfer<x47390_midi::ReceiveLibraryProcess>(received.get()) != 0)
        return;
    undoManager().beginNewTransaction("Receive Library");
    undoManager().perform(new x47390_action::SetLibraryDataAction(*received));
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

void receiveSelectedPrograms()
{
    const std::vector<int> selection = ui::SelectedProgramStatus::getInstance()->selection;
    auto received = std::make_unique<x47390_data::LibraryData>();
    received->initialise();
    if (runTransfer<x47390_midi::ReceiveSelectedProgramProcess>(&selection, received.get()) != 0)
        return;
    undoManager().beginNewTransaction("Receive Selected Programs");
    for (int index : selection)
        undoManager().perform(new x47390_action::SetProgramDataAction(index, received->getProgramData(index)));
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

void receiveTuning()
{
    const int slot = currentTuningSlot;
    if (slot < numUserOctaveSlots)
    {
        runTransferThen<x47390_midi::ReceiveTuneOctProcess>(
            [slot](x47390_midi::ReceiveTuneOctProcess& process, int result)
            {
                if (result != 0)
                    return;
                undoManager().beginNewTransaction("Receive Tune Oct");
                undoManager().perform(new x47390_action::SetTuneOctDataAction(slot, process.getReceivedTuneOct()));
            },
            slot);
    }
    else if (slot < numTuningSlots)
    {
        const int scale = slot - numUserOctaveSlots;
        runTransferThen<x47390_midi::ReceiveTuneScaleProcess>(
            [scale](x47390_midi::ReceiveTuneScaleProcess& process, int result)
            {
                if (result != 0)
                    return;
                undoManager().beginNewTransaction("Receive Tune Scale");
                undoManager().perform(
                    new x47390_action::SetTuneScaleDataAction(scale, process.getReceivedTuneScale()));
            },
            scale);
    }
}

void writeTuning()
{
    const int slot = currentTuningSlot;
    if (!confirmWriteToDevice())
        return;
    if (slot < numUserOctaveSlots)
        runTransfer<x47390_midi::TransmitTuneOctProcess>(slot, &library().getTuneOctData(slot));
    else if (slot < numTuningSlots)
        runTransfer<x47390_midi::TransmitTuneScaleProcess>(slot - numUserOctaveSlots,
                                                            &library().getTuneScaleData(slot - numUserOctaveSlots));
}

// Hands the slot's tuning to the instrument's edit buffer in the background; nothing to wait for.
void transmitCurrentTuning()
{
    const int slot = currentTuningSlot;
    if (!confirmWriteToDevice())
        return;
    auto* manager = x47390_midi::MidiCommunicationManager::getInstance();
    if (slot < numUserOctaveSlots)
    {
        x47390_data::CurrentTuneOctData::getInstance();
        manager->transmitCurrentTuneOct(library().getTuneOctData(slot));
    }
    else if (slot < numTuningSlots)
    {
        x47390_data::CurrentTuneScaleData::getInstance();
        manager->transmitCurrentTuneScale(library().getTuneScaleData(slot - numUserOctaveSlots));
    }
}

void receiveUserData()
{
    auto received = std::make_unique<x47390_data::UserData>();
    if (runTransfer<x47390_midi::ReceiveUserDataProcess>(received.get()) != 0)
        return;
    undoManager().beginNewTransaction("Receive UserData");
    undoManager().perform(new x47390_action::SetUserDataAction(*received));
}

void writeUserData()
{
    if (!confirmWriteUserData())
        return;
    // The slots now hold what the instrument holds, also after a failure half-way: the next write
    // starts from there.
    runTransferThen<x47390_midi::WriteUserDataProcess>(
        [](x47390_midi::WriteUserDataProcess& process, int) { process.installSlotStates(); },
        &x47390_data::DataCenter::getInstance()->getUserData());
    undoManager().clearUndoHistory();
    data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}
} // namespace

bool performMidiCommand(int commandId)
{
    switch (commandId)
    {
    case cmdReceiveLibrary:
        receiveLibrary();
        break;
    case cmdWriteLibrary:
        if (confirmWriteToDevice())
            runTransfer<x47390_midi::WriteLibraryProcess>(&library());
        break;
    case cmdReceiveProgram:
        receiveSelectedPrograms();
        break;
    case cmdWriteProgram:
        if (confirmWriteToDevice())
        {
            const std::vector<int> selection = ui::SelectedProgramStatus::getInstance()->selection;
            runTransfer<x47390_midi::WriteSelectedProgramProcess>(&selection, &library());
        }
        break;
    case cmdReceiveTuning:
        receiveTuning();
        break;
    case cmdWriteTuning:
        writeTuning();
        break;
    case cmdTransmitCurrentTuning:
        transmitCurrentTuning();
        break;
    case cmdReceiveUserEnvironment:
        break;
    case cmdReceiveUserData:
        receiveUserData();
        break;
    case cmdWriteUserData:
        writeUserData();
        break;
    default:
        return false;
    }
    return true;
}
} // namespace x47390_menu
