#include "midi/AnalyzedInformation.h"
#include "midi/MidiMessageQueue.h"
#include "midi/SysExMessages.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <sys/syscall.h>
#include <unistd.h>

using namespace x47390_midi;

namespace
{
constexpr int family = 0x0135;

// A product message of the given total length: header, function, then filler data bytes, F7 last.
Bytes product(int function, int length, std::initializer_list<int> parameters = {}, int channel = 0)
{
    Bytes bytes{0xF0, 0x7D, (uint8_t) (0x30 + channel), 0x00, 0x01, 0x35, (uint8_t) function};
    for (int p : parameters)
        bytes.push_back((uint8_t) p);
    while ((int) bytes.size() < length - 1)
        bytes.push_back((uint8_t) ((bytes.size() * 5) & 0x7F));
    bytes.resize((size_t) length - 1);
    bytes.push_back(0xF7);
    return bytes;
}

Bytes identityReply(int manufacturer = 0x7D, int familyLow = 0x35, int familyHigh = 0x01)
{
    return {0xF0, 0x7E, 0x02, 0x06, 0x02, (uint8_t) manufacturer, (uint8_t) familyLow, (uint8_t) familyHigh, 0x00, 0x00,
            0x01, 0x00, 0x0D, 0x00, 0xF7};
}

Bytes shortened(Bytes bytes)
{
    bytes.erase(bytes.end() - 2);
    return bytes;
}

AnalyzedInformation analyze(const Bytes& bytes)
{
    return AnalyzedInformation::analyze(bytes.data(), (int) bytes.size(), family);
}
} // namespace

TEST(ReplyClassification, TypesByFunctionAndLength)
{
    struct Case
    {
        const char* name;
        Bytes message;
        int type;
        int value;
        size_t dataSize;
    };
    const Case cases[] = {
        {"function 10", product(0x10, 8), 4, 0, 0},
        {"current program dump", product(0x40, 392), 5, 0, 336},
        {"current program dump short", product(0x40, 391), 0, 0, 0},
        {"function 1C", product(0x1C, 10, {0x2C, 0x02}), 6, 300, 0},
        {"function 1C without its number", product(0x1C, 9, {0x2C}), 6, 0, 0},
        {"program dump", product(0x4C, 394, {0x2C, 0x02}), 7, 300, 336},
        {"program dump longer", product(0x4C, 400, {0x01, 0x00}), 7, 1, 336},
        {"program dump one short", product(0x4C, 393, {0x2C, 0x02}), 0, 0, 0},
        {"program dump header only", product(0x4C, 8), 0, 0, 0},
        {"function 0E", product(0x0E, 8), 8, 0, 0},
        {"function 51", product(0x51, 45), 9, 0, 32},
        {"function 51 short", product(0x51, 44), 0, 0, 0},
        {"function 16", product(0x16, 8), 10, 0, 0},
        {"live-set dump", product(0x46, 155), 11, 0, 128},
        {"live-set dump short", product(0x46, 154), 0, 0, 0},
        {"function 47", product(0x47, 8), 12, 0, 0},
        {"function 48", product(0x48, 8), 13, 0, 0},
        {"empty slot header", product(0x49, 10, {0x04, 0x03}), 14, 4 * 128 + 3, 32},
        {"slot header", product(0x49, 48, {0x04, 0x03, 0x00}), 14, 4 * 128 + 3, 32},
        {"slot header 11 bytes", product(0x49, 11), 0, 0, 0},
        {"slot header 47 bytes", product(0x49, 47), 0, 0, 0},
        {"slot header 9 bytes", product(0x49, 9), 0, 0, 0},
        {"function 4A", product(0x4A, 8), 15, 0, 0},
        {"function 14 index 5", product(0x14, 9, {5}), 16, 0, 0},
        {"function 14 index 6", product(0x14, 9, {6}), 1, 0, 0},
        {"user scale dump", product(0x44, 393, {4}), 17, 4, 384},
        {"user scale dump without F7 room", product(0x44, 392, {4}), 0, 0, 0},
        {"user scale dump one too long", product(0x44, 394, {4}), 0, 0, 0},
        {"function 15 index 0", product(0x15, 9, {0}), 18, 0, 0},
        {"function 15 index 7F", product(0x15, 9, {0x7F}), 1, 0, 0},
        {"user octave dump", product(0x45, 45, {2}), 19, 2, 36},
        {"user octave dump 44 bytes", product(0x45, 44, {2}), 0, 0, 0},
        {"user octave dump 46 bytes", product(0x45, 46, {2}), 0, 0, 0},
        {"function 26", product(0x26, 8), 21, 0, 0},
        {"ACK", product(0x23, 8), 22, 0, 0},
        {"NAK", product(0x24, 8), 23, 0, 0},
        {"user error 27", product(0x27, 8), 26, 0, 0},
        {"user error 2F", product(0x2F, 8), 26, 0, 0},
        {"unknown function 30", product(0x30, 8), 1, 0, 0},
        {"function with top bit", product(0xA3, 8), 22, 0, 0},
        {"other channel", product(0x23, 8, {}, 9), 22, 0, 0},
        {"identity reply", identityReply(), 3, 0, 15},
        {"identity of another maker", identityReply(0x42), 3, 0, 15},
        {"identity 14 bytes", shortened(identityReply()), 1, 0, 0},
        {"universal other", {0xF0, 0x7E, 0x00, 0x06, 0x01, 0xF7}, 1, 0, 0},
        {"product too short", {0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0xF7}, 1, 0, 0},
        {"wrong family", {0xF0, 0x7D, 0x30, 0x00, 0x01, 0x36, 0x23, 0xF7}, 1, 0, 0},
        {"wrong channel nibble", {0xF0, 0x7D, 0x40, 0x00, 0x01, 0x35, 0x23, 0xF7}, 1, 0, 0},
        {"foreign maker", {0xF0, 0x42, 0x30, 0x00, 0x01, 0x35, 0x23, 0xF7}, 1, 0, 0},
        {"one byte", {0xF0}, 1, 0, 0},
        {"empty", {}, 1, 0, 0},
    };
    for (const auto& c : cases)
    {
        const auto info = analyze(c.message);
        EXPECT_EQ(info.type, c.type) << c.name;
        EXPECT_EQ(info.value, c.value) << c.name;
        EXPECT_EQ(info.data.getSize(), c.dataSize) << c.name;
    }
}

TEST(ReplyClassification, DataBlocksAreUnpackedOrMasked)
{
    Bytes binary(336);
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = (uint8_t) (255 - i);
    auto dump = makeProgramWrite(0, family, 7, binary.data()); // same layout as the program dump
    auto info = analyze(dump);
    ASSERT_EQ(info.type, replyProgramDump);
    EXPECT_EQ(info.value, 7);
    EXPECT_EQ(Bytes((const uint8_t*) info.data.getData(), (const uint8_t*) info.data.getData() + 336), binary);

    auto scale = product(0x44, 393, {3});
    scale[8] = 0x7F;
    scale[391] = 0x12;
    info = analyze(scale);
    ASSERT_EQ(info.type, replyUserScaleDump);
    EXPECT_EQ(info.value, 3);
    EXPECT_EQ(static_cast<const uint8_t*>(info.data.getData())[0], 0x7F);
    EXPECT_EQ(static_cast<const uint8_t*>(info.data.getData())[383], 0x12);

    Bytes header(32);
    for (size_t i = 0; i < header.size(); ++i)
        header[i] = (uint8_t) (i * 9);
    Bytes slotReply{0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35, 0x49, 0x04, 0x03, 0x55};
    Bytes packed(packedLength(32));
    packSysExData(packed.data(), header.data(), header.size());
    slotReply.insert(slotReply.end(), packed.begin(), packed.end());
    slotReply.push_back(0xF7);
    info = analyze(slotReply);
    ASSERT_EQ(info.type, replyUserSlotHeader);
    EXPECT_EQ(Bytes((const uint8_t*) info.data.getData(), (const uint8_t*) info.data.getData() + 32), header);

    info = analyze(product(0x49, 10));
    ASSERT_EQ(info.type, replyUserSlotHeader);
    EXPECT_EQ(Bytes((const uint8_t*) info.data.getData(), (const uint8_t*) info.data.getData() + 32), Bytes(32, 0));
}

TEST(ReplyClassification, ShortMessagesAreNeverReadPastTheirEnd)
{
    // Every prefix of every kind of reply, in its own exactly sized allocation, so a sanitizer build catches a read
    // past the end.
    for (int function = 0; function < 0x80; ++function)
    {
        const auto full = product(function, 400, {2, 1});
        for (size_t length = 0; length <= 60; ++length)
        {
            std::unique_ptr<uint8_t[]> exact(new uint8_t[length == 0 ? 1 : length]);
            std::copy(full.begin(), full.begin() + (long) length, exact.get());
            (void) AnalyzedInformation::analyze(exact.get(), (int) length, family);
        }
    }
}

TEST(ReplyClassification, NoReplyValue)
{
    const auto& none = AnalyzedInformation::noReply();
    EXPECT_EQ(none.type, 1);
    EXPECT_EQ(none.value, 0);
    EXPECT_EQ(none.data.getSize(), 0u);
}

TEST(ReplyWait, TakesTheFirstExpectedMessageAndConsumesWhatItExamines)
{
    midi::MidiMessageQueue queue;
    for (const auto& m : {product(0x23, 8), product(0x30, 8), product(0x24, 8), product(0x23, 8)})
        queue.push(m.data(), m.size());

    auto info = AnalyzedInformation::waitForReply(queue, family, {0, 7, 23}, 100);
    EXPECT_EQ(info.type, replyNak);
    EXPECT_EQ(queue.size(), 1u); // the ACK after the NAK stays for the next wait

    info = AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 100);
    EXPECT_EQ(info.type, replyAck);
    EXPECT_TRUE(queue.isEmpty());
}

// A dump numbered otherwise than the request (sent unasked, or a second time) is passed over; the right one,
// arriving later within the time, is taken.
TEST(ReplyWait, ANumberedReplyCountsOnlyWithTheAwaitedNumber)
{
    struct Case
    {
        const char* name;
        int type;
        Bytes stray, awaited;
        int number;
    };
    const Bytes binary(336, 0x11);
    const Case cases[] = {
        {"program dump", replyProgramDump, makeProgramWrite(0, family, 5, binary.data()),
         makeProgramWrite(0, family, 300, binary.data()), 300},
        {"scale dump", replyUserScaleDump, product(0x44, 393, {4}), product(0x44, 393, {2}), 2},
        {"octave dump", replyUserOctaveDump, product(0x45, 45, {0}), product(0x45, 45, {5}), 5},
        {"slot header", replyUserSlotHeader, product(0x49, 10, {0x04, 0x03}), product(0x49, 10, {0x02, 0x03}),
         2 * 128 + 3},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        midi::MidiMessageQueue queue;
        for (const auto* m : {&c.stray, &c.stray, &c.awaited})
            queue.push(m->data(), m->size());
        const auto info = AnalyzedInformation::waitForReply(queue, family, {0, c.type, 23}, 100, {c.type, c.number});
        EXPECT_EQ(info.type, c.type);
        EXPECT_EQ(info.value, c.number);
        EXPECT_TRUE(queue.isEmpty());

        // Only strays: the wait ends with its time-out.
        queue.push(c.stray.data(), c.stray.size());
        EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, c.type, 23}, 30, {c.type, c.number}).type,
                  replyOther);
        // A NAK still ends the wait.
        const auto nak = product(0x24, 8);
        queue.push(nak.data(), nak.size());
        EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, c.type, 23}, 100, {c.type, c.number}).type,
                  replyNak);
    }
}

TEST(ReplyWait, ABrokenMessageEndsAnyWaitThatListsIt)
{
    midi::MidiMessageQueue queue;
    const auto shortDump = product(0x4C, 393);
    queue.push(shortDump.data(), shortDump.size());
    EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, 7, 23}, 100).type, replyMessageBroken);

    // The identity wait does not list it and goes on to its time-out.
    queue.push(shortDump.data(), shortDump.size());
    EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {3}, 30).type, replyOther);
}

TEST(ReplyWait, TimesOutWithTheNoReplyValue)
{
    midi::MidiMessageQueue queue;
    const auto start = std::chrono::steady_clock::now();
    const auto info = AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 80);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(info.type, replyOther);
    EXPECT_GE(elapsed, std::chrono::milliseconds(80));
    EXPECT_LT(elapsed, std::chrono::milliseconds(testsupport::hangMs));
}

// What arrived in time is examined even by a waiting thread that comes late; what arrived after the time-out ends
// the wait and stays for the next one, so a stream of other messages cannot hold a wait beyond its time-out.
TEST(ReplyWait, MessagesFromAfterTheTimeOutEndTheWaitAndStayQueued)
{
    using Clock = midi::MidiMessageQueue::Clock;
    midi::MidiMessageQueue queue;
    const auto other = product(0x30, 8), ack = product(0x23, 8);
    const auto beforeFirst = Clock::now() - std::chrono::milliseconds(1);
    queue.push(other.data(), other.size());
    queue.push(ack.data(), ack.size());
    const auto afterBoth = Clock::now();

    midi::MidiMessageQueue::Message message;
    EXPECT_FALSE(queue.popUntil(message, beforeFirst)); // both came after this deadline
    EXPECT_EQ(queue.size(), 2u);
    EXPECT_TRUE(queue.popUntil(message, afterBoth)); // late, but they came in time
    EXPECT_EQ(message, other);
    EXPECT_TRUE(queue.popUntil(message, afterBoth));
    EXPECT_EQ(message, ack);

    for (int i = 0; i < 100; ++i)
        queue.push(other.data(), other.size());
    queue.push(ack.data(), ack.size());
    EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 0).type, replyAck); // all queued in time
    // Other messages keep coming, faster than a wait can examine them: it still ends.
    const auto start = Clock::now();
    std::atomic<bool> streaming{true};
    std::thread stream(
        [&]
        {
            while (streaming)
                queue.push(other.data(), other.size());
        });
    while (queue.isEmpty())
        std::this_thread::yield();
    EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 0).type, replyOther);
    streaming = false;
    stream.join();
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(testsupport::hangMs));
}

TEST(ReplyWait, AnInterruptEndsAWaitWithNothingQueuedInTime)
{
    midi::MidiMessageQueue queue;
    const auto ack = product(0x23, 8);
    const auto far = midi::MidiMessageQueue::Clock::now() + std::chrono::hours(1);
    queue.push(ack.data(), ack.size());
    queue.interrupt();
    midi::MidiMessageQueue::Message message;
    EXPECT_TRUE(queue.popUntil(message, far)); // what is queued still comes first
    EXPECT_FALSE(queue.popUntil(message, far));

    // An interrupt from another thread ends a wait under way.
    queue.clearInterrupt();
    std::thread interrupter([&] { queue.interrupt(); });
    EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 60 * 60 * 1000).type, replyOther);
    interrupter.join();

    queue.clearInterrupt();
    queue.push(ack.data(), ack.size());
    EXPECT_EQ(AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 60 * 60 * 1000).type, replyAck);
}

TEST(ReplyWait, WakesWhenAReplyArrivesAndSleepsMeanwhile)
{
    midi::MidiMessageQueue queue;
    const auto ack = product(0x23, 8);
    // The reply comes once the waiting thread is seen asleep on a futex, waiting to be woken: a spinning or
    // polling wait never is.
    const juce::File waiter("/proc/self/task/" + juce::String((int) ::syscall(SYS_gettid)));
    std::atomic<bool> sleptOnFutex{false};
    std::thread sender(
        [&]
        {
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(testsupport::hangMs);
            while (!sleptOnFutex && std::chrono::steady_clock::now() < end)
            {
                sleptOnFutex = testsupport::currentSystemCall(waiter) == SYS_futex;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            queue.push(ack.data(), ack.size());
        });

    // Woken, not timed out: its time-out lies beyond the sender's deadline.
    const auto info = AnalyzedInformation::waitForReply(queue, family, {0, 22, 23}, 3 * testsupport::hangMs);
    sender.join();

    EXPECT_EQ(info.type, replyAck);
    EXPECT_TRUE(sleptOnFutex);
}

TEST(MidiMessageQueueBounds, DropsTheOldestBeyondItsBound)
{
    midi::MidiMessageQueue queue;
    const uint8_t b[3] = {0xF0, 0x01, 0xF7};
    for (size_t i = 0; i < midi::MidiMessageQueue::maxMessages + 10; ++i)
        queue.push(b, 3);
    EXPECT_EQ(queue.size(), midi::MidiMessageQueue::maxMessages);
}
