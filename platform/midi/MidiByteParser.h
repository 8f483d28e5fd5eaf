#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::midi
{
// Turns a MIDI byte stream, split into packets anywhere, into whole messages.
// - F0 always starts a new system exclusive message; a partial one is dropped.
// - Real-time bytes (F8 to FF) are passed on at once as one-byte messages, also inside a system
//   exclusive or a short message, which they never disturb.
// - Any other status byte ends an unfinished system exclusive (dropped) or short message
//   (dropped) and is parsed afresh. There is no running status: data bytes without a status
//   byte are dropped.
// - A system exclusive longer than maxSysExSize is dropped.
class MidiByteParser
{
public:
    static constexpr size_t maxSysExSize = 64 * 1024;

    class Handler
    {
    public:
        virtual ~Handler() = default;
        // A complete short message (1 to 3 bytes), a real-time byte included.
        virtual void shortMessageReceived(const std::uint8_t* data, size_t size) = 0;
        // A complete system exclusive message, F0 to F7.
        virtual void sysExReceived(const std::uint8_t* data, size_t size) = 0;
        // Bytes of a system exclusive message that came in the current packet: once when the
        // packet ends inside the message, and once up to and with the F7 that ends it.
        virtual void sysExProgress(const std::uint8_t* /*chunk*/, size_t /*size*/) {}
    };

    // Forgets any partial message.
    void reset();

    void parse(const std::uint8_t* data, size_t size, Handler& handler);

    bool isInsideSysEx() const noexcept { return inSysEx; }

private:
    void handleStatusOutsideSysEx(std::uint8_t status, Handler& handler);

    bool inSysEx = false;
    bool sysExOverflow = false;
    std::vector<std::uint8_t> sysEx;
    std::uint8_t shortMessage[3] = {};
    int shortSize = 0;
    int shortLength = 0;
};
} // namespace platform::midi
