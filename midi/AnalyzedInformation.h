#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <vector>

namespace midi
{
class MidiMessageQueue;
}

namespace x47390_midi
{
class MidiCommunicationTask;

// Reply types of a received message.
enum ReplyType
{
    replyMessageBroken = 0,
    replyOther = 1, // also the value of a wait that timed out
    replyIdentity = 3,
    replyFunction10 = 4,
    replyCurrentProgramDump = 5,
    replyFunction1C = 6,
    replyProgramDump = 7,
    replyFunction0E = 8,
    replyFunction51 = 9,
    replyFunction16 = 10,
    replyLivesetDump = 11,
    replyFunction47 = 12,
    replyFunction48 = 13,
    replyUserSlotHeader = 14,
    replyFunction4A = 15,
    replyFunction14 = 16,
    replyUserScaleDump = 17,
    replyFunction15 = 18,
    replyUserOctaveDump = 19,
    replyFunction26 = 21,
    replyAck = 22,
    replyNak = 23,
    replyUserCommError = 26,
};

// Shortest acceptable length of each data-carrying reply, F0 and F7 included.
constexpr int currentProgramDumpMinLength = 392;
constexpr int programDumpMinLength = 394;
constexpr int function51MinLength = 45;
constexpr int livesetDumpMinLength = 155;
constexpr int userSlotHeaderEmptyLength = 10;
constexpr int userSlotHeaderMinLength = 48;
// Tuning dumps are taken only at their exact lengths, like the writes, so every note comes from the message.
constexpr int userScaleDumpLength = 393;
constexpr int userOctaveDumpLength = 45;

class AnalyzedInformation;

// The number a numbered reply must carry: a program dump its program number, a tuning dump its index, a slot
// header its module byte x 128 + slot. A reply of that type with another number is no answer to the request
// (an unasked or repeated dump) and is passed over. The default type is never awaited: nothing is passed over.
struct AwaitedNumber
{
    int type = replyOther;
    int value = 0;

    bool passesOver(const AnalyzedInformation& reply) const;
};

// One classified reply.
class AnalyzedInformation
{
public:
    AnalyzedInformation() = default;
    AnalyzedInformation(int type, int value, juce::MemoryBlock data);

    int type = replyOther;
    int value = 0;
    juce::MemoryBlock data;

    // The value of a wait that saw no expected reply: type 1, value 0, empty data.
    static const AnalyzedInformation& noReply();

    // Classifies one received message; familyCode is the device manager's. Never reads past length.
    static AnalyzedInformation analyze(const uint8_t* bytes, int length, int familyCode);

    // Returns the first queued message, oldest first, whose type is in expected and that number does not pass
    // over, or noReply() once timeoutMs have passed. Messages that arrived in time are examined even when the
    // waiting thread comes late; later ones end the wait and stay queued. Every message examined is consumed.
    // Blocks while the queue is empty.
    static AnalyzedInformation waitForReply(MidiCommunicationTask& task, const std::vector<int>& expected,
                                            int timeoutMs, AwaitedNumber number = {});
    static AnalyzedInformation waitForReply(midi::MidiMessageQueue& queue, int familyCode,
                                            const std::vector<int>& expected, int timeoutMs, AwaitedNumber number = {});
};
} // namespace x47390_midi
