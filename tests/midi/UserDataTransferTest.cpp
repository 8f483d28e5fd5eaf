#include "TransferTestSupport.h"

#include "midi/SysExMessages.h"
#include "midi/UserDataTransferProcesses.h"

using namespace transfertest;
using simulator::Fault;
using simulator::SimulatedInstrument;
using x47390_data::UserData;

namespace
{
using UserDataTransfer = InstrumentTest;

constexpr int osc = SimulatedInstrument::oscillatorModule;
constexpr int mod = SimulatedInstrument::modulationModule;
constexpr int del = SimulatedInstrument::delayModule;
constexpr int rev = SimulatedInstrument::reverbModule;

int count(const std::vector<MessageKind>& kinds, MessageKind kind)
{
    return (int) std::count(kinds.begin(), kinds.end(), kind);
}

Bytes headerOf(const x47390_data::UserUnitSlotData& entry)
{
    return bytesOf(entry.header);
}

std::string unitName(const SimulatedInstrument& instrument, int module, int slot)
{
    const auto s = instrument.getUserSlot(module, slot);
    if (s.isEmpty())
        return "";
    return std::string(reinterpret_cast<const char*>(s.header.data()) + 18);
}

void setRevision(SimulatedInstrument& instrument, std::uint8_t b10, std::uint8_t b11, std::uint8_t b12)
{
    auto identity = instrument.getIdentity();
    identity.revision = {{b10, b11, b12, 0}};
    instrument.setIdentity(identity);
}
} // namespace

TEST_F(UserDataTransfer, ReceiveReadsEveryHeaderInOrder)
{
    UserData target;
    x47390_midi::ReceiveUserDataProcess process(&target);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);
    EXPECT_FLOAT_EQ(process.getProgress(), 1.0f);

    EXPECT_EQ(headerOf(target.getUserOscData(0)), instrument.getUserSlot(osc, 0).header);
    EXPECT_EQ(target.getUserOscData(0).state, 1);
    EXPECT_EQ(target.getUserOscData(0).slot, 0);
    EXPECT_EQ(target.getUserOscData(0).payload.getSize(), 0u);
    EXPECT_EQ(target.getUserDelFXData(1).state, 1);
    EXPECT_EQ(target.getUserDelFXData(1).slot, 1);
    // An empty slot: state 0, its own slot number, all-zero header.
    EXPECT_EQ(target.getUserOscData(3).state, 0);
    EXPECT_EQ(target.getUserOscData(3).slot, 3);
    EXPECT_EQ(headerOf(target.getUserOscData(3)), Bytes(32, 0));

    const auto received = instrument.getReceived();
    ASSERT_EQ(received.size(), 49u);
    size_t at = 1;
    for (auto [module, slots] : {std::pair{4, 16}, std::pair{1, 16}, std::pair{2, 8}, std::pair{3, 8}})
        for (int s = 0; s < slots; ++s)
            ASSERT_EQ(received[at++].bytes,
                      x47390_midi::makeUserSlotHeaderRequest(0, 0x0135, (std::uint8_t) module, s));
}

TEST_F(UserDataTransfer, RevisionGate)
{
    struct Case
    {
        std::uint8_t b10, b11, b12;
        bool gated;
    };
    for (auto c :
         {Case{1, 0, 12, true}, Case{1, 0, 0, true}, Case{1, 0, 13, false}, Case{1, 1, 0, false}, Case{2, 0, 0, false}})
    {
        SCOPED_TRACE(testing::Message() << int(c.b10) << " " << int(c.b11) << " " << int(c.b12));
        setRevision(instrument, c.b10, c.b11, c.b12);
        instrument.clearLog();
        UserData target;
        target.getUserOscData(0).slot = 77; // a gated receive leaves the record as it was given
        x47390_midi::ReceiveUserDataProcess receive(&target);
        ProcessRunner receiveRunner(receive);
        EXPECT_EQ(receiveRunner.runToEnd(), 0);
        EXPECT_FLOAT_EQ(receive.getProgress(), 1.0f);
        EXPECT_EQ(target.getUserOscData(0).slot == 77, c.gated);

        UserData data;
        x47390_midi::WriteUserDataProcess write(&data);
        ProcessRunner writeRunner(write);
        EXPECT_EQ(writeRunner.runToEnd(), 0);
        EXPECT_FLOAT_EQ(write.getProgress(), 1.0f);

        const auto kinds = receivedKinds();
        EXPECT_EQ(count(kinds, MessageKind::userSlotHeaderRequest), c.gated ? 0 : 48);
        EXPECT_EQ(count(kinds, MessageKind::userSlotClear), c.gated ? 0 : 48);
    }
}

TEST_F(UserDataTransfer, ReceiveFailures)
{
    struct Case
    {
        const char* name;
        int nth;
        Fault fault;
        int expected;
    };
    for (auto c :
         {Case{"user-unit error", 5, Fault::userError, 9}, Case{"NAK", 20, Fault::nak, 5},
          Case{"broken header", 1, Fault::truncated, 8}, Case{"only the next slot's header", 2, Fault::misnumbered, 3}})
    {
        SCOPED_TRACE(c.name);
        instrument.clearLog();
        instrument.clearFaults();
        instrument.injectFault(MessageKind::userSlotHeaderRequest, c.nth, c.fault);
        UserData target;
        x47390_midi::ReceiveUserDataProcess process(&target);
        ProcessRunner runner(process);
        EXPECT_EQ(runner.runToEnd(), c.expected);
        EXPECT_EQ(process.getStatusMessage(), getCommunicationErrorMessage(c.expected));
        EXPECT_EQ(process.getDetailMessage(), getCommunicationErrorDetail(c.expected));
        EXPECT_EQ(count(receivedKinds(), MessageKind::userSlotHeaderRequest), c.nth);
        if (c.nth <= 16) // the failing oscillator slot is not filled
            EXPECT_EQ(target.getUserOscData(c.nth - 1).slot, -1);
    }
}

// Every header arrives twice (a MIDI loop): each slot still gets its own.
TEST_F(UserDataTransfer, RepeatedHeadersDoNotShiftTheSlots)
{
    instrument.injectFault(MessageKind::userSlotHeaderRequest, 0, Fault::duplicated);
    UserData target;
    x47390_midi::ReceiveUserDataProcess process(&target);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);
    for (int s = 0; s < 16; ++s)
    {
        EXPECT_EQ(headerOf(target.getUserOscData(s)), instrument.getUserSlot(osc, s).header) << s;
        EXPECT_EQ(headerOf(target.getUserModFXData(s)), instrument.getUserSlot(mod, s).header) << s;
    }
    for (int s = 0; s < 8; ++s)
    {
        EXPECT_EQ(headerOf(target.getUserDelFXData(s)), instrument.getUserSlot(del, s).header) << s;
        EXPECT_EQ(headerOf(target.getUserRevFXData(s)), instrument.getUserSlot(rev, s).header) << s;
    }
}

TEST_F(UserDataTransfer, CancelDuringAHeaderRequestKeepsThatSlot)
{
    UserData target;
    x47390_midi::ReceiveUserDataProcess process(&target);
    ProcessRunner runner(process);
    cancelAt(runner, MessageKind::userSlotHeaderRequest, 19); // the third modulation slot
    EXPECT_EQ(runner.runToEnd(), 1);
    EXPECT_EQ(process.getStatusMessage(), getCommunicationErrorMessage(1));
    EXPECT_EQ(process.getDetailMessage(), "");
    EXPECT_FLOAT_EQ(process.getProgress(), 19.0f / 48.0f);
    EXPECT_EQ(target.getUserModFXData(2).slot, 2);
    EXPECT_EQ(target.getUserModFXData(3).slot, -1);
}

TEST_F(UserDataTransfer, WritePlans)
{
    struct Case
    {
        const char* name;
        std::function<void(UserData&)> edit;
        int moves;
        int uploads;
        std::map<std::pair<int, int>, std::string> expectedUnits; // (module, slot) -> name; others empty
    };
    const auto delayUnit = SimulatedInstrument::makeUnit(del, "FileDelay", 120, 99);
    const Case cases[] = {
        {"no edits: nothing moves, empty slots are cleared again",
         [](UserData&) {},
         0,
         0,
         {{{osc, 0}, "SimOsc A"},
          {{osc, 1}, "SimOsc B"},
          {{osc, 2}, "SimOsc C"},
          {{mod, 0}, "SimMod"},
          {{del, 1}, "SimDelay"}}},
        {"two oscillators swapped: one move",
         [](UserData& d) { std::swap(d.getUserOscData(0), d.getUserOscData(2)); },
         1,
         0,
         {{{osc, 0}, "SimOsc C"},
          {{osc, 1}, "SimOsc B"},
          {{osc, 2}, "SimOsc A"},
          {{mod, 0}, "SimMod"},
          {{del, 1}, "SimDelay"}}},
        {"a unit moved to an empty slot, its old slot cleared",
         [](UserData& d)
         {
             d.getUserOscData(5) = d.getUserOscData(1);
             d.getUserOscData(1) = x47390_data::UserOscData();
         },
         1,
         0,
         {{{osc, 0}, "SimOsc A"},
          {{osc, 5}, "SimOsc B"},
          {{osc, 2}, "SimOsc C"},
          {{mod, 0}, "SimMod"},
          {{del, 1}, "SimDelay"}}},
        {"a rotation of three",
         [](UserData& d)
         {
             x47390_data::UserOscData first = d.getUserOscData(0);
             d.getUserOscData(0) = d.getUserOscData(1);
             d.getUserOscData(1) = d.getUserOscData(2);
             d.getUserOscData(2) = first;
         },
         2,
         0,
         {{{osc, 0}, "SimOsc B"},
          {{osc, 1}, "SimOsc C"},
          {{osc, 2}, "SimOsc A"},
          {{mod, 0}, "SimMod"},
          {{del, 1}, "SimDelay"}}},
        {"a unit from a file into delay slot 2, the modulation unit cleared",
         [&delayUnit](UserData& d)
         {
             d.getUserDelFXData(2).setLoadedUnit(juce::MemoryBlock(delayUnit.data(), delayUnit.size()));
             d.getUserModFXData(0).state = 0;
         },
         0,
         1,
         {{{osc, 0}, "SimOsc A"},
          {{osc, 1}, "SimOsc B"},
          {{osc, 2}, "SimOsc C"},
          {{del, 1}, "SimDelay"},
          {{del, 2}, "FileDelay"}}},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        instrument.resetMemory();
        UserData data;
        {
            x47390_midi::ReceiveUserDataProcess receive(&data);
            ProcessRunner runner(receive);
            ASSERT_EQ(runner.runToEnd(), 0);
        }
        c.edit(data);
        instrument.clearLog();

        x47390_midi::WriteUserDataProcess write(&data);
        ProcessRunner runner(write);
        ASSERT_EQ(runner.runToEnd(), 0);
        EXPECT_FLOAT_EQ(write.getProgress(), 1.0f);

        const auto kinds = receivedKinds();
        EXPECT_EQ(count(kinds, MessageKind::userSlotMove), c.moves);
        EXPECT_EQ(count(kinds, MessageKind::userSlotUpload), c.uploads);
        for (auto [module, slots] : {std::pair{osc, 16}, std::pair{mod, 16}, std::pair{del, 8}, std::pair{rev, 8}})
            for (int s = 0; s < slots; ++s)
            {
                auto it = c.expectedUnits.find({module, s});
                EXPECT_EQ(unitName(instrument, module, s), it == c.expectedUnits.end() ? "" : it->second)
                    << "module " << module << " slot " << s;
            }

        // After the run every entry on the instrument names its own position.
        write.installSlotStates();
        for (int s = 0; s < 16; ++s)
        {
            if (data.getUserOscData(s).state == 1)
            {
                EXPECT_EQ(data.getUserOscData(s).slot, s);
            }
        }
        for (int s = 0; s < 8; ++s)
        {
            if (data.getUserDelFXData(s).state == 1)
            {
                EXPECT_EQ(data.getUserDelFXData(s).slot, s);
            }
        }
    }
}

TEST_F(UserDataTransfer, TheWriteChangesOnlyItsCopyUntilInstalled)
{
    const auto unit = SimulatedInstrument::makeUnit(del, "FileDelay", 64, 5);
    UserData data;
    data.getUserDelFXData(2).setLoadedUnit(juce::MemoryBlock(unit.data(), unit.size()));
    x47390_midi::WriteUserDataProcess write(&data);
    ProcessRunner runner(write);
    ASSERT_EQ(runner.runToEnd(), 0);

    EXPECT_EQ(data.getUserDelFXData(2).state, 2);
    EXPECT_EQ(data.getUserDelFXData(2).slot, -1);
    EXPECT_EQ(write.getWorkingCopy().getUserDelFXData(2).state, 1);

    write.installSlotStates();
    EXPECT_EQ(data.getUserDelFXData(2).state, 1);
    EXPECT_EQ(data.getUserDelFXData(2).slot, 2);
    EXPECT_EQ(data.getUserDelFXData(2).payload.getSize(), unit.size()); // only slot and state change

    Bytes upload;
    for (const auto& r : instrument.getReceived())
        if (r.kind == MessageKind::userSlotUpload)
            upload = r.bytes;
    EXPECT_EQ(upload, x47390_midi::makeUserSlotUpload(0, 0x0135, 2, 2, unit.data(), unit.size()));
    EXPECT_EQ(instrument.getUserSlot(del, 2).payload, unit);
}

TEST_F(UserDataTransfer, WriteFailuresAndCancel)
{
    struct Case
    {
        const char* name;
        MessageKind kind;
        int nth;
        Fault fault;
        bool cancel;
        int expected;
    };
    const Case cases[] = {
        {"user-unit error to a clear", MessageKind::userSlotClear, 3, Fault::userError, false, 9},
        {"NAK to a move", MessageKind::userSlotMove, 1, Fault::nak, false, 5},
        {"NAK to an upload", MessageKind::userSlotUpload, 1, Fault::nak, false, 5},
        {"cancel during a clear", MessageKind::userSlotClear, 2, Fault::none, true, 1},
    };
    const auto unit = SimulatedInstrument::makeUnit(osc, "FileOsc", 64, 5);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        instrument.resetMemory();
        instrument.clearLog();
        instrument.clearFaults();
        if (c.fault != Fault::none)
            instrument.injectFault(c.kind, c.nth, c.fault);

        UserData data;
        for (int s = 0; s < 3; ++s)
        {
            data.getUserOscData(s).state = 1;
            data.getUserOscData(s).slot = 2 - s; // 0 <-> 2 swapped: one move
        }
        data.getUserOscData(4).setLoadedUnit(juce::MemoryBlock(unit.data(), unit.size()));

        x47390_midi::WriteUserDataProcess write(&data);
        ProcessRunner runner(write);
        if (c.cancel)
            cancelAt(runner, c.kind, c.nth);
        EXPECT_EQ(runner.runToEnd(), c.expected);
        EXPECT_EQ(write.getStatusMessage(), getCommunicationErrorMessage(c.expected));
        EXPECT_EQ(write.getDetailMessage(), c.cancel ? juce::String() : getCommunicationErrorDetail(c.expected));
        const auto kinds = receivedKinds();
        EXPECT_EQ(kinds.back(), c.kind);
        EXPECT_EQ(count(kinds, c.kind), c.nth);
        setMessageHook(nullptr);
    }
}
