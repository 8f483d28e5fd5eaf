#include "tools/simulator/SimulatedInstrument.h"

#include <gtest/gtest.h>

using simulator::Bytes;
using simulator::Fault;
using simulator::MessageKind;
using simulator::SimulatedInstrument;

namespace
{
Bytes header(int channel = 0)
{
    return {0xF0, 0x7D, (std::uint8_t)(0x30 + channel), 0x00, 0x01, 0x35};
}

Bytes message(std::uint8_t function, const Bytes& body, int channel = 0)
{
    Bytes m = header(channel);
    m.push_back(function);
    m.insert(m.end(), body.begin(), body.end());
    m.push_back(0xF7);
    return m;
}

const Bytes ack = message(0x23, {});
const Bytes nak = message(0x24, {});

Bytes only(const std::vector<Bytes>& replies)
{
    EXPECT_EQ(replies.size(), 1u);
    return replies.empty() ? Bytes() : replies.front();
}
} // namespace

TEST(SimulatedInstrument, PacksSevenBitsInEight)
{
    const Bytes nine = {0x81, 0x02, 0x83, 0x04, 0x85, 0x06, 0x87, 0xFF, 0x7F};
    const Bytes packed = {0x55, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x01, 0x7F, 0x7F};
    EXPECT_EQ(SimulatedInstrument::pack(nine), packed);
    EXPECT_EQ(SimulatedInstrument::unpack(packed.data(), packed.size(), 9), nine);
    for (size_t n : {0u, 8u, 32u, 128u, 336u})
    {
        Bytes data(n);
        for (size_t i = 0; i < n; ++i)
            data[i] = (std::uint8_t)(i * 37 + 5);
        const auto p = SimulatedInstrument::pack(data);
        EXPECT_EQ(SimulatedInstrument::unpackedSize(p.size()), n);
        EXPECT_EQ(SimulatedInstrument::unpack(p.data(), p.size(), n), data);
    }
    EXPECT_EQ(SimulatedInstrument::pack(Bytes(336)).size(), 384u);
    EXPECT_EQ(SimulatedInstrument::pack(Bytes(128)).size(), 147u);
    EXPECT_EQ(SimulatedInstrument::pack(Bytes(32)).size(), 37u);
}

TEST(SimulatedInstrument, AnswersIdentityAndSearchRequests)
{
    SimulatedInstrument instrument;
    instrument.setChannel(5);
    const Bytes identity = only(instrument.handleMessage({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    EXPECT_EQ(identity,
              (Bytes{0xF0, 0x7E, 0x05, 0x06, 0x02, 0x7D, 0x35, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0xF7}));
    // Addressed to its own channel it answers too; to another it keeps quiet.
    EXPECT_EQ(instrument.handleMessage({0xF0, 0x7E, 0x05, 0x06, 0x01, 0xF7}).size(), 1u);
    EXPECT_TRUE(instrument.handleMessage({0xF0, 0x7E, 0x04, 0x06, 0x01, 0xF7}).empty());

    const Bytes search = only(instrument.handleMessage({0xF0, 0x7D, 0x50, 0x00, 0x03, 0xF7}));
    ASSERT_EQ(search.size(), 15u);
    EXPECT_EQ(Bytes(search.begin(), search.begin() + 4), (Bytes{0xF0, 0x7D, 0x50, 0x01}));
    EXPECT_EQ(search[5], 0x03);
    EXPECT_EQ(search[6], 0x35);
    EXPECT_EQ(search[7], 0x01);

    SimulatedInstrument::Identity other;
    other.family = 0x0136;
    other.revision = {{1, 0, 12, 0}};
    instrument.setIdentity(other);
    const Bytes changed = only(instrument.handleMessage({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
    EXPECT_EQ(changed[6], 0x36);
    EXPECT_EQ(changed[12], 12);
}

TEST(SimulatedInstrument, SendsDumpsOfItsMemory)
{
    SimulatedInstrument instrument;
    // Program 300 on channel 0: F0 7D 30 00 01 35 1C 2C 02 F7.
    const Bytes program = only(instrument.handleMessage(message(0x1C, {0x2C, 0x02})));
    ASSERT_EQ(program.size(), 394u);
    EXPECT_EQ(program[6], 0x4C);
    EXPECT_EQ(program[7], 0x2C);
    EXPECT_EQ(program[8], 0x02);
    EXPECT_EQ(SimulatedInstrument::unpack(program.data() + 9, 384, 336), instrument.getProgram(300));
    const Bytes stored = instrument.getProgram(300);
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 16),
              Bytes({'P', 'R', 'O', 'G', 'S', 'i', 'm', ' ', 'P', 'r', 'o', 'g', ' ', '3', '0', '0'}));
    EXPECT_EQ(only(instrument.handleMessage(message(0x1C, {0x74, 0x03}))), nak); // program 500

    const Bytes liveSet = only(instrument.handleMessage(message(0x16, {})));
    ASSERT_EQ(liveSet.size(), 155u);
    EXPECT_EQ(SimulatedInstrument::unpack(liveSet.data() + 7, 147, 128), instrument.getLiveSet());
    EXPECT_EQ(instrument.getLiveSetEntry(1, 2), 30);

    // User scale 5 on channel 15: F0 7D 3F 00 01 35 14 05 F7.
    instrument.setChannel(15);
    const Bytes scale = only(instrument.handleMessage(message(0x14, {0x05}, 15)));
    ASSERT_EQ(scale.size(), 393u);
    EXPECT_EQ(scale[2], 0x3F);
    EXPECT_EQ(scale[7], 0x05);
    EXPECT_EQ(Bytes(scale.begin() + 8, scale.end() - 1), instrument.getScale(5));
    EXPECT_EQ(only(instrument.handleMessage(message(0x14, {0x06}, 15))), message(0x24, {}, 15));

    const Bytes octave = only(instrument.handleMessage(message(0x15, {0x02}, 15)));
    ASSERT_EQ(octave.size(), 45u);
    EXPECT_EQ(Bytes(octave.begin() + 8, octave.end() - 1), instrument.getOctave(2));

    // Messages on another channel or of another family go unanswered.
    EXPECT_TRUE(instrument.handleMessage(message(0x16, {}, 0)).empty());
}

TEST(SimulatedInstrument, TakesWritesAndAcknowledgesThem)
{
    SimulatedInstrument instrument;
    Bytes program(336);
    for (size_t i = 0; i < program.size(); ++i)
        program[i] = (std::uint8_t)(255 - i);
    Bytes body = {0x0A, 0x01}; // program 138
    const auto packed = SimulatedInstrument::pack(program);
    body.insert(body.end(), packed.begin(), packed.end());
    EXPECT_EQ(only(instrument.handleMessage(message(0x4C, body))), ack);
    EXPECT_EQ(instrument.getProgram(138), program);

    body.pop_back(); // one byte short
    EXPECT_EQ(only(instrument.handleMessage(message(0x4C, body))), nak);

    EXPECT_EQ(only(instrument.handleMessage(message(0x40, packed))), ack);
    EXPECT_EQ(instrument.getCurrentProgram(), program);

    Bytes notes(384, 0x81);
    notes.insert(notes.begin(), 0x03);
    EXPECT_EQ(only(instrument.handleMessage(message(0x44, notes))), ack);
    EXPECT_EQ(instrument.getScale(3), Bytes(384, 0x01));
    notes[0] = 0x7F;
    EXPECT_EQ(only(instrument.handleMessage(message(0x44, notes))), ack);
    EXPECT_EQ(instrument.getCurrentScale(), Bytes(384, 0x01));
    EXPECT_EQ(instrument.getCount(MessageKind::scaleWrite), 1);
    EXPECT_EQ(instrument.getCount(MessageKind::currentScale), 1);

    Bytes octave(36, 0x22);
    octave.insert(octave.begin(), 0x7F);
    EXPECT_EQ(only(instrument.handleMessage(message(0x45, octave))), ack);
    EXPECT_EQ(instrument.getCurrentOctave(), Bytes(36, 0x22));

    Bytes liveSet = instrument.getLiveSet();
    liveSet[4] = 0xF4;
    liveSet[5] = 0x01;
    EXPECT_EQ(only(instrument.handleMessage(message(0x46, SimulatedInstrument::pack(liveSet)))), ack);
    EXPECT_EQ(instrument.getLiveSetEntry(0, 0), 500);
}

TEST(SimulatedInstrument, KeepsUserUnitSlots)
{
    SimulatedInstrument instrument;
    const int osc = SimulatedInstrument::oscillatorModule;
    // Occupied: 48 bytes with the header packed from byte 10; empty: 10 bytes.
    const Bytes occupied = only(instrument.handleMessage(message(0x19, {0x04, 0x00})));
    ASSERT_EQ(occupied.size(), 48u);
    EXPECT_EQ(SimulatedInstrument::unpack(occupied.data() + 10, 37, 32), instrument.getUserSlot(osc, 0).header);
    EXPECT_EQ(only(instrument.handleMessage(message(0x19, {0x04, 0x03}))), message(0x49, {0x04, 0x03}));
    EXPECT_EQ(only(instrument.handleMessage(message(0x19, {0x02, 0x08}))), message(0x27, {})); // no delay slot 8

    // Move swaps two slots; clear empties one.
    const auto unit0 = instrument.getUserSlot(osc, 0);
    EXPECT_EQ(only(instrument.handleMessage(message(0x1E, {0x04, 0x00, 0x05}))), ack);
    EXPECT_TRUE(instrument.getUserSlot(osc, 0).isEmpty());
    EXPECT_EQ(instrument.getUserSlot(osc, 5).header, unit0.header);
    EXPECT_EQ(only(instrument.handleMessage(message(0x1B, {0x04, 0x05}))), ack);
    EXPECT_TRUE(instrument.getUserSlot(osc, 5).isEmpty());

    // Upload: the packed block of size, four zero bytes and the unit.
    const Bytes unit = SimulatedInstrument::makeUnit(SimulatedInstrument::delayModule, "Echo", 1000, 77);
    Bytes body = {0x02, 0x06};
    const auto packed = SimulatedInstrument::pack(SimulatedInstrument::makeUploadBlock(unit));
    body.insert(body.end(), packed.begin(), packed.end());
    EXPECT_EQ(only(instrument.handleMessage(message(0x4A, body))), ack);
    const auto slot = instrument.getUserSlot(SimulatedInstrument::delayModule, 6);
    EXPECT_EQ(slot.payload, unit);
    EXPECT_EQ(slot.header, Bytes(unit.begin(), unit.begin() + 32));

    // A block whose size field claims more than was sent is refused.
    body.resize(body.size() - 20);
    EXPECT_EQ(only(instrument.handleMessage(message(0x4A, body))), message(0x28, {}));
}

TEST(SimulatedInstrument, InjectsFaultsAtTheNthMessageOfAKind)
{
    SimulatedInstrument instrument;
    instrument.injectFault(MessageKind::programRequest, 2, Fault::nak);
    instrument.injectFault(MessageKind::programRequest, 3, Fault::silence);
    instrument.injectFault(MessageKind::programRequest, 4, Fault::truncated);
    instrument.injectFault(MessageKind::userSlotClear, 0, Fault::userError);
    const Bytes request = message(0x1C, {0x00, 0x00});
    EXPECT_EQ(only(instrument.handleMessage(request)).size(), 394u);
    EXPECT_EQ(only(instrument.handleMessage(request)), nak);
    EXPECT_TRUE(instrument.handleMessage(request).empty());
    const Bytes cut = only(instrument.handleMessage(request));
    EXPECT_EQ(cut.size(), 198u);
    EXPECT_EQ(cut.back(), 0xF7);
    EXPECT_EQ(only(instrument.handleMessage(request)).size(), 394u);
    EXPECT_EQ(only(instrument.handleMessage(message(0x1B, {0x04, 0x00}))), message(0x27, {}));
    EXPECT_FALSE(instrument.getUserSlot(SimulatedInstrument::oscillatorModule, 0).isEmpty()); // not carried out

    // A refused write changes nothing.
    instrument.injectFault(MessageKind::programWrite, 0, Fault::nak);
    Bytes body = {0x00, 0x00};
    const auto packed = SimulatedInstrument::pack(Bytes(336, 0x11));
    body.insert(body.end(), packed.begin(), packed.end());
    const auto before = instrument.getProgram(0);
    EXPECT_EQ(only(instrument.handleMessage(message(0x4C, body))), nak);
    EXPECT_EQ(instrument.getProgram(0), before);
    EXPECT_EQ(instrument.getCount(MessageKind::programRequest), 5);
}

TEST(SimulatedInstrument, StopsAnsweringEverythingFromTheNthMessageOfAKindOn)
{
    SimulatedInstrument instrument;
    instrument.stopAnsweringAt(MessageKind::programRequest, 2);
    const Bytes request = message(0x1C, {0x00, 0x00});
    EXPECT_EQ(only(instrument.handleMessage(request)).size(), 394u);
    EXPECT_TRUE(instrument.handleMessage(request).empty());
    EXPECT_FALSE(instrument.isAnswering());
    // Nothing else is answered or carried out either.
    EXPECT_TRUE(instrument.handleMessage(message(0x1B, {0x04, 0x00})).empty());
    EXPECT_FALSE(instrument.getUserSlot(SimulatedInstrument::oscillatorModule, 0).isEmpty());
    EXPECT_EQ(instrument.getCount(MessageKind::userSlotClear), 1);

    instrument.resumeAnswering();
    EXPECT_TRUE(instrument.isAnswering());
    EXPECT_EQ(only(instrument.handleMessage(request)).size(), 394u);
}

TEST(SimulatedInstrument, AnswersTheNthMessageOfAKindLate)
{
    SimulatedInstrument instrument;
    instrument.setReplyDelayMs(5);
    instrument.answerLate(MessageKind::programRequest, 2, 1000);
    std::vector<std::uint32_t> delays;
    instrument.setReplySink([&](const Bytes&, std::uint32_t delay) { delays.push_back(delay); });
    const Bytes request = message(0x1C, {0x00, 0x00});
    for (int i = 0; i < 3; ++i)
        instrument.receiveBytes(request.data(), request.size());
    EXPECT_EQ(delays, (std::vector<std::uint32_t>{5, 1005, 5}));

    // Once: counted afresh, the second message is answered in time.
    instrument.clearLog();
    delays.clear();
    for (int i = 0; i < 2; ++i)
        instrument.receiveBytes(request.data(), request.size());
    EXPECT_EQ(delays, (std::vector<std::uint32_t>{5, 5}));
}

TEST(SimulatedInstrument, ReadsSplitCableBytesAndPutsRealTimeBytesInItsAnswers)
{
    SimulatedInstrument instrument;
    instrument.setRealTimeBytesInReplies(true);
    instrument.setReplyDelayMs(40);
    std::vector<std::pair<Bytes, std::uint32_t>> out;
    instrument.setReplySink([&](const Bytes& reply, std::uint32_t delay) { out.emplace_back(reply, delay); });
    const Bytes request = message(0x15, {0x01});
    for (auto b : request)
        instrument.receiveBytes(&b, 1);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].second, 40u);
    const Bytes& reply = out[0].first;
    EXPECT_EQ(reply.size(), 47u);
    EXPECT_EQ(std::count(reply.begin(), reply.end(), 0xF8), 1);
    EXPECT_EQ(std::count(reply.begin(), reply.end(), 0xFE), 1);
}
