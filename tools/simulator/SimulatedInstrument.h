#pragma once

#include "platform/midi/MidiByteParser.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace simulator
{
using Bytes = std::vector<std::uint8_t>;

// Every message the instrument understands, for counting and fault injection.
enum class MessageKind
{
    identityRequest,
    searchRequest,
    programRequest,
    liveSetRequest,
    scaleRequest,
    octaveRequest,
    programWrite,
    scaleWrite,
    octaveWrite,
    liveSetWrite,
    currentProgram,
    currentScale,
    currentOctave,
    userSlotHeaderRequest,
    userSlotMove,
    userSlotClear,
    userSlotUpload,
    other // not understood: no answer
};

const char* toString(MessageKind kind);
bool messageKindFromString(const std::string& text, MessageKind& kind);

enum class Fault
{
    none,
    nak,        // answer with a reject reply; the message is not carried out
    silence,    // no answer; the message is not carried out
    truncated,  // the answer is cut to half its length (still ending in F7)
    userError,  // answer with a user communication error reply; not carried out
    duplicated, // every answer goes out twice (a MIDI merge or loop)
    misnumbered // a request for a numbered dump (program, tuning, slot header) is answered with the next one's
};

// A simulated sonavire: its memory (500 programs, live set, 6 user scales, 6 user octaves,
// 48 user-unit slots and the edit buffers) and its system exclusive protocol, with faults to
// inject. Feed it cable bytes (split anywhere) with receiveBytes; its answers go to the reply
// sink. Thread-safe: the transport calls it on its own thread while a test reads the memory.
class SimulatedInstrument
{
public:
    static constexpr int numPrograms = 500;
    static constexpr size_t programSize = 336;
    static constexpr size_t liveSetSize = 128;
    static constexpr int numScales = 6;
    static constexpr size_t scaleSize = 384;
    static constexpr int numOctaves = 6;
    static constexpr size_t octaveSize = 36;
    static constexpr size_t unitHeaderSize = 32;
    static constexpr int familyCode = 0x0135;

    // The module bytes of the user-unit kinds and their slot counts.
    static constexpr int oscillatorModule = 4;
    static constexpr int modulationModule = 1;
    static constexpr int delayModule = 2;
    static constexpr int reverbModule = 3;
    static int getNumSlots(int module); // 0 for an unknown module

    struct Identity
    {
        std::uint8_t manufacturer = 0x7D;
        int family = familyCode;
        int member = 0;
        std::array<std::uint8_t, 4> revision{{1, 1, 0, 0}}; // bytes 10 to 13 of the identity reply
    };

    struct UserSlot
    {
        Bytes header = Bytes(unitHeaderSize, 0); // all zero: empty
        Bytes payload;                           // the unit data as uploaded (header first)
        bool isEmpty() const { return header.size() < 2 || (header[0] == 0 && header[1] == 0); }
    };

    struct Received
    {
        MessageKind kind;
        Bytes bytes;
    };

    // An answer and how long after the request it leaves.
    using ReplySink = std::function<void(const Bytes& reply, std::uint32_t delayMs)>;

    SimulatedInstrument(); // factory content: see resetMemory

    // Transport.
    void setReplySink(ReplySink sink);
    void receiveBytes(const std::uint8_t* data, size_t size);
    // One complete message in, its answers out (the reply sink is not used).
    std::vector<Bytes> handleMessage(const Bytes& message);

    // Settings.
    void setChannel(int channel); // 0 to 15; product messages on other channels are ignored
    int getChannel() const;
    void setIdentity(const Identity& identity);
    Identity getIdentity() const;
    void setReplyDelayMs(std::uint32_t ms);
    void setRealTimeBytesInReplies(bool insert); // F8 and FE inside every answer longer than 10 bytes
    // Replaces the answers to one kind of message (e.g. wrong search answers).
    void setReplyOverride(MessageKind kind, std::function<std::vector<Bytes>(const Bytes& request)> answer);

    // Faults: the nth message of a kind (1-based, counted since the last clearLog; 0: every one).
    void injectFault(MessageKind kind, int nth, Fault fault);
    // The answers to the nth message of a kind (counted as for faults) leave ms later than the others,
    // once; clearFaults forgets it too. Only the transport's reply sink sees the delay.
    void answerLate(MessageKind kind, int nth, std::uint32_t ms);
    void clearFaults();
    // From the nth message of a kind on (1-based, counted since the last clearLog) the instrument answers
    // nothing at all and carries nothing out, as one switched off in the middle of a transfer, until
    // resumeAnswering. Messages are still logged.
    void stopAnsweringAt(MessageKind kind, int nth);
    void resumeAnswering();
    bool isAnswering() const;

    // What was received.
    std::vector<Received> getReceived() const;
    int getCount(MessageKind kind) const;
    void clearLog();

    // Memory.
    void resetMemory(); // programs "Sim Prog 000".., a live set of programs 0, 3, 6..., tunings, a few units
    Bytes getProgram(int number) const;
    void setProgram(int number, const Bytes& binary);
    Bytes getLiveSet() const;
    void setLiveSet(const Bytes& block);
    int getLiveSetEntry(int bank, int position) const;
    void setLiveSetEntry(int bank, int position, int programNumber);
    Bytes getScale(int index) const;
    void setScale(int index, const Bytes& notes);
    Bytes getOctave(int index) const;
    void setOctave(int index, const Bytes& notes);
    Bytes getCurrentProgram() const;
    Bytes getCurrentScale() const;
    Bytes getCurrentOctave() const;
    UserSlot getUserSlot(int module, int slot) const;
    void setUserSlot(int module, int slot, const UserSlot& content);

    // A user unit's data: a 32-byte header (module word, versions, ids, name) and a body.
    static Bytes makeUnit(int module, const std::string& name, size_t bodySize, std::uint32_t unitId = 1);
    // The user-unit upload block: size (32-bit little-endian), four zero bytes, the unit data.
    static Bytes makeUploadBlock(const Bytes& unitData);

    // 7-in-8 packing of 8-bit data, and its inverse (reads what outCount needs, or what there is).
    static Bytes pack(const Bytes& data);
    static Bytes unpack(const std::uint8_t* packed, size_t packedSize, size_t outCount);
    static size_t unpackedSize(size_t packedSize);

private:
    class Parser;

    std::vector<Bytes> handleLocked(const Bytes& message);
    std::vector<Bytes> answer(MessageKind kind, const Bytes& message, Fault fault);
    MessageKind classify(const Bytes& message) const;
    Bytes frame(std::uint8_t function, const Bytes& body) const;
    Bytes ack() const { return frame(0x23, {}); }
    Bytes nak() const { return frame(0x24, {}); }
    Bytes userError(std::uint8_t code = 0x27) const { return frame(code, {}); }
    Fault takeFault(MessageKind kind, int count);
    Bytes nextNumberRequest(MessageKind kind, const Bytes& request) const;
    void addRealTimeBytes(Bytes& reply) const;
    bool isUserSlotValid(int module, int slot) const;
    UserSlot& slotAt(int module, int slot);

    mutable std::mutex lock;
    platform::midi::MidiByteParser parser; // receiveBytes only
    ReplySink sink;
    int channel = 0;
    Identity identity;
    std::uint32_t replyDelayMs = 0;
    bool realTimeInReplies = false;
    std::map<MessageKind, std::function<std::vector<Bytes>(const Bytes&)>> overrides;
    std::map<MessageKind, std::map<int, Fault>> faults;
    std::map<std::pair<MessageKind, int>, std::uint32_t> lateAnswers;
    std::uint32_t lateBy = 0; // of the message being handled
    bool answering = true;
    std::pair<MessageKind, int> stopAt{MessageKind::other, 0}; // 0: never
    std::vector<Received> received;
    std::map<MessageKind, int> counts;

    std::vector<Bytes> programs;
    Bytes liveSet;
    std::vector<Bytes> scales;
    std::vector<Bytes> octaves;
    Bytes currentProgram;
    Bytes currentScale;
    Bytes currentOctave;
    std::map<int, std::vector<UserSlot>> userSlots; // by module byte
};
} // namespace simulator
