#pragma once

#include <cstdint>
#include <memory>

// An owned copy of one MIDI message's bytes. The port object hands a fresh one to each listener
// call and frees it when the call returns, so a listener copies what it keeps.
class CJQZMidiMessage
{
public:
    CJQZMidiMessage() = default;
    CJQZMidiMessage(const std::uint8_t* bytes, int count);
    CJQZMidiMessage(const CJQZMidiMessage& other);
    CJQZMidiMessage& operator=(const CJQZMidiMessage& other);
    virtual ~CJQZMidiMessage();

    const std::uint8_t* getData() const noexcept { return data.get(); }
    int getSize() const noexcept { return size; }
    std::int64_t getTimeStamp() const noexcept { return timeStamp; }

private:
    std::unique_ptr<std::uint8_t[]> data;
    int size = 0;
    std::int64_t timeStamp = 0; // the port object never stamps messages
};
