#include "tools/simulator/SimulatedInstrument.h"

#include <algorithm>
#include <cstdio>

namespace simulator
{
namespace
{
constexpr std::uint8_t fnProgramRequest = 0x1C;
constexpr std::uint8_t fnLiveSetRequest = 0x16;
constexpr std::uint8_t fnScaleRequest = 0x14;
constexpr std::uint8_t fnOctaveRequest = 0x15;
constexpr std::uint8_t fnCurrentProgram = 0x40;
constexpr std::uint8_t fnScale = 0x44;
constexpr std::uint8_t fnOctave = 0x45;
constexpr std::uint8_t fnLiveSet = 0x46;
constexpr std::uint8_t fnProgram = 0x4C;
constexpr std::uint8_t fnSlotHeaderRequest = 0x19;
constexpr std::uint8_t fnSlotHeader = 0x49;
constexpr std::uint8_t fnSlotMove = 0x1E;
constexpr std::uint8_t fnSlotClear = 0x1B;
constexpr std::uint8_t fnSlotUpload = 0x4A;
constexpr std::uint8_t editBuffer = 0x7F;
constexpr std::uint8_t errorBadSlot = 0x27;
constexpr std::uint8_t errorBadUpload = 0x28;

const char* const kindNames[] = {
    "identityRequest", "searchRequest",  "programRequest", "liveSetRequest",        "scaleRequest",
    "octaveRequest",   "programWrite",   "scaleWrite",     "octaveWrite",           "liveSetWrite",
    "currentProgram",  "currentScale",   "currentOctave",  "userSlotHeaderRequest", "userSlotMove",
    "userSlotClear",   "userSlotUpload", "other"};

Bytes masked(const std::uint8_t* data, size_t size)
{
    Bytes out(data, data + size);
    for (auto& b : out)
        b &= 0x7F;
    return out;
}
} // namespace

const char* toString(MessageKind kind)
{
    return kindNames[(int) kind];
}

bool messageKindFromString(const std::string& text, MessageKind& kind)
{
    for (int i = 0; i <= (int) MessageKind::other; ++i)
        if (text == kindNames[i])
        {
            kind = (MessageKind) i;
            return true;
        }
    return false;
}

// Collects the whole messages of a byte stream.
class SimulatedInstrument::Parser : public platform::midi::MidiByteParser::Handler
{
public:
    std::vector<Bytes> messages;
    void shortMessageReceived(const std::uint8_t*, size_t) override {}
    void sysExReceived(const std::uint8_t* data, size_t size) override { messages.emplace_back(data, data + size); }
};

int SimulatedInstrument::getNumSlots(int module)
{
    switch (module)
    {
    case oscillatorModule:
    case modulationModule:
        return 16;
    case delayModule:
    case reverbModule:
        return 8;
    default:
        return 0;
    }
}

SimulatedInstrument::SimulatedInstrument()
{
    resetMemory();
}

//==============================================================================
void SimulatedInstrument::setReplySink(ReplySink newSink)
{
    std::lock_guard<std::mutex> guard(lock);
    sink = std::move(newSink);
}

void SimulatedInstrument::receiveBytes(const std::uint8_t* data, size_t size)
{
    Parser collected;
    ReplySink currentSink;
    std::vector<std::pair<Bytes, std::uint32_t>> replies; // with their delays
    {
        std::lock_guard<std::mutex> guard(lock);
        parser.parse(data, size, collected);
        for (auto& message : collected.messages)
        {
            lateBy = 0;
            for (auto& reply : handleLocked(message))
                replies.emplace_back(std::move(reply), replyDelayMs + lateBy);
        }
        currentSink = sink;
    }
    if (currentSink)
        for (auto& [reply, delay] : replies)
            currentSink(reply, delay);
}

std::vector<Bytes> SimulatedInstrument::handleMessage(const Bytes& message)
{
    std::lock_guard<std::mutex> guard(lock);
    return handleLocked(message);
}

std::vector<Bytes> SimulatedInstrument::handleLocked(const Bytes& message)
{
    const MessageKind kind = classify(message);
    received.push_back({kind, message});
    const int count = ++counts[kind];
    if (auto late = lateAnswers.find({kind, count}); late != lateAnswers.end())
    {
        lateBy = late->second;
        lateAnswers.erase(late);
    }
    if (stopAt.second > 0 && kind == stopAt.first && count >= stopAt.second)
        answering = false;
    if (kind == MessageKind::other || !answering)
        return {};

    const Fault fault = takeFault(kind, count);
    std::vector<Bytes> replies;
    auto override = overrides.find(kind);
    if (override != overrides.end() && fault == Fault::none)
        replies = override->second(message);
    else if (fault == Fault::misnumbered)
        replies = answer(kind, nextNumberRequest(kind, message), Fault::none);
    else
        replies = answer(kind, message, fault);
    if (fault == Fault::duplicated)
    {
        const auto once = replies;
        replies.insert(replies.end(), once.begin(), once.end());
    }

    for (auto& reply : replies)
    {
        if (fault == Fault::truncated && reply.size() > 2)
        {
            reply.resize(reply.size() / 2);
            reply.push_back(0xF7);
        }
        if (realTimeInReplies)
            addRealTimeBytes(reply);
    }
    return replies;
}

Bytes SimulatedInstrument::nextNumberRequest(MessageKind kind, const Bytes& m) const
{
    Bytes next = m;
    switch (kind)
    {
    case MessageKind::programRequest:
        if (m.size() == 10)
        {
            const int number = (m[7] + 128 * m[8] + 1) % numPrograms;
            next[7] = (std::uint8_t)(number & 0x7F);
            next[8] = (std::uint8_t)(number >> 7);
        }
        break;
    case MessageKind::scaleRequest:
    case MessageKind::octaveRequest:
        if (m.size() == 9)
            next[7] = (std::uint8_t)((m[7] + 1) % (kind == MessageKind::scaleRequest ? numScales : numOctaves));
        break;
    case MessageKind::userSlotHeaderRequest:
        if (m.size() == 10 && getNumSlots(m[7]) > 0)
            next[8] = (std::uint8_t)((m[8] + 1) % getNumSlots(m[7]));
        break;
    default:
        break;
    }
    return next;
}

Fault SimulatedInstrument::takeFault(MessageKind kind, int count)
{
    auto perKind = faults.find(kind);
    if (perKind == faults.end())
        return Fault::none;
    if (auto it = perKind->second.find(count); it != perKind->second.end())
        return it->second;
    if (auto it = perKind->second.find(0); it != perKind->second.end())
        return it->second;
    return Fault::none;
}

void SimulatedInstrument::addRealTimeBytes(Bytes& reply) const
{
    if (reply.size() <= 10)
        return;
    reply.insert(reply.begin() + (long) (reply.size() / 2), 0xF8);
    reply.insert(reply.begin() + 3, 0xFE);
}

MessageKind SimulatedInstrument::classify(const Bytes& m) const
{
    if (m.size() == 6 && m[1] == 0x7E && m[3] == 0x06 && m[4] == 0x01)
        return (m[2] == 0x7F || m[2] == channel) ? MessageKind::identityRequest : MessageKind::other;
    if (m.size() == 6 && m[1] == 0x7D && m[2] == 0x50 && m[3] == 0x00)
        return MessageKind::searchRequest;
    if (m.size() < 8 || m[1] != 0x7D || m[2] != 0x30 + channel || m[3] != 0x00 ||
        m[4] != ((identity.family >> 8) & 0x7F) || m[5] != (identity.family & 0x7F))
        return MessageKind::other;

    switch (m[6])
    {
    case fnProgramRequest:
        return MessageKind::programRequest;
    case fnLiveSetRequest:
        return MessageKind::liveSetRequest;
    case fnScaleRequest:
        return MessageKind::scaleRequest;
    case fnOctaveRequest:
        return MessageKind::octaveRequest;
    case fnProgram:
        return MessageKind::programWrite;
    case fnScale:
        return m[7] == editBuffer ? MessageKind::currentScale : MessageKind::scaleWrite;
    case fnOctave:
        return m[7] == editBuffer ? MessageKind::currentOctave : MessageKind::octaveWrite;
    case fnLiveSet:
        return MessageKind::liveSetWrite;
    case fnCurrentProgram:
        return MessageKind::currentProgram;
    case fnSlotHeaderRequest:
        return MessageKind::userSlotHeaderRequest;
    case fnSlotMove:
        return MessageKind::userSlotMove;
    case fnSlotClear:
        return MessageKind::userSlotClear;
    case fnSlotUpload:
        return MessageKind::userSlotUpload;
    default:
        return MessageKind::other;
    }
}

Bytes SimulatedInstrument::frame(std::uint8_t function, const Bytes& body) const
{
    Bytes out = {0xF0,
                 0x7D,
                 (std::uint8_t)(0x30 + channel),
                 0x00,
                 (std::uint8_t)((identity.family >> 8) & 0x7F),
                 (std::uint8_t)(identity.family & 0x7F),
                 function};
    out.insert(out.end(), body.begin(), body.end());
    out.push_back(0xF7);
    return out;
}

bool SimulatedInstrument::isUserSlotValid(int module, int slot) const
{
    return slot >= 0 && slot < getNumSlots(module);
}

SimulatedInstrument::UserSlot& SimulatedInstrument::slotAt(int module, int slot)
{
    return userSlots[module][(size_t) slot];
}

std::vector<Bytes> SimulatedInstrument::answer(MessageKind kind, const Bytes& m, Fault fault)
{
    switch (fault)
    {
    case Fault::silence:
        return {};
    case Fault::nak:
        return {nak()};
    case Fault::userError:
        return {userError()};
    case Fault::none:
    case Fault::truncated:
    case Fault::duplicated:
    case Fault::misnumbered:
        break;
    }

    const std::uint8_t famLo = identity.family & 0x7F;
    const std::uint8_t famHi = (identity.family >> 8) & 0x7F;
    const std::uint8_t memLo = identity.member & 0x7F;
    const std::uint8_t memHi = (identity.member >> 8) & 0x7F;
    const auto& rev = identity.revision;

    switch (kind)
    {
    case MessageKind::identityRequest:
        return {{0xF0, 0x7E, (std::uint8_t) channel, 0x06, 0x02, identity.manufacturer, famLo, famHi, memLo, memHi,
                 rev[0], rev[1], rev[2], rev[3], 0xF7}};

    case MessageKind::searchRequest:
        return {{0xF0, 0x7D, 0x50, 0x01, (std::uint8_t) channel, (std::uint8_t)(m[4] & 0x7F), famLo, famHi, memLo,
                 memHi, rev[0], rev[1], rev[2], rev[3], 0xF7}};

    case MessageKind::programRequest:
    {
        const int number = m.size() == 10 ? m[7] + 128 * m[8] : -1;
        if (number < 0 || number >= numPrograms)
            return {nak()};
        Bytes body = {m[7], m[8]};
        const Bytes packed = pack(programs[(size_t) number]);
        body.insert(body.end(), packed.begin(), packed.end());
        return {frame(fnProgram, body)};
    }

    case MessageKind::liveSetRequest:
        if (m.size() != 8)
            return {nak()};
        return {frame(fnLiveSet, pack(liveSet))};

    case MessageKind::scaleRequest:
    case MessageKind::octaveRequest:
    {
        const bool scale = kind == MessageKind::scaleRequest;
        const int index = m.size() == 9 ? m[7] : -1;
        if (index < 0 || index >= (scale ? numScales : numOctaves))
            return {nak()};
        Bytes body = {(std::uint8_t) index};
        const Bytes& notes = scale ? scales[(size_t) index] : octaves[(size_t) index];
        body.insert(body.end(), notes.begin(), notes.end());
        return {frame(scale ? fnScale : fnOctave, body)};
    }

    case MessageKind::programWrite:
    {
        const int number = m.size() == 10 + 384 ? m[7] + 128 * m[8] : -1;
        if (number < 0 || number >= numPrograms)
            return {nak()};
        programs[(size_t) number] = unpack(m.data() + 9, 384, programSize);
        return {ack()};
    }

    case MessageKind::currentProgram:
        if (m.size() != 8 + 384)
            return {nak()};
        currentProgram = unpack(m.data() + 7, 384, programSize);
        return {ack()};

    case MessageKind::scaleWrite:
    case MessageKind::currentScale:
        if (m.size() != 9 + scaleSize || (kind == MessageKind::scaleWrite && m[7] >= numScales))
            return {nak()};
        (kind == MessageKind::currentScale ? currentScale : scales[m[7]]) = masked(m.data() + 8, scaleSize);
        return {ack()};

    case MessageKind::octaveWrite:
    case MessageKind::currentOctave:
        if (m.size() != 9 + octaveSize || (kind == MessageKind::octaveWrite && m[7] >= numOctaves))
            return {nak()};
        (kind == MessageKind::currentOctave ? currentOctave : octaves[m[7]]) = masked(m.data() + 8, octaveSize);
        return {ack()};

    case MessageKind::liveSetWrite:
        if (m.size() != 8 + 147)
            return {nak()};
        liveSet = unpack(m.data() + 7, 147, liveSetSize);
        return {ack()};

    case MessageKind::userSlotHeaderRequest:
    {
        if (m.size() != 10 || !isUserSlotValid(m[7], m[8]))
            return {userError(errorBadSlot)};
        const auto& slot = slotAt(m[7], m[8]);
        if (slot.isEmpty())
            return {frame(fnSlotHeader, {m[7], m[8]})};
        Bytes body = {m[7], m[8], 0x00};
        const Bytes packed = pack(slot.header);
        body.insert(body.end(), packed.begin(), packed.end());
        return {frame(fnSlotHeader, body)};
    }

    case MessageKind::userSlotMove:
        if (m.size() != 11 || !isUserSlotValid(m[7], m[8]) || !isUserSlotValid(m[7], m[9]))
            return {userError(errorBadSlot)};
        std::swap(slotAt(m[7], m[8]), slotAt(m[7], m[9]));
        return {ack()};

    case MessageKind::userSlotClear:
        if (m.size() != 10 || !isUserSlotValid(m[7], m[8]))
            return {userError(errorBadSlot)};
        slotAt(m[7], m[8]) = UserSlot();
        return {ack()};

    case MessageKind::userSlotUpload:
    {
        if (m.size() < 11 || !isUserSlotValid(m[7], m[8]))
            return {userError(errorBadSlot)};
        const size_t packedSize = m.size() - 10;
        const Bytes block = unpack(m.data() + 9, packedSize, unpackedSize(packedSize));
        if (block.size() < 8)
            return {userError(errorBadUpload)};
        const size_t size =
            (size_t) block[0] | ((size_t) block[1] << 8) | ((size_t) block[2] << 16) | ((size_t) block[3] << 24);
        if (size < unitHeaderSize || size > block.size() - 8)
            return {userError(errorBadUpload)};
        UserSlot slot;
        slot.payload.assign(block.begin() + 8, block.begin() + 8 + (long) size);
        slot.header.assign(slot.payload.begin(), slot.payload.begin() + unitHeaderSize);
        slotAt(m[7], m[8]) = slot;
        return {ack()};
    }

    case MessageKind::other:
        break;
    }
    return {};
}

//==============================================================================
void SimulatedInstrument::setChannel(int newChannel)
{
    std::lock_guard<std::mutex> guard(lock);
    channel = newChannel & 0x0F;
}

int SimulatedInstrument::getChannel() const
{
    std::lock_guard<std::mutex> guard(lock);
    return channel;
}

void SimulatedInstrument::setIdentity(const Identity& newIdentity)
{
    std::lock_guard<std::mutex> guard(lock);
    identity = newIdentity;
}

SimulatedInstrument::Identity SimulatedInstrument::getIdentity() const
{
    std::lock_guard<std::mutex> guard(lock);
    return identity;
}

void SimulatedInstrument::setReplyDelayMs(std::uint32_t ms)
{
    std::lock_guard<std::mutex> guard(lock);
    replyDelayMs = ms;
}

void SimulatedInstrument::setRealTimeBytesInReplies(bool insert)
{
    std::lock_guard<std::mutex> guard(lock);
    realTimeInReplies = insert;
}

void SimulatedInstrument::setReplyOverride(MessageKind kind,
                                           std::function<std::vector<Bytes>(const Bytes& request)> answerFn)
{
    std::lock_guard<std::mutex> guard(lock);
    if (answerFn)
        overrides[kind] = std::move(answerFn);
    else
        overrides.erase(kind);
}

void SimulatedInstrument::injectFault(MessageKind kind, int nth, Fault fault)
{
    std::lock_guard<std::mutex> guard(lock);
    faults[kind][std::max(0, nth)] = fault;
}

void SimulatedInstrument::clearFaults()
{
    std::lock_guard<std::mutex> guard(lock);
    faults.clear();
    lateAnswers.clear();
}

void SimulatedInstrument::answerLate(MessageKind kind, int nth, std::uint32_t ms)
{
    std::lock_guard<std::mutex> guard(lock);
    lateAnswers[{kind, std::max(1, nth)}] = ms;
}

void SimulatedInstrument::stopAnsweringAt(MessageKind kind, int nth)
{
    std::lock_guard<std::mutex> guard(lock);
    stopAt = {kind, std::max(1, nth)};
}

void SimulatedInstrument::resumeAnswering()
{
    std::lock_guard<std::mutex> guard(lock);
    stopAt = {MessageKind::other, 0};
    answering = true;
}

bool SimulatedInstrument::isAnswering() const
{
    std::lock_guard<std::mutex> guard(lock);
    return answering;
}

std::vector<SimulatedInstrument::Received> SimulatedInstrument::getReceived() const
{
    std::lock_guard<std::mutex> guard(lock);
    return received;
}

int SimulatedInstrument::getCount(MessageKind kind) const
{
    std::lock_guard<std::mutex> guard(lock);
    auto it = counts.find(kind);
    return it == counts.end() ? 0 : it->second;
}

void SimulatedInstrument::clearLog()
{
    std::lock_guard<std::mutex> guard(lock);
    received.clear();
    counts.clear();
}

//==============================================================================
void SimulatedInstrument::resetMemory()
{
    std::lock_guard<std::mutex> guard(lock);
    programs.assign(numPrograms, Bytes(programSize, 0));
    for (int n = 0; n < numPrograms; ++n)
    {
        auto& p = programs[(size_t) n];
        char name[16];
        std::snprintf(name, sizeof(name), "Sim Prog %03d", n);
        std::copy_n("PROG", 4, p.begin());
        std::copy_n(name, 12, p.begin() + 4);
        for (size_t i = 16; i < 332; ++i)
            p[i] = (std::uint8_t)((n * 7 + (int) i * 13) & 0xFF); // top bits set too, to exercise the packing
        std::copy_n("PRED", 4, p.begin() + 332);
    }

    liveSet.assign(liveSetSize, 0);
    for (size_t i = 0; i < liveSetSize; ++i)
        liveSet[i] = (std::uint8_t)(i ^ 0xA5); // the instrument's own bytes, kept by a write
    scales.assign(numScales, Bytes(scaleSize, 0));
    octaves.assign(numOctaves, Bytes(octaveSize, 0));
    for (int s = 0; s < numScales; ++s)
        for (size_t note = 0; note < 128; ++note)
        {
            scales[(size_t) s][note * 3] = (std::uint8_t) note;
            scales[(size_t) s][note * 3 + 1] = (std::uint8_t)((s * 10 + (int) note) & 0x7F);
            scales[(size_t) s][note * 3 + 2] = (std::uint8_t) s;
        }
    for (int o = 0; o < numOctaves; ++o)
        for (size_t note = 0; note < 12; ++note)
        {
            octaves[(size_t) o][note * 3] = (std::uint8_t)(60 + note);
            octaves[(size_t) o][note * 3 + 1] = (std::uint8_t)((o * 7 + (int) note) & 0x7F);
            octaves[(size_t) o][note * 3 + 2] = (std::uint8_t) o;
        }
    currentProgram.assign(programSize, 0);
    currentScale.assign(scaleSize, 0);
    currentOctave.assign(octaveSize, 0);

    userSlots.clear();
    for (int module : {oscillatorModule, modulationModule, delayModule, reverbModule})
        userSlots[module].assign((size_t) getNumSlots(module), UserSlot());
    auto place = [&](int module, int slot, const char* name, std::uint32_t id)
    {
        UserSlot unit;
        unit.payload = makeUnit(module, name, 200, id);
        unit.header.assign(unit.payload.begin(), unit.payload.begin() + unitHeaderSize);
        userSlots[module][(size_t) slot] = unit;
    };
    place(oscillatorModule, 0, "SimOsc A", 11);
    place(oscillatorModule, 1, "SimOsc B", 12);
    place(oscillatorModule, 2, "SimOsc C", 13);
    place(modulationModule, 0, "SimMod", 21);
    place(delayModule, 1, "SimDelay", 31);

    for (int b = 0; b < 4; ++b)
        for (int i = 0; i < 8; ++i)
        {
            const int number = (b * 8 + i) * 3;
            const size_t at = (size_t) (4 + 32 * b + 2 * i);
            liveSet[at] = (std::uint8_t)(number & 0xFF);
            liveSet[at + 1] = (std::uint8_t)(number >> 8);
        }
}

Bytes SimulatedInstrument::getProgram(int number) const
{
    std::lock_guard<std::mutex> guard(lock);
    return number >= 0 && number < numPrograms ? programs[(size_t) number] : Bytes();
}

void SimulatedInstrument::setProgram(int number, const Bytes& binary)
{
    std::lock_guard<std::mutex> guard(lock);
    if (number >= 0 && number < numPrograms)
    {
        programs[(size_t) number] = binary;
        programs[(size_t) number].resize(programSize, 0);
    }
}

Bytes SimulatedInstrument::getLiveSet() const
{
    std::lock_guard<std::mutex> guard(lock);
    return liveSet;
}

void SimulatedInstrument::setLiveSet(const Bytes& block)
{
    std::lock_guard<std::mutex> guard(lock);
    liveSet = block;
    liveSet.resize(liveSetSize, 0);
}

int SimulatedInstrument::getLiveSetEntry(int bank, int position) const
{
    std::lock_guard<std::mutex> guard(lock);
    const size_t at = (size_t) (4 + 32 * bank + 2 * position);
    return liveSet[at] | (liveSet[at + 1] << 8);
}

void SimulatedInstrument::setLiveSetEntry(int bank, int position, int programNumber)
{
    std::lock_guard<std::mutex> guard(lock);
    const size_t at = (size_t) (4 + 32 * bank + 2 * position);
    liveSet[at] = (std::uint8_t)(programNumber & 0xFF);
    liveSet[at + 1] = (std::uint8_t)((programNumber >> 8) & 0xFF);
}

Bytes SimulatedInstrument::getScale(int index) const
{
    std::lock_guard<std::mutex> guard(lock);
    return index >= 0 && index < numScales ? scales[(size_t) index] : Bytes();
}

void SimulatedInstrument::setScale(int index, const Bytes& notes)
{
    std::lock_guard<std::mutex> guard(lock);
    if (index >= 0 && index < numScales)
    {
        scales[(size_t) index] = masked(notes.data(), std::min(notes.size(), scaleSize));
        scales[(size_t) index].resize(scaleSize, 0);
    }
}

Bytes SimulatedInstrument::getOctave(int index) const
{
    std::lock_guard<std::mutex> guard(lock);
    return index >= 0 && index < numOctaves ? octaves[(size_t) index] : Bytes();
}

void SimulatedInstrument::setOctave(int index, const Bytes& notes)
{
    std::lock_guard<std::mutex> guard(lock);
    if (index >= 0 && index < numOctaves)
    {
        octaves[(size_t) index] = masked(notes.data(), std::min(notes.size(), octaveSize));
        octaves[(size_t) index].resize(octaveSize, 0);
    }
}

Bytes SimulatedInstrument::getCurrentProgram() const
{
    std::lock_guard<std::mutex> guard(lock);
    return currentProgram;
}

Bytes SimulatedInstrument::getCurrentScale() const
{
    std::lock_guard<std::mutex> guard(lock);
    return currentScale;
}

Bytes SimulatedInstrument::getCurrentOctave() const
{
    std::lock_guard<std::mutex> guard(lock);
    return currentOctave;
}

SimulatedInstrument::UserSlot SimulatedInstrument::getUserSlot(int module, int slot) const
{
    std::lock_guard<std::mutex> guard(lock);
    if (!isUserSlotValid(module, slot))
        return {};
    return userSlots.at(module)[(size_t) slot];
}

void SimulatedInstrument::setUserSlot(int module, int slot, const UserSlot& content)
{
    std::lock_guard<std::mutex> guard(lock);
    if (isUserSlotValid(module, slot))
    {
        auto& target = slotAt(module, slot);
        target = content;
        target.header.resize(unitHeaderSize, 0);
    }
}

//==============================================================================
Bytes SimulatedInstrument::makeUnit(int module, const std::string& name, size_t bodySize, std::uint32_t unitId)
{
    Bytes unit(unitHeaderSize + bodySize, 0);
    auto put32 = [&](size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            unit[at + (size_t) i] = (std::uint8_t)(v >> (8 * i));
    };
    unit[0] = (std::uint8_t)(module & 0x7F);
    unit[1] = 0x03;                   // target platform
    put32(2, (1u << 16) | (0u << 8)); // API 1.0.0
    put32(6, 0x53494D55);             // developer id
    put32(10, unitId);
    put32(14, (1u << 16) | (2u << 8) | 3u);
    for (size_t i = 0; i < 13 && i < name.size(); ++i)
        unit[18 + i] = (std::uint8_t) name[i];
    for (size_t i = 0; i < bodySize; ++i)
        unit[unitHeaderSize + i] = (std::uint8_t)((i * 31 + unitId) & 0xFF);
    return unit;
}

Bytes SimulatedInstrument::makeUploadBlock(const Bytes& unitData)
{
    const auto size = (std::uint32_t) unitData.size();
    Bytes block = {(std::uint8_t) size,
                   (std::uint8_t)(size >> 8),
                   (std::uint8_t)(size >> 16),
                   (std::uint8_t)(size >> 24),
                   0,
                   0,
                   0,
                   0};
    block.insert(block.end(), unitData.begin(), unitData.end());
    return block;
}

Bytes SimulatedInstrument::pack(const Bytes& data)
{
    Bytes out;
    out.reserve(data.size() / 7 * 8 + 8);
    for (size_t start = 0; start < data.size(); start += 7)
    {
        const size_t end = std::min(data.size(), start + 7);
        std::uint8_t top = 0;
        for (size_t i = start; i < end; ++i)
            top |= (std::uint8_t)(((data[i] >> 7) & 1) << (i - start));
        out.push_back(top);
        for (size_t i = start; i < end; ++i)
            out.push_back(data[i] & 0x7F);
    }
    return out;
}

Bytes SimulatedInstrument::unpack(const std::uint8_t* packed, size_t packedSize, size_t outCount)
{
    Bytes out;
    out.reserve(outCount);
    size_t pos = 0;
    int counter = 0;
    std::uint8_t top = 0;
    while (out.size() < outCount)
    {
        if (counter == 0)
        {
            if (pos >= packedSize)
                break;
            top = packed[pos++];
            counter = 7;
        }
        if (pos >= packedSize)
            break;
        out.push_back((std::uint8_t)(((top << counter) & 0x80) | packed[pos++]));
        --counter;
    }
    return out;
}

size_t SimulatedInstrument::unpackedSize(size_t packedSize)
{
    return packedSize / 8 * 7 + (packedSize % 8 == 0 ? 0 : packedSize % 8 - 1);
}
} // namespace simulator
