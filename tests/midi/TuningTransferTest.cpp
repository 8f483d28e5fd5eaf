#include "TransferTestSupport.h"

#include "midi/LocalisedText.h"
#include "midi/SysExMessages.h"
#include "midi/TuningTransferProcesses.h"

using namespace transfertest;
using simulator::Fault;

namespace
{
using TuningTransfer = InstrumentTest;

void expectFailureTexts(midi::MidiCommunicationProcess& process, int code)
{
    EXPECT_FALSE(process.getStatusMessage().isEmpty());
    EXPECT_EQ(process.getStatusMessage(), getCommunicationErrorMessage(code));
    EXPECT_EQ(process.getDetailMessage(), getCommunicationErrorDetail(code));
}

Bytes distinctNotes(size_t size, int seed)
{
    Bytes notes(size);
    for (size_t i = 0; i < size; ++i)
        notes[i] = (std::uint8_t)((int) i * 5 + seed);
    return notes;
}
} // namespace

TEST_F(TuningTransfer, ReceiveOneTuningIntoARecordOfItsOwn)
{
    instrument.setOctave(2, distinctNotes(36, 1));
    instrument.setScale(4, distinctNotes(384, 2));

    x47390_midi::ReceiveTuneOctProcess octave(2);
    ProcessRunner octaveRunner(octave);
    ASSERT_EQ(octaveRunner.runToEnd(), 0);
    EXPECT_EQ(bytesOf(octave.getReceivedTuneOct().notes), instrument.getOctave(2));
    EXPECT_EQ(octave.getReceivedTuneOct().md5, x47390_data::md5Text(instrument.getOctave(2).data(), 36));
    EXPECT_EQ(octave.getStatusMessage(), midi::localisedText("CommunicationProcessReceiveSelectedOctave"));
    EXPECT_FALSE(octave.isCancellable());

    x47390_midi::ReceiveTuneScaleProcess scale(4);
    ProcessRunner scaleRunner(scale);
    ASSERT_EQ(scaleRunner.runToEnd(), 0);
    EXPECT_EQ(bytesOf(scale.getReceivedTuneScale().notes), instrument.getScale(4));

    const auto received = instrument.getReceived();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].bytes, x47390_midi::makeTuneOctRequest(0, 0x0135, 2));
    EXPECT_EQ(received[3].bytes, x47390_midi::makeTuneScaleRequest(0, 0x0135, 4));
}

TEST_F(TuningTransfer, FailedReceivesLeaveTheRecordAndReportTheirCode)
{
    struct Case
    {
        const char* name;
        bool scale;
        Fault fault;
        int expected;
    };
    for (auto c :
         {Case{"NAK to a scale", true, Fault::nak, 5}, Case{"broken scale dump", true, Fault::truncated, 8},
          Case{"NAK to an octave", false, Fault::nak, 5}, Case{"broken octave dump", false, Fault::truncated, 8}})
    {
        SCOPED_TRACE(c.name);
        instrument.clearFaults();
        instrument.injectFault(c.scale ? MessageKind::scaleRequest : MessageKind::octaveRequest, 0, c.fault);
        if (c.scale)
        {
            x47390_midi::ReceiveTuneScaleProcess process(4);
            ProcessRunner runner(process);
            EXPECT_EQ(runner.runToEnd(), c.expected);
            expectFailureTexts(process, c.expected);
            EXPECT_EQ(process.getReceivedTuneScale().notes, x47390_data::TuneScaleData().notes);
        }
        else
        {
            x47390_midi::ReceiveTuneOctProcess process(2);
            ProcessRunner runner(process);
            EXPECT_EQ(runner.runToEnd(), c.expected);
            expectFailureTexts(process, c.expected);
            EXPECT_EQ(process.getReceivedTuneOct().notes, x47390_data::TuneOctData().notes);
        }
    }
}

TEST_F(TuningTransfer, WriteOneTuningIntoASlot)
{
    x47390_data::TuneScaleData scale;
    std::copy_n(distinctNotes(384, 3).begin(), 384, scale.notes.begin());
    x47390_data::TuneOctData octave;
    std::copy_n(distinctNotes(36, 4).begin(), 36, octave.notes.begin());

    x47390_midi::TransmitTuneScaleProcess scaleProcess(5, &scale);
    ProcessRunner scaleRunner(scaleProcess);
    ASSERT_EQ(scaleRunner.runToEnd(), 0);
    x47390_midi::TransmitTuneOctProcess octaveProcess(0, &octave);
    ProcessRunner octaveRunner(octaveProcess);
    ASSERT_EQ(octaveRunner.runToEnd(), 0);

    Bytes maskedScale = bytesOf(scale.notes);
    for (auto& b : maskedScale)
        b &= 0x7F;
    EXPECT_EQ(instrument.getScale(5), maskedScale);
    EXPECT_EQ(instrument.getReceived()[1].bytes, x47390_midi::makeTuneScaleWrite(0, 0x0135, 5, scale.notes.data()));
    EXPECT_EQ(instrument.getReceived()[3].bytes, x47390_midi::makeTuneOctWrite(0, 0x0135, 0, octave.notes.data()));

    instrument.injectFault(MessageKind::octaveWrite, 0, Fault::nak);
    x47390_midi::TransmitTuneOctProcess refused(1, &octave);
    ProcessRunner refusedRunner(refused);
    EXPECT_EQ(refusedRunner.runToEnd(), 6);
    expectFailureTexts(refused, 6);
}

TEST_F(TuningTransfer, CurrentDataGoesToTheEditBuffer)
{
    x47390_data::ProgramData program;
    program.binary[20] = 0xC3;
    x47390_data::TuneOctData octave;
    octave.notes[7] = 0x85; // sent with its top bit cleared
    x47390_data::TuneScaleData scale;
    scale.notes[383] = 0x11;

    x47390_midi::TransmitCurrentProgramProcess programProcess(&program);
    x47390_midi::TransmitCurrentTuneOctProcess octaveProcess(&octave);
    x47390_midi::TransmitCurrentTuneScaleProcess scaleProcess(&scale);
    for (midi::MidiCommunicationProcess* process :
         std::initializer_list<midi::MidiCommunicationProcess*>{&programProcess, &octaveProcess, &scaleProcess})
    {
        ProcessRunner runner(*process);
        EXPECT_EQ(runner.runToEnd(), 0);
        EXPECT_FLOAT_EQ(process->getProgress(), 0.0f);
    }
    EXPECT_EQ(instrument.getCurrentProgram(), bytesOf(program.binary));
    EXPECT_EQ(instrument.getCurrentOctave()[7], 0x05);
    EXPECT_EQ(instrument.getCurrentScale()[383], 0x11);
    EXPECT_EQ(instrument.getOctave(0), simulator::SimulatedInstrument().getOctave(0)); // no stored slot touched

    const auto received = instrument.getReceived();
    ASSERT_EQ(received.size(), 6u);
    EXPECT_EQ(received[1].bytes.size(), 392u);
    EXPECT_EQ(received[3].bytes[7], 0x7F);
    EXPECT_EQ(received[3].bytes.size(), 45u);
    EXPECT_EQ(received[5].bytes[7], 0x7F);
    EXPECT_EQ(received[5].bytes.size(), 393u);

    instrument.injectFault(MessageKind::currentProgram, 0, Fault::nak);
    x47390_midi::TransmitCurrentProgramProcess refused(&program);
    ProcessRunner refusedRunner(refused);
    EXPECT_EQ(refusedRunner.runToEnd(), 6);
    expectFailureTexts(refused, 6);
}

TEST_F(TuningTransfer, CurrentProgramWithoutAnInstrumentSendsNoProgram)
{
    instrument.injectFault(MessageKind::identityRequest, 0, Fault::silence);
    x47390_data::ProgramData program;
    x47390_midi::TransmitCurrentProgramProcess process(&program);
    // The background senders run the process directly on their own thread, without a dialog.
    EXPECT_EQ(process.execute(), 3);
    EXPECT_FALSE(process.isSuccess(3));
    EXPECT_EQ(receivedKinds(), std::vector<MessageKind>{MessageKind::identityRequest});
}
