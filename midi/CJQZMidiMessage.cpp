#include "midi/CJQZMidiMessage.h"

#include <cstring>

CJQZMidiMessage::CJQZMidiMessage(const std::uint8_t* bytes, int count)
{
    if (bytes != nullptr && count > 0)
    {
        data.reset(new std::uint8_t[(size_t) count]);
        std::memcpy(data.get(), bytes, (size_t) count);
        size = count;
    }
}

CJQZMidiMessage::CJQZMidiMessage(const CJQZMidiMessage& other) : CJQZMidiMessage(other.data.get(), other.size)
{
    timeStamp = other.timeStamp;
}

CJQZMidiMessage& CJQZMidiMessage::operator=(const CJQZMidiMessage& other)
{
    if (this != &other)
    {
        CJQZMidiMessage copy(other);
        data = std::move(copy.data);
        size = copy.size;
        timeStamp = copy.timeStamp;
    }
    return *this;
}

CJQZMidiMessage::~CJQZMidiMessage()
{
    data.reset();
    size = 0;
}
