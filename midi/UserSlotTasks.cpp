#include "midi/UserSlotTasks.h"

namespace x47390_midi
{
namespace
{
const std::vector<int> headerReplies{replyMessageBroken, replyUserSlotHeader, replyNak, replyUserCommError};
const std::vector<int> slotWriteReplies{replyMessageBroken, replyAck, replyNak, replyUserCommError};
} // namespace

template <class Entry, uint8_t moduleByte>
int UserSlotReceiver<Entry, moduleByte>::execute(int slot)
{
    const auto reply = exchange(makeUserSlotHeaderRequest(channel, familyCode, moduleByte, slot), headerReplies,
                                requestTimeoutMs, {replyUserSlotHeader, moduleByte * 128 + (slot & 0x7F)});
    const int result = userSlotResult(reply, replyUserSlotHeader);
    if (result == 0)
        entry.setReceivedHeader(reply.data.getData(), reply.data.getSize(), slot);
    return result;
}

template <uint8_t moduleByte>
int UserSlotTransmitter<moduleByte>::moveSlot(int from, int to)
{
    return userSlotResult(
        exchange(makeUserSlotMove(channel, familyCode, moduleByte, from, to), slotWriteReplies, userSlotWriteTimeoutMs),
        replyAck);
}

template <uint8_t moduleByte>
int UserSlotTransmitter<moduleByte>::clearSlot(int slot)
{
    return userSlotResult(
        exchange(makeUserSlotClear(channel, familyCode, moduleByte, slot), slotWriteReplies, userSlotWriteTimeoutMs),
        replyAck);
}

template <uint8_t moduleByte>
int UserSlotTransmitter<moduleByte>::uploadSlot(int slot, const juce::MemoryBlock& payload)
{
    return userSlotResult(
        exchange(makeUserSlotUpload(channel, familyCode, moduleByte, slot,
                                    static_cast<const uint8_t*>(payload.getData()), payload.getSize()),
                 slotWriteReplies, userSlotWriteTimeoutMs),
        replyAck);
}

template class UserSlotReceiver<x47390_data::UserOscData, moduleOsc>;
template class UserSlotReceiver<x47390_data::UserModFXData, moduleModFX>;
template class UserSlotReceiver<x47390_data::UserDelFXData, moduleDelFX>;
template class UserSlotReceiver<x47390_data::UserRevFXData, moduleRevFX>;
template class UserSlotTransmitter<moduleOsc>;
template class UserSlotTransmitter<moduleModFX>;
template class UserSlotTransmitter<moduleDelFX>;
template class UserSlotTransmitter<moduleRevFX>;
} // namespace x47390_midi
