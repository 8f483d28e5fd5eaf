#include "TransferTestSupport.h"

#include "data/LibraryData.h"
#include "midi/LibraryTransferProcesses.h"
#include "midi/LocalisedText.h"
#include "midi/SysExMessages.h"

using namespace transfertest;
using simulator::Fault;
using x47390_data::LibraryData;

namespace
{
using LibraryTransfer = InstrumentTest;

int count(const std::vector<MessageKind>& kinds, MessageKind kind)
{
    return (int) std::count(kinds.begin(), kinds.end(), kind);
}

// A library that differs from the instrument's factory content everywhere.
void fillDistinct(LibraryData& library, int seed)
{
    for (int n = 0; n < 500; ++n)
    {
        auto& program = library.getProgramData(n);
        for (size_t i = 0; i < program.binary.size(); ++i)
            program.binary[i] = (std::uint8_t)(n * 7 + (int) i * seed);
        program.updateHash();
    }
    for (int i = 0; i < 6; ++i)
    {
        auto& scale = library.getTuneScaleData(i);
        for (size_t k = 0; k < scale.notes.size(); ++k)
            scale.notes[k] = (std::uint8_t)((i + (int) k * seed) & 0x7F);
        scale.updateHash();
        auto& octave = library.getTuneOctData(i);
        for (size_t k = 0; k < octave.notes.size(); ++k)
            octave.notes[k] = (std::uint8_t)((i * 3 + (int) k + seed) & 0x7F);
        octave.updateHash();
    }
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 8; ++p)
            library.getFavoriteData().entries[(size_t) b][(size_t) p] = (b * 8 + p) * seed % 501;
}

void expectLibraryMatchesInstrument(const LibraryData& library, const simulator::SimulatedInstrument& instrument)
{
    for (int n = 0; n < 500; ++n)
        ASSERT_EQ(bytesOf(library.getProgramData(n).binary), instrument.getProgram(n)) << "program " << n;
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(bytesOf(library.getTuneScaleData(i).notes), instrument.getScale(i)) << "scale " << i;
        EXPECT_EQ(bytesOf(library.getTuneOctData(i).notes), instrument.getOctave(i)) << "octave " << i;
    }
    for (int b = 0; b < 4; ++b)
        for (int p = 0; p < 8; ++p)
            EXPECT_EQ(library.getFavoriteData().entries[(size_t) b][(size_t) p], instrument.getLiveSetEntry(b, p));
}

void expectFailureTexts(midi::MidiCommunicationProcess& process, int code)
{
    EXPECT_FALSE(process.getStatusMessage().isEmpty());
    EXPECT_EQ(process.getStatusMessage(), getCommunicationErrorMessage(code));
    EXPECT_EQ(process.getDetailMessage(), code == 1 ? juce::String() : getCommunicationErrorDetail(code));
    EXPECT_FALSE(process.isSuccess(code));
}
} // namespace

TEST_F(LibraryTransfer, ReceiveLibraryFetchesEverythingInOrder)
{
    LibraryData target;
    target.getProgramData(4).information.programmer = "someone";
    target.getTuneScaleData(2).information.comment = "kept";
    x47390_midi::ReceiveLibraryProcess process(&target);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);

    expectLibraryMatchesInstrument(target, instrument);
    EXPECT_EQ(target.getProgramData(4).information.programmer, "");
    EXPECT_EQ(target.getProgramData(4).md5, x47390_data::md5Text(target.getProgramData(4).binary.data(), 336));
    EXPECT_EQ(target.getTuneScaleData(2).information.comment, "kept");
    EXPECT_EQ(target.getTuneScaleData(2).md5, x47390_data::md5Text(target.getTuneScaleData(2).notes.data(), 384));
    EXPECT_FLOAT_EQ(process.getProgress(), 1.0f);
    EXPECT_EQ(process.getStatusMessage(), midi::localisedText("CommunicationProcessReceiveLibrary"));
    EXPECT_EQ(process.getDetailMessage(), "");
    EXPECT_TRUE(process.isSuccess(0));
    EXPECT_TRUE(process.isCancellable());

    // identity, programs 0..499, live set, scales 0..5, octaves 0..5: 514 exchanges
    const auto received = instrument.getReceived();
    ASSERT_EQ(received.size(), 514u);
    EXPECT_EQ(received[0].bytes, Bytes({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    for (int n = 0; n < 500; ++n)
        ASSERT_EQ(received[1 + (size_t) n].bytes, x47390_midi::makeProgramRequest(0, 0x0135, n));
    EXPECT_EQ(received[501].bytes, x47390_midi::makeLivesetRequest(0, 0x0135));
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(received[502 + (size_t) i].bytes, x47390_midi::makeTuneScaleRequest(0, 0x0135, (std::uint8_t) i));
        EXPECT_EQ(received[508 + (size_t) i].bytes, x47390_midi::makeTuneOctRequest(0, 0x0135, (std::uint8_t) i));
    }
}

TEST_F(LibraryTransfer, ReceiveUsesTheChannelTheIdentityReplyNames)
{
    instrument.setChannel(9);
    instrument.setRealTimeBytesInReplies(true);
    device->setDeliveryChunkSize(5);
    std::vector<int> selection{7, 3, 7};
    LibraryData target;
    x47390_midi::ReceiveSelectedProgramProcess process(&selection, &target);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);

    const auto received = instrument.getReceived();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].bytes, x47390_midi::makeProgramRequest(9, 0x0135, 7));
    EXPECT_EQ(received[2].bytes, x47390_midi::makeProgramRequest(9, 0x0135, 3));
    EXPECT_EQ(received[3].bytes, x47390_midi::makeProgramRequest(9, 0x0135, 7));
    EXPECT_EQ(bytesOf(target.getProgramData(7).binary), instrument.getProgram(7));
    EXPECT_EQ(bytesOf(target.getProgramData(3).binary), instrument.getProgram(3));
    EXPECT_EQ(bytesOf(target.getProgramData(0).binary), bytesOf(x47390_data::initProgramTemplate));
}

TEST_F(LibraryTransfer, ForeignAndUnexpectedMessagesDuringAWaitAreDropped)
{
    setMessageHook(
        [this](const Bytes& message)
        {
            if (kindOf(message) == MessageKind::programRequest)
            {
                device->sendFromSource(0, Bytes{0xF0, 0x42, 0x30, 0x00, 0x01, 0x35, 0x4C, 0xF7}); // other maker
                device->sendFromSource(0, Bytes{0xF0, 0x7D, 0x30, 0x00, 0x01, 0x36, 0x24, 0xF7}); // other family
                device->sendFromSource(0, Bytes{0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x23, 0xF7}); // ACK, not awaited
                device->sendFromSource(0, Bytes{0x90, 0x40, 0x7F});                               // a note
            }
        });
    std::vector<int> selection{1, 2};
    LibraryData target;
    x47390_midi::ReceiveSelectedProgramProcess process(&selection, &target);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);
    EXPECT_EQ(bytesOf(target.getProgramData(2).binary), instrument.getProgram(2));
}

TEST_F(LibraryTransfer, ReceiveFailuresEndTheRunWithTheirCode)
{
    struct Case
    {
        const char* name;
        MessageKind kind;
        int nth;
        Fault fault;
        int expected;
        int programsReceived;
    };
    const Case cases[] = {
        {"NAK to program 250", MessageKind::programRequest, 251, Fault::nak, 5, 250},
        {"broken program dump", MessageKind::programRequest, 3, Fault::truncated, 8, 2},
        {"broken live-set dump", MessageKind::liveSetRequest, 1, Fault::truncated, 8, 500},
        {"NAK to the live set", MessageKind::liveSetRequest, 1, Fault::nak, 5, 500},
        {"broken scale dump", MessageKind::scaleRequest, 2, Fault::truncated, 8, 500},
        {"NAK to octave 5", MessageKind::octaveRequest, 6, Fault::nak, 5, 500},
        // A dump of another number, and no right one within the reply time: nothing is stored in its place.
        {"program 7 answered by program 8 alone", MessageKind::programRequest, 8, Fault::misnumbered, 3, 7},
        {"octave 3 answered by octave 4 alone", MessageKind::octaveRequest, 4, Fault::misnumbered, 3, 500},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        instrument.clearLog();
        instrument.clearFaults();
        instrument.injectFault(c.kind, c.nth, c.fault);
        LibraryData target;
        x47390_midi::ReceiveLibraryProcess process(&target);
        ProcessRunner runner(process);
        EXPECT_EQ(runner.runToEnd(), c.expected);
        expectFailureTexts(process, c.expected);

        const auto kinds = receivedKinds();
        EXPECT_EQ(kinds.back(), c.kind); // nothing requested after the failing exchange
        for (int n = 0; n < 500; ++n)
        {
            const auto expected =
                n < c.programsReceived ? instrument.getProgram(n) : bytesOf(x47390_data::initProgramTemplate);
            ASSERT_EQ(bytesOf(target.getProgramData(n).binary), expected) << n;
        }
    }
}

// A dump sent twice (a MIDI merge or loop) or unasked is no answer to a later request: the library comes out
// exactly as the instrument holds it.
TEST_F(LibraryTransfer, RepeatedAndUnaskedDumpsDoNotShiftTheLibrary)
{
    struct Case
    {
        const char* name;
        MessageKind kind;
        int nth;
    };
    const Case cases[] = {
        {"program 5 twice", MessageKind::programRequest, 6},
        {"program 499 twice, before the live set", MessageKind::programRequest, 500},
        {"scale 1 twice", MessageKind::scaleRequest, 2},
        {"octave 0 twice", MessageKind::octaveRequest, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        instrument.clearLog();
        instrument.clearFaults();
        instrument.injectFault(c.kind, c.nth, Fault::duplicated);
        LibraryData target;
        x47390_midi::ReceiveLibraryProcess process(&target);
        ProcessRunner runner(process);
        ASSERT_EQ(runner.runToEnd(), 0);
        expectLibraryMatchesInstrument(target, instrument);
    }

    // Dumps of other programs arrive ahead of the one asked for.
    instrument.clearLog();
    instrument.clearFaults();
    setMessageHook(
        [this](const Bytes& message)
        {
            if (message == x47390_midi::makeProgramRequest(0, 0x0135, 10))
                for (int other : {200, 11})
                    device->sendFromSource(
                        0, x47390_midi::makeProgramWrite(0, 0x0135, other, instrument.getProgram(other).data()));
        });
    LibraryData target;
    x47390_midi::ReceiveLibraryProcess process(&target);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);
    expectLibraryMatchesInstrument(target, instrument);
}

TEST_F(LibraryTransfer, ReceiveTimesOutWhenTheInstrumentStaysSilent)
{
    instrument.injectFault(MessageKind::programRequest, 1, Fault::silence);
    LibraryData target;
    x47390_midi::ReceiveLibraryProcess process(&target);
    ProcessRunner runner(process);
    const auto start = juce::Time::getMillisecondCounter();
    EXPECT_EQ(runner.runToEnd(), 3);
    EXPECT_GE(juce::Time::getMillisecondCounter() - start, 5000u);
    expectFailureTexts(process, 3);
    EXPECT_EQ(bytesOf(target.getProgramData(0).binary), bytesOf(x47390_data::initProgramTemplate));
}

TEST_F(LibraryTransfer, IdentityCheckFailures)
{
    struct Case
    {
        const char* name;
        std::uint8_t manufacturer;
        int family;
    };
    for (auto c : {Case{"another maker", 0x42, 0x0135}, Case{"another family", 0x7D, 0x0136}})
    {
        SCOPED_TRACE(c.name);
        instrument.clearLog();
        auto identity = instrument.getIdentity();
        identity.manufacturer = c.manufacturer;
        identity.family = c.family;
        instrument.setIdentity(identity);
        LibraryData target;
        x47390_midi::ReceiveLibraryProcess process(&target);
        ProcessRunner runner(process);
        EXPECT_EQ(runner.runToEnd(), 4);
        expectFailureTexts(process, 4);
        EXPECT_EQ(receivedKinds(), std::vector<MessageKind>{MessageKind::identityRequest});
    }
}

TEST_F(LibraryTransfer, NoIdentityReplyIsATimeOut)
{
    instrument.injectFault(MessageKind::identityRequest, 0, Fault::silence);
    std::vector<int> selection{1};
    LibraryData source;
    x47390_midi::WriteSelectedProgramProcess process(&selection, &source);
    ProcessRunner runner(process);
    const auto start = juce::Time::getMillisecondCounter();
    EXPECT_EQ(runner.runToEnd(), 3);
    EXPECT_GE(juce::Time::getMillisecondCounter() - start, 3000u);
    expectFailureTexts(process, 3);
    EXPECT_EQ(receivedKinds(), std::vector<MessageKind>{MessageKind::identityRequest});
}

TEST_F(LibraryTransfer, CancelDuringAScaleRequestEndsBeforeTheOctaves)
{
    LibraryData target;
    x47390_midi::ReceiveLibraryProcess process(&target);
    ProcessRunner runner(process);
    cancelAt(runner, MessageKind::scaleRequest, 4);
    EXPECT_EQ(runner.runToEnd(), 1);
    expectFailureTexts(process, 1);
    const auto kinds = receivedKinds();
    EXPECT_EQ(count(kinds, MessageKind::scaleRequest), 4);
    EXPECT_EQ(count(kinds, MessageKind::octaveRequest), 0);
    EXPECT_EQ(bytesOf(target.getTuneScaleData(3).notes), instrument.getScale(3)); // the request completed
}

TEST_F(LibraryTransfer, WriteLibraryWritesEverythingAndMergesTheLiveSet)
{
    // The instrument's own live-set bytes outside the program numbers must survive the write.
    Bytes block(128);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = (std::uint8_t)(0xA0 + i);
    instrument.setLiveSet(block);

    LibraryData source;
    fillDistinct(source, 3);
    source.getFavoriteData().entries[3][7] = 500;
    x47390_midi::WriteLibraryProcess process(&source);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);

    expectLibraryMatchesInstrument(source, instrument);
    const auto written = instrument.getLiveSet();
    for (size_t i = 0; i < 128; ++i)
    {
        const bool programNumberByte = i >= 4 && (i - 4) % 32 < 16;
        if (!programNumberByte)
        {
            ASSERT_EQ(written[i], block[i]) << i;
        }
    }
    EXPECT_EQ(written[4 + 96 + 14], 0xF4);
    EXPECT_EQ(written[4 + 96 + 15], 0x01);

    const auto kinds = receivedKinds();
    ASSERT_EQ(kinds.size(), 1u + 500 + 6 + 6 + 2);
    EXPECT_EQ(count(kinds, MessageKind::programWrite), 500);
    EXPECT_EQ(kinds[501], MessageKind::scaleWrite);
    EXPECT_EQ(kinds[507], MessageKind::octaveWrite);
    EXPECT_EQ(kinds[513], MessageKind::liveSetRequest);
    EXPECT_EQ(kinds[514], MessageKind::liveSetWrite);
    EXPECT_FLOAT_EQ(process.getProgress(), 5.0f / 6.0f);
}

TEST(LiveSetMerge, ProgramNumbersReplaceTheirBytesOnly)
{
    x47390_data::FavoriteData liveset;
    liveset.entries[0][0] = 0x1234;
    liveset.entries[1][2] = -1;
    juce::MemoryBlock shortBlock(10, true);
    static_cast<std::uint8_t*>(shortBlock.getData())[9] = 0x55;
    static_cast<std::uint8_t*>(shortBlock.getData())[3] = 0x66;
    const auto merged = bytesOf(x47390_midi::mergeLivesetBlock(shortBlock, liveset));
    ASSERT_EQ(merged.size(), 128u);
    EXPECT_EQ(merged[4], 0x34);
    EXPECT_EQ(merged[5], 0x12);
    EXPECT_EQ(merged[8], 0xF4); // a program number byte wins over the instrument's
    EXPECT_EQ(merged[9], 0x01);
    EXPECT_EQ(merged[4 + 32 + 4], 0xFF);
    EXPECT_EQ(merged[4 + 32 + 5], 0xFF);
    EXPECT_EQ(merged[3], 0x66);   // the instrument's own byte
    EXPECT_EQ(merged[127], 0x00); // padded
}

TEST_F(LibraryTransfer, WriteFailuresEndTheRunWithTheirCode)
{
    struct Case
    {
        const char* name;
        MessageKind kind;
        int nth;
        Fault fault;
        int expected;
    };
    const Case cases[] = {
        {"NAK to a program write", MessageKind::programWrite, 20, Fault::nak, 6},
        {"NAK to an octave write", MessageKind::octaveWrite, 6, Fault::nak, 6},
        {"NAK to the live-set request", MessageKind::liveSetRequest, 1, Fault::nak, 5},
        {"broken live-set dump", MessageKind::liveSetRequest, 1, Fault::truncated, 8},
        {"NAK to the live-set write", MessageKind::liveSetWrite, 1, Fault::nak, 6},
    };
    LibraryData source;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        instrument.clearLog();
        instrument.clearFaults();
        instrument.injectFault(c.kind, c.nth, c.fault);
        x47390_midi::WriteLibraryProcess process(&source);
        ProcessRunner runner(process);
        EXPECT_EQ(runner.runToEnd(), c.expected);
        expectFailureTexts(process, c.expected);
        EXPECT_EQ(receivedKinds().back(), c.kind);
    }
}

TEST_F(LibraryTransfer, WriteTimesOutWithoutAnAck)
{
    instrument.injectFault(MessageKind::scaleWrite, 1, Fault::silence);
    LibraryData source;
    x47390_midi::WriteLibraryProcess process(&source);
    ProcessRunner runner(process);
    const auto start = juce::Time::getMillisecondCounter();
    EXPECT_EQ(runner.runToEnd(), 3);
    EXPECT_GE(juce::Time::getMillisecondCounter() - start, 3000u);
    expectFailureTexts(process, 3);
}

TEST_F(LibraryTransfer, CancelDuringAProgramWriteSendsNothingMore)
{
    LibraryData source;
    x47390_midi::WriteLibraryProcess process(&source);
    ProcessRunner runner(process);
    cancelAt(runner, MessageKind::programWrite, 11);
    EXPECT_EQ(runner.runToEnd(), 1);
    expectFailureTexts(process, 1);
    const auto kinds = receivedKinds();
    EXPECT_EQ(kinds.size(), 12u);
    EXPECT_EQ(kinds.back(), MessageKind::programWrite);
}

TEST_F(LibraryTransfer, WriteSelectedProgramsInListOrder)
{
    LibraryData source;
    fillDistinct(source, 5);
    std::vector<int> selection{3, 3, 499};
    x47390_midi::WriteSelectedProgramProcess process(&selection, &source);
    ProcessRunner runner(process);
    ASSERT_EQ(runner.runToEnd(), 0);
    const auto received = instrument.getReceived();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1].bytes, x47390_midi::makeProgramWrite(0, 0x0135, 3, source.getProgramData(3).binary.data()));
    EXPECT_EQ(received[2].bytes, received[1].bytes);
    EXPECT_EQ(instrument.getProgram(499), bytesOf(source.getProgramData(499).binary));
    EXPECT_EQ(instrument.getProgram(4), simulator::SimulatedInstrument().getProgram(4));
}

TEST_F(LibraryTransfer, EmptySelectionsOnlyCheckTheIdentity)
{
    std::vector<int> selection;
    LibraryData library;
    x47390_midi::ReceiveSelectedProgramProcess receive(&selection, &library);
    ProcessRunner receiveRunner(receive);
    EXPECT_EQ(receiveRunner.runToEnd(), 0);
    x47390_midi::WriteSelectedProgramProcess write(&selection, &library);
    ProcessRunner writeRunner(write);
    EXPECT_EQ(writeRunner.runToEnd(), 0);
    EXPECT_EQ(receivedKinds(), (std::vector<MessageKind>{MessageKind::identityRequest, MessageKind::identityRequest}));
}

TEST_F(LibraryTransfer, RoundTripReceiveWriteReceiveGivesIdenticalData)
{
    LibraryData first;
    {
        x47390_midi::ReceiveLibraryProcess receive(&first);
        ProcessRunner runner(receive);
        ASSERT_EQ(runner.runToEnd(), 0);
    }
    // The instrument forgets everything, then gets the received library back.
    LibraryData other;
    fillDistinct(other, 11);
    {
        x47390_midi::WriteLibraryProcess write(&other);
        ProcessRunner runner(write);
        ASSERT_EQ(runner.runToEnd(), 0);
    }
    {
        x47390_midi::WriteLibraryProcess write(&first);
        ProcessRunner runner(write);
        ASSERT_EQ(runner.runToEnd(), 0);
    }
    LibraryData second;
    {
        x47390_midi::ReceiveLibraryProcess receive(&second);
        ProcessRunner runner(receive);
        ASSERT_EQ(runner.runToEnd(), 0);
    }
    for (int n = 0; n < 500; ++n)
    {
        ASSERT_EQ(first.getProgramData(n).binary, second.getProgramData(n).binary) << n;
        ASSERT_EQ(first.getProgramData(n).md5, second.getProgramData(n).md5) << n;
    }
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(first.getTuneScaleData(i).notes, second.getTuneScaleData(i).notes);
        EXPECT_EQ(first.getTuneOctData(i).notes, second.getTuneOctData(i).notes);
    }
    EXPECT_EQ(first.getFavoriteData().entries, second.getFavoriteData().entries);
}
