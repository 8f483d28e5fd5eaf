#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuManager.h"
#include "app/EditCommands.h"
#include "app/MidiTransferCommands.h"
#include "data/ProgramEditActions.h"
#include "data/UserUnitEditActions.h"
#include "platform/midi/BridgeMidiBackend.h"
#include "tools/simulator/BridgeInstrumentServer.h"
#include "tests/app/TransferCommandTestSupport.h"

using namespace transfercommandtest;
using simulator::Fault;
using namespace x47390_menu;

namespace
{
using MidiTransferCommands = TransferCommandTest;

juce::String programName(const Bytes& binary)
{
    x47390_data::ProgramData program;
    std::copy(binary.begin(), binary.end(), program.binary.begin());
    return program.getName();
}

} // namespace

TEST_F(MidiTransferCommands, ReceiveLibraryInstallsOneUndoableTransaction)
{
    library().getProgramData(3).setName("Mine");
    setEdited(false);
    CommunicationDialogAnswerer answerer;

    EXPECT_TRUE(performMidiCommand(cmdReceiveLibrary));

    EXPECT_EQ(answerer.failuresAcknowledged, 0);
    for (int n : {0, 3, 499})
        EXPECT_EQ(bytesOf(library().getProgramData(n).binary), instrument.getProgram(n)) << n;
    EXPECT_EQ(notesOf(library().getTuneScaleData(5).notes), instrument.getScale(5));
    EXPECT_EQ(notesOf(library().getTuneOctData(2).notes), instrument.getOctave(2));
    EXPECT_EQ(library().getFavoriteData().entries[1][2], instrument.getLiveSetEntry(1, 2));
    EXPECT_TRUE(isEdited());
    EXPECT_FALSE(midi().isCommunicating);
    EXPECT_EQ(undoManager().getUndoDescription(), "Receive Library");

    ASSERT_TRUE(performEditCommand(cmdUndo));
    EXPECT_EQ(library().getProgramData(3).getName().trimEnd(), "Mine");
    EXPECT_FALSE(isEdited());
    EXPECT_FALSE(undoManager().canUndo());

    ASSERT_TRUE(undoManager().redo());
    EXPECT_EQ(bytesOf(library().getProgramData(3).binary), instrument.getProgram(3));
}

// Each way a receive can end without success leaves the library, the edited flag and the history as
// they were.
TEST_F(MidiTransferCommands, AReceiveThatDoesNotSucceedChangesNothing)
{
    struct Case
    {
        const char* what;
        int command;
        MessageKind kind;
        int nth;
        bool cancel; // else the instrument refuses that message
    };
    const Case cases[] = {
        {"library, refused program", cmdReceiveLibrary, MessageKind::programRequest, 10, false},
        {"library, refused scale", cmdReceiveLibrary, MessageKind::scaleRequest, 3, false},
        {"library, cancelled", cmdReceiveLibrary, MessageKind::programRequest, 3, true},
        {"programs, refused", cmdReceiveProgram, MessageKind::programRequest, 2, false},
        {"octave, refused", cmdReceiveTuning, MessageKind::octaveRequest, 1, false},
        {"user data, refused", cmdReceiveUserData, MessageKind::userSlotHeaderRequest, 20, false},
        {"user data, cancelled", cmdReceiveUserData, MessageKind::userSlotHeaderRequest, 5, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        edittest::resetSingletons();
        useMidiBackend(fabric);
        instrument.clearLog();
        instrument.clearFaults();
        ui::SelectedProgramStatus::getInstance()->setSelection({4, 9});
        currentTuningSlot = 1;
        // One earlier edit: afterwards Undo must still find it, and only it.
        step("Earlier", new x47390_action::SetProgramNameAction(4, "Earlier"));
        const auto programBefore = bytesOf(library().getProgramData(4).binary);
        const auto octaveBefore = notesOf(library().getTuneOctData(1).notes);
        const auto headerBefore = userData().getUserOscData(0).header;
        setEdited(false);

        CommunicationDialogAnswerer answerer;
        // A cancel must come while the transfer runs: slow answers give the dialog time to see the count.
        instrument.setReplyDelayMs(c.cancel ? 20 : 0);
        if (c.cancel)
            answerer.cancelWhen = [&] { return instrument.getCount(c.kind) >= c.nth; };
        else
            instrument.injectFault(c.kind, c.nth, Fault::nak);

        EXPECT_TRUE(performMidiCommand(c.command));

        EXPECT_EQ(answerer.failuresAcknowledged, 1);
        EXPECT_EQ(bytesOf(library().getProgramData(4).binary), programBefore);
        EXPECT_EQ(notesOf(library().getTuneOctData(1).notes), octaveBefore);
        EXPECT_EQ(userData().getUserOscData(0).header, headerBefore);
        EXPECT_FALSE(isEdited());
        EXPECT_FALSE(midi().isCommunicating);
        EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
        EXPECT_EQ(undoManager().getUndoDescription(), "Earlier");
        EXPECT_EQ(undoManager().getNumActionsInCurrentTransaction(), 1);
    }
}

TEST_F(MidiTransferCommands, ReceiveSelectedProgramsReplacesTheRowsInOneStep)
{
    ui::SelectedProgramStatus::getInstance()->setSelection({3, 7});
    CommunicationDialogAnswerer answerer;

    EXPECT_TRUE(performMidiCommand(cmdReceiveProgram));

    std::vector<int> requested;
    for (const auto& received : instrument.getReceived())
        if (received.kind == MessageKind::programRequest)
            requested.push_back(received.bytes[7] | (received.bytes[8] << 7));
    EXPECT_EQ(requested, (std::vector<int>{3, 7}));
    EXPECT_EQ(bytesOf(library().getProgramData(3).binary), instrument.getProgram(3));
    EXPECT_EQ(bytesOf(library().getProgramData(7).binary), instrument.getProgram(7));
    EXPECT_NE(bytesOf(library().getProgramData(5).binary), instrument.getProgram(5));
    EXPECT_EQ(undoManager().getUndoDescription(), "Receive Selected Programs");

    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(library().getProgramData(3).getName(), "Init Program");
    EXPECT_EQ(library().getProgramData(7).getName(), "Init Program");
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(MidiTransferCommands, ReceiveTuningFollowsTheTuningSlot)
{
    struct Case
    {
        int slot;
        const char* transaction;
    };
    for (const auto& c : {Case{8, "Receive Tune Scale"}, Case{0, "Receive Tune Oct"}, Case{5, "Receive Tune Oct"},
                          Case{11, "Receive Tune Scale"}})
    {
        SCOPED_TRACE(c.slot);
        edittest::resetSingletons();
        useMidiBackend(fabric);
        currentTuningSlot = (std::uint8_t) c.slot;
        const bool isOctave = c.slot < 6;
        const int number = isOctave ? c.slot : c.slot - 6;
        const auto before = isOctave ? notesOf(library().getTuneOctData(number).notes)
                                     : notesOf(library().getTuneScaleData(number).notes);
        auto current = [&]
        {
            return isOctave ? notesOf(library().getTuneOctData(number).notes)
                            : notesOf(library().getTuneScaleData(number).notes);
        };
        CommunicationDialogAnswerer answerer;

        EXPECT_TRUE(performMidiCommand(cmdReceiveTuning));

        EXPECT_EQ(current(), isOctave ? instrument.getOctave(number) : instrument.getScale(number));
        EXPECT_EQ(undoManager().getUndoDescription(), c.transaction);
        ASSERT_TRUE(undoManager().undo());
        EXPECT_EQ(current(), before);
    }
}

TEST_F(MidiTransferCommands, ReceiveUserDataInstallsTheSlotHeaders)
{
    CommunicationDialogAnswerer answerer;

    EXPECT_TRUE(performMidiCommand(cmdReceiveUserData));

    EXPECT_EQ(userData().getUserOscData(1).getUnitName(), "SimOsc B");
    EXPECT_EQ(userData().getUserOscData(1).slot, 1);
    EXPECT_EQ(userData().getUserOscData(1).state, 1);
    EXPECT_EQ(userData().getUserDelFXData(1).getUnitName(), "SimDelay");
    EXPECT_EQ(userData().getUserOscData(5).getHeaderWord(), 0);
    EXPECT_EQ(undoManager().getUndoDescription(), "Receive UserData");

    ASSERT_TRUE(undoManager().undo());
    EXPECT_EQ(userData().getUserOscData(1).getUnitName(), "");
}

TEST_F(MidiTransferCommands, ReceiveUserEnvironmentDoesNothing)
{
    EXPECT_TRUE(performMidiCommand(cmdReceiveUserEnvironment));
    EXPECT_TRUE(instrument.getReceived().empty());
    EXPECT_FALSE(undoManager().canUndo());
    EXPECT_TRUE(dialogTitles.isEmpty());
}

// The three ways through the write confirmation, for every command that asks it.
TEST_F(MidiTransferCommands, WritesAskFirstUnlessTheUserSaidNotTo)
{
    struct Command
    {
        int id;
        MessageKind sent;
        int count;
    };
    const Command commands[] = {
        {cmdWriteLibrary, MessageKind::programWrite, 500},
        {cmdWriteProgram, MessageKind::programWrite, 2},
        {cmdWriteTuning, MessageKind::scaleWrite, 1},
        {cmdTransmitCurrentTuning, MessageKind::currentScale, 1},
    };
    struct Path
    {
        Answer answer;
        bool writes;
        bool warnAfterwards;
    };
    const Path paths[] = {
        {Answer::cancel, false, true},
        {Answer::closeWindow, false, true},
        {Answer::ok, true, true},
        {Answer::okAndDoNotAskAgain, true, false},
    };
    for (const auto& command : commands)
        for (const auto& path : paths)
        {
            SCOPED_TRACE(testing::Message() << "command " << command.id << ", answer " << (int) path.answer);
            edittest::resetSingletons();
            useMidiBackend(fabric);
            instrument.clearLog();
            preferences().setBoolValue("WarnBeforeWriting", true);
            ui::SelectedProgramStatus::getInstance()->setSelection({2, 6});
            currentTuningSlot = 7;
            warningsShown = 0;
            answerWarnings(path.answer);
            CommunicationDialogAnswerer answerer;

            EXPECT_TRUE(performMidiCommand(command.id));
            ASSERT_TRUE(testsupport::runMessageLoopUntil(
                [&] { return !path.writes || instrument.getCount(command.sent) == command.count; }, 5000));
            testsupport::drainMessageLoop();

            EXPECT_EQ(warningsShown, 1);
            EXPECT_EQ(dialogTitles.getReference(dialogTitles.size() - 1), "Write to the sonavire");
            EXPECT_EQ(instrument.getCount(command.sent), path.writes ? command.count : 0);
            EXPECT_EQ(answerer.failuresAcknowledged, 0);
            EXPECT_EQ(preferences().getBoolValue("WarnBeforeWriting", true), path.warnAfterwards);
            EXPECT_FALSE(ui::ModalDialogState::getInstance()->isModalDialogOpen());

            // The next write asks again only while the preference is on.
            answerWarnings(Answer::cancel);
            EXPECT_TRUE(performMidiCommand(command.id));
            EXPECT_EQ(warningsShown, path.warnAfterwards ? 2 : 1);
            ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return !midi().getTuneScaleSender().isThreadRunning(); },
                                                         5000));
        }
}

TEST_F(MidiTransferCommands, WritesSendTheLibrarysContent)
{
    preferences().setBoolValue("WarnBeforeWriting", false);
    library().getProgramData(0).setName("First");
    library().getProgramData(499).setName("Last");
    library().getTuneOctData(4).notes[5] = 0x33;
    library().getTuneOctData(4).updateHash();
    CommunicationDialogAnswerer answerer;

    EXPECT_TRUE(performMidiCommand(cmdWriteLibrary));
    EXPECT_EQ(programName(instrument.getProgram(0)).trimEnd(), "First");
    EXPECT_EQ(programName(instrument.getProgram(499)).trimEnd(), "Last");
    EXPECT_EQ(instrument.getOctave(4), notesOf(library().getTuneOctData(4).notes));

    library().getProgramData(8).setName("Eight");
    library().getProgramData(9).setName("Nine");
    ui::SelectedProgramStatus::getInstance()->setSelection({8});
    EXPECT_TRUE(performMidiCommand(cmdWriteProgram));
    EXPECT_EQ(programName(instrument.getProgram(8)).trimEnd(), "Eight");
    EXPECT_NE(programName(instrument.getProgram(9)).trimEnd(), "Nine");

    currentTuningSlot = 3;
    library().getTuneOctData(3).notes[0] = 0x21;
    library().getTuneOctData(3).updateHash();
    EXPECT_TRUE(performMidiCommand(cmdWriteTuning));
    EXPECT_EQ(instrument.getOctave(3), notesOf(library().getTuneOctData(3).notes));

    // Transmit Current Tuning goes to the edit buffer, in the background.
    EXPECT_TRUE(performMidiCommand(cmdTransmitCurrentTuning));
    EXPECT_TRUE(testsupport::runMessageLoopUntil(
        [&] { return instrument.getCurrentOctave() == notesOf(library().getTuneOctData(3).notes); }, 5000));
    EXPECT_NE(x47390_data::CurrentTuneOctData::getInstanceWithoutCreating(), nullptr);

    EXPECT_EQ(answerer.failuresAcknowledged, 0);
    EXPECT_TRUE(dialogTitles.isEmpty());
    EXPECT_FALSE(undoManager().canUndo());
}

// After Write User Data the slots hold what the instrument holds: a second write changes nothing more,
// even after a write that failed half-way.
TEST_F(MidiTransferCommands, WriteUserDataKeepsTheSlotsInStepWithTheInstrument)
{
    CommunicationDialogAnswerer answerer;
    ASSERT_TRUE(performMidiCommand(cmdReceiveUserData));

    // Swap oscillators A and B, clear C, and load a new unit into slot 5 whose upload fails first.
    const auto a = userData().getUserOscData(0);
    const auto b = userData().getUserOscData(1);
    step("Arrange", new x47390_action::SetUserOscDataAction(0, b), new x47390_action::SetUserOscDataAction(1, a),
         new x47390_action::ClearUserOscDataAction(2));
    const auto unit = simulator::SimulatedInstrument::makeUnit(simulator::SimulatedInstrument::oscillatorModule,
                                                               "Loaded", 100, 77);
    x47390_data::UserOscData loaded;
    loaded.setLoadedUnit(juce::MemoryBlock(unit.data(), unit.size()));
    step("Load", new x47390_action::SetUserOscDataAction(5, loaded));
    preferences().setBoolValue("WarnBeforeWriting", false);
    instrument.injectFault(MessageKind::userSlotUpload, 1, Fault::nak);

    EXPECT_TRUE(performMidiCommand(cmdWriteUserData));
    EXPECT_EQ(answerer.failuresAcknowledged, 1);
    EXPECT_FALSE(undoManager().canUndo()); // cleared although the write failed
    EXPECT_EQ(userData().getUserOscData(0).slot, 0);
    EXPECT_EQ(userData().getUserOscData(1).slot, 1);
    EXPECT_EQ(userData().getUserOscData(5).state, 2); // not uploaded yet

    instrument.clearFaults();
    EXPECT_TRUE(performMidiCommand(cmdWriteUserData));
    EXPECT_EQ(answerer.failuresAcknowledged, 1);
    EXPECT_EQ(userData().getUserOscData(5).state, 1);
    EXPECT_EQ(userData().getUserOscData(5).slot, 5);

    const int moves = instrument.getCount(MessageKind::userSlotMove);
    EXPECT_TRUE(performMidiCommand(cmdWriteUserData));
    EXPECT_EQ(instrument.getCount(MessageKind::userSlotMove), moves);

    auto nameIn = [&](int slot)
    {
        const auto header = instrument.getUserSlot(simulator::SimulatedInstrument::oscillatorModule, slot).header;
        x47390_data::UserOscData entry;
        entry.setReceivedHeader(header.data(), header.size(), slot);
        return entry.getUnitName();
    };
    EXPECT_EQ(nameIn(0), "SimOsc B");
    EXPECT_EQ(nameIn(1), "SimOsc A");
    EXPECT_EQ(nameIn(2), "");
    EXPECT_EQ(nameIn(5), "Loaded");
}

TEST_F(MidiTransferCommands, WriteUserDataAsksWithItsOwnWarning)
{
    step("Earlier", new x47390_action::SetProgramNameAction(1, "Earlier"));
    preferences().setBoolValue("WarnBeforeWriting", true);
    answerWarnings(Answer::cancel);

    EXPECT_TRUE(performMidiCommand(cmdWriteUserData));
    EXPECT_EQ(warningsShown, 1);
    EXPECT_EQ(dialogTitles[0], "Write user units to the sonavire");
    EXPECT_TRUE(instrument.getReceived().empty());
    EXPECT_TRUE(undoManager().canUndo()); // nothing happened, so the history stays

    answerWarnings(Answer::okAndDoNotAskAgain);
    CommunicationDialogAnswerer answerer;
    EXPECT_TRUE(performMidiCommand(cmdWriteUserData));
    EXPECT_EQ(warningsShown, 2);
    EXPECT_EQ(instrument.getCount(MessageKind::userSlotClear), 48); // every slot here is empty
    EXPECT_FALSE(preferences().getBoolValue("WarnBeforeWriting", true));
    EXPECT_FALSE(undoManager().canUndo());
}

TEST_F(MidiTransferCommands, AConfirmationIsRefusedWhileAnotherDialogIsOpen)
{
    preferences().setBoolValue("WarnBeforeWriting", true);
    answerWarnings(Answer::ok);
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);

    EXPECT_TRUE(performMidiCommand(cmdWriteLibrary));
    EXPECT_TRUE(performMidiCommand(cmdWriteUserData));

    EXPECT_EQ(warningsShown, 0);
    EXPECT_TRUE(instrument.getReceived().empty());
    EXPECT_TRUE(ui::ModalDialogState::getInstance()->isModalDialogOpen());
    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
}

// The same commands over the socket bridge the program uses in end-to-end runs, the instrument's
// answers arriving in small pieces.
TEST_F(MidiTransferCommands, ReceiveRenameAndWriteBackOverTheSocketBridge)
{
    const auto socket = config.file("bridge.sock").getFullPathName();
    simulator::BridgeInstrumentServer server(instrument, socket.toStdString());
    server.setWriteChunkSize(7);
    ASSERT_TRUE(server.start());
    useMidiBackend(std::make_shared<platform::midi::BridgeMidiBackend>(socket));
    preferences().setBoolValue("WarnBeforeWriting", false);
    CommunicationDialogAnswerer answerer;

    EXPECT_TRUE(performMidiCommand(cmdReceiveLibrary));
    EXPECT_EQ(library().getProgramData(42).getName(), "Sim Prog 042");
    EXPECT_EQ(notesOf(library().getTuneScaleData(3).notes), instrument.getScale(3));

    step("PasteProgramName", new x47390_action::SetProgramNameAction(42, "Renamed"));
    EXPECT_TRUE(performMidiCommand(cmdWriteLibrary));
    EXPECT_EQ(programName(instrument.getProgram(42)).trimEnd(), "Renamed");
    EXPECT_EQ(programName(instrument.getProgram(43)), "Sim Prog 043");

    ui::SelectedProgramStatus::getInstance()->setSelection({42});
    instrument.setProgram(42, bytesOf(x47390_data::ProgramData().binary));
    EXPECT_TRUE(performMidiCommand(cmdReceiveProgram));
    EXPECT_EQ(library().getProgramData(42).getName(), "Init Program");

    EXPECT_TRUE(performMidiCommand(cmdReceiveUserData));
    EXPECT_EQ(userData().getUserModFXData(0).getUnitName(), "SimMod");
    EXPECT_EQ(answerer.failuresAcknowledged, 0);
    useMidiBackend(fabric); // the bridge's client goes before its server
}

// The start-up receive invokes Receive Library and then Receive User Data through the command manager:
// the library transfer runs to its end, its error shown and acknowledged, before the second starts.
TEST_F(MidiTransferCommands, ReceiveLibraryEndsBeforeReceiveUserDataStarts)
{
    auto* menus = x47390_menu::ApplicationMenuManager::getInstance();
    instrument.injectFault(MessageKind::liveSetRequest, 1, Fault::nak);
    CommunicationDialogAnswerer answerer;

    EXPECT_TRUE(menus->getCommandManager().invokeDirectly(cmdReceiveLibrary, false));
    EXPECT_EQ(answerer.failuresAcknowledged, 1);
    EXPECT_TRUE(menus->getCommandManager().invokeDirectly(cmdReceiveUserData, false));

    const auto received = instrument.getReceived();
    const auto firstHeaderRequest = std::find_if(received.begin(), received.end(), [](const auto& r)
                                                 { return r.kind == MessageKind::userSlotHeaderRequest; });
    ASSERT_NE(firstHeaderRequest, received.end());
    EXPECT_TRUE(std::none_of(firstHeaderRequest, received.end(), [](const auto& r)
                             { return r.kind == MessageKind::programRequest || r.kind == MessageKind::liveSetRequest; }));
    EXPECT_EQ(instrument.getCount(MessageKind::userSlotHeaderRequest), 48);
    EXPECT_EQ(library().getProgramData(0).getName(), "Init Program");
    EXPECT_EQ(undoManager().getUndoDescription(), "Receive UserData");
    delete menus;
}
