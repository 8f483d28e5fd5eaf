#include "midi/AnalyzedInformation.h"

#include "midi/MidiMessageQueue.h"
#include "midi/SysExMessages.h"

#include <algorithm>
#include <chrono>

namespace x47390_midi
{
AnalyzedInformation::AnalyzedInformation(int t, int v, juce::MemoryBlock d) : type(t), value(v), data(std::move(d)) {}

const AnalyzedInformation& AnalyzedInformation::noReply()
{
    static const AnalyzedInformation value{replyOther, 0, {}};
    return value;
}

namespace
{
AnalyzedInformation broken()
{
    return {replyMessageBroken, 0, {}};
}

AnalyzedInformation plain(int type)
{
    return {type, 0, {}};
}

AnalyzedInformation unpacked(int type, int value, const uint8_t* packed, size_t count)
{
    juce::MemoryBlock block(count, true);
    unpackSysExData(static_cast<uint8_t*>(block.getData()), packed, count);
    return {type, value, std::move(block)};
}

AnalyzedInformation masked(int type, int value, const uint8_t* bytes, size_t count)
{
    juce::MemoryBlock block(count, true);
    auto* out = static_cast<uint8_t*>(block.getData());
    for (size_t i = 0; i < count; ++i)
        out[i] = bytes[i] & 0x7F;
    return {type, value, std::move(block)};
}

AnalyzedInformation analyzeProductMessage(const uint8_t* d, int len)
{
    // len >= 8 here, so bytes 0 to 7 exist.
    switch (d[6] & 0x7F)
    {
    case 0x10:
        return plain(replyFunction10);
    case 0x40:
        if (len < currentProgramDumpMinLength)
            return broken();
        return unpacked(replyCurrentProgramDump, 0, d + 7, programBinarySize);
    case 0x1C:
        // The number is read only when both of its bytes and the closing byte are there.
        return {replyFunction1C, len >= 10 ? d[7] + 128 * d[8] : 0, {}};
    case 0x4C:
        if (len < programDumpMinLength)
            return broken();
        return unpacked(replyProgramDump, d[7] + 128 * d[8], d + 9, programBinarySize);
    case 0x0E:
        return plain(replyFunction0E);
    case 0x51:
        if (len < function51MinLength)
            return broken();
        return unpacked(replyFunction51, 0, d + 7, userSlotHeaderSize);
    case 0x16:
        return plain(replyFunction16);
    case 0x46:
        if (len < livesetDumpMinLength)
            return broken();
        return unpacked(replyLivesetDump, 0, d + 7, livesetBlockSize);
    case 0x47:
        return plain(replyFunction47);
    case 0x48:
        return plain(replyFunction48);
    case 0x49:
        // Bytes 7 and 8 repeat the module and slot of the request.
        if (len == userSlotHeaderEmptyLength)
            return {replyUserSlotHeader, d[7] * 128 + d[8], juce::MemoryBlock((size_t) userSlotHeaderSize, true)};
        if (len < userSlotHeaderMinLength)
            return broken();
        return unpacked(replyUserSlotHeader, d[7] * 128 + d[8], d + 10, userSlotHeaderSize);
    case 0x4A:
        return plain(replyFunction4A);
    case 0x14:
        return plain(d[7] <= 5 ? replyFunction14 : replyOther);
    case 0x44:
        if (len != userScaleDumpLength)
            return broken();
        return masked(replyUserScaleDump, d[7], d + 8, tuneScaleSize);
    case 0x15:
        return plain(d[7] <= 5 ? replyFunction15 : replyOther);
    case 0x45:
        if (len != userOctaveDumpLength)
            return broken();
        return masked(replyUserOctaveDump, d[7], d + 8, tuneOctSize);
    case 0x26:
        return plain(replyFunction26);
    case 0x23:
        return plain(replyAck);
    case 0x24:
        return plain(replyNak);
    case 0x27:
    case 0x28:
    case 0x29:
    case 0x2A:
    case 0x2B:
    case 0x2C:
    case 0x2D:
    case 0x2E:
    case 0x2F:
        return plain(replyUserCommError);
    default:
        return plain(replyOther);
    }
}
} // namespace

AnalyzedInformation AnalyzedInformation::analyze(const uint8_t* d, int len, int familyCode)
{
    if (d == nullptr || len < 2)
        return plain(replyOther);

    if (d[1] == manufacturerId)
    {
        if (len >= 8 && (d[2] & 0xF0) == 0x30 && d[4] * 256 + d[5] == familyCode)
            return analyzeProductMessage(d, len);
        return plain(replyOther);
    }

    if (d[1] == 0x7E && len == 15 && d[3] == 0x06 && d[4] == 0x02)
        return {replyIdentity, 0, juce::MemoryBlock(d, (size_t) len)};

    return plain(replyOther);
}

bool AwaitedNumber::passesOver(const AnalyzedInformation& reply) const
{
    return reply.type == type && reply.value != value;
}

AnalyzedInformation AnalyzedInformation::waitForReply(midi::MidiMessageQueue& queue, int familyCode,
                                                      const std::vector<int>& expected, int timeoutMs,
                                                      AwaitedNumber number)
{
    using Clock = std::chrono::steady_clock;
    // A reply queued exactly at the limit still counts: the wait ends only once more than timeoutMs have passed.
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeoutMs) + 1);

    midi::MidiMessageQueue::Message message;
    while (queue.popUntil(message, deadline))
    {
        auto info = analyze(message.data(), (int) message.size(), familyCode);
        if (std::find(expected.begin(), expected.end(), info.type) != expected.end() && !number.passesOver(info))
            return info;
    }
    return noReply();
}
} // namespace x47390_midi
