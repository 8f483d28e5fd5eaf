#include "midi/UserDataTransferProcesses.h"

#include "midi/LocalisedText.h"
#include "midi/TransferSupport.h"
#include "midi/UserSlotTasks.h"

#include <deque>

namespace x47390_midi
{
namespace
{
constexpr int totalSlots = 48;

// The four kinds in the order they are handled: entries, slot count and tasks.
struct OscKind
{
    using Receiver = UserOscDataReceiver;
    using Transmitter = UserOscDataTransmitter;
    static constexpr int slots = 16;
    static auto& entry(x47390_data::UserData& data, int i) { return data.getUserOscData(i); }
};
struct ModFXKind
{
    using Receiver = UserModFXDataReceiver;
    using Transmitter = UserModFXDataTransmitter;
    static constexpr int slots = 16;
    static auto& entry(x47390_data::UserData& data, int i) { return data.getUserModFXData(i); }
};
struct DelFXKind
{
    using Receiver = UserDelFXDataReceiver;
    using Transmitter = UserDelFXDataTransmitter;
    static constexpr int slots = 8;
    static auto& entry(x47390_data::UserData& data, int i) { return data.getUserDelFXData(i); }
};
struct RevFXKind
{
    using Receiver = UserRevFXDataReceiver;
    using Transmitter = UserRevFXDataTransmitter;
    static constexpr int slots = 8;
    static auto& entry(x47390_data::UserData& data, int i) { return data.getUserRevFXData(i); }
};

// Receives the headers of one kind's slots; returns a result code, or -1 to go on with the next kind.
template <class Kind>
int receiveKind(midi::MidiCommunicationProcess& process, x47390_data::UserData& target, int channel, int& done)
{
    typename Kind::Receiver receiver(communicationPort(), channel);
    for (int s = 0; s < Kind::slots; ++s)
    {
        if (const int e = receiver.execute(s); e != 0)
            return reportFailure(process, e);
        Kind::entry(target, s) = receiver.getEntry();
        ++done;
        process.setProgress((float) done / (float) totalSlots);
        if (process.isCancelRequested())
            return reportCancel(process);
    }
    return -1;
}

// Rearranges, clears and fills one kind's slots; returns a result code, or -1 to go on with the next kind.
template <class Kind>
int writeKind(midi::MidiCommunicationProcess& process, x47390_data::UserData& data, int channel, int& count,
              bool cancelTestFirst)
{
    if (cancelTestFirst && process.isCancelRequested())
        return reportCancel(process);

    typename Kind::Transmitter transmitter(communicationPort(), channel);
    auto entry = [&data](int i) -> auto&
    {
        return Kind::entry(data, i);
    };

    // Moves, from the highest position down. A move swaps two slots' contents on the instrument, so the unit that
    // sat in the target slot now sits in the source slot: the next pair that expected it there follows it.
    struct Move
    {
        int from;
        int to;
    };
    std::deque<Move> moves;
    for (int i = 0; i < Kind::slots; ++i)
        if (entry(i).state == 1 && entry(i).slot >= 0)
            moves.push_front({entry(i).slot, i});

    while (!moves.empty())
    {
        const auto move = moves.front();
        moves.pop_front();
        if (move.from != move.to)
            if (const int e = transmitter.moveSlot(move.from, move.to); e != 0)
                return reportFailure(process, e);
        entry(move.from).slot = move.from;
        entry(move.to).slot = move.to;
        ++count;
        process.setProgress((float) count / (float) totalSlots);
        for (auto& later : moves)
            if (later.from == move.to)
            {
                later.from = move.from;
                break;
            }
        if (process.isCancelRequested())
            return reportCancel(process);
    }

    for (int i = 0; i < Kind::slots; ++i)
    {
        auto& e = entry(i);
        if (e.state == 0)
        {
            if (const int r = transmitter.clearSlot(i); r != 0)
                return reportFailure(process, r);
        }
        else if (e.state == 2)
        {
            if (const int r = transmitter.uploadSlot(i, e.payload); r != 0)
                return reportFailure(process, r);
            e.slot = i;
            e.state = 1;
        }
        else
            continue;
        ++count;
        process.setProgress((float) count / (float) totalSlots);
        if (process.isCancelRequested())
            return reportCancel(process);
    }
    return -1;
}
} // namespace

bool isUserSlotRevisionGated(const int identity[3])
{
    return identity[0] == 1 && identity[1] == 0 && identity[2] <= 12;
}

//==============================================================================
ReceiveUserDataProcess::ReceiveUserDataProcess(x47390_data::UserData* t) : target(t) {}

juce::String ReceiveUserDataProcess::getTitle()
{
    return midi::localisedText("ConnectionReceiveUserDataTitle");
}

int ReceiveUserDataProcess::execute()
{
    const auto identity = startRun(*this, "CommunicationProcessReceiveUserData");
    if (identity.result != 0)
        return identity.result;

    if (!isUserSlotRevisionGated(identity.identity))
    {
        int done = 0;
        const int ch = identity.channel;
        int r = receiveKind<OscKind>(*this, *target, ch, done);
        if (r < 0)
            r = receiveKind<ModFXKind>(*this, *target, ch, done);
        if (r < 0)
            r = receiveKind<DelFXKind>(*this, *target, ch, done);
        if (r < 0)
            r = receiveKind<RevFXKind>(*this, *target, ch, done);
        if (r >= 0)
            return r;
    }
    setProgress(1.0f);
    return 0;
}

//==============================================================================
WriteUserDataProcess::WriteUserDataProcess(x47390_data::UserData* u) : userData(u), working(*u) {}

juce::String WriteUserDataProcess::getTitle()
{
    return midi::localisedText("ConnectionWriteUserDataTitle");
}

int WriteUserDataProcess::execute()
{
    const auto identity = startRun(*this, "CommunicationProcessWriteUserData");
    if (identity.result != 0)
        return identity.result;

    if (!isUserSlotRevisionGated(identity.identity))
    {
        int count = 0;
        const int ch = identity.channel;
        int r = writeKind<OscKind>(*this, working, ch, count, false);
        if (r < 0)
            r = writeKind<ModFXKind>(*this, working, ch, count, true);
        if (r < 0)
            r = writeKind<DelFXKind>(*this, working, ch, count, true);
        if (r < 0)
            r = writeKind<RevFXKind>(*this, working, ch, count, true);
        if (r >= 0)
            return r;
    }
    setProgress(1.0f);
    return 0;
}

void WriteUserDataProcess::installSlotStates()
{
    auto install = [this](auto kind)
    {
        using Kind = decltype(kind);
        for (int i = 0; i < Kind::slots; ++i)
        {
            Kind::entry(*userData, i).slot = Kind::entry(working, i).slot;
            Kind::entry(*userData, i).state = Kind::entry(working, i).state;
        }
    };
    install(OscKind{});
    install(ModFXKind{});
    install(DelFXKind{});
    install(RevFXKind{});
}
} // namespace x47390_midi
