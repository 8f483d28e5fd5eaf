#include "platform/midi/MidiByteParser.h"

#include "platform/midi/MidiBackend.h"

namespace platform::midi
{
void MidiByteParser::reset()
{
    inSysEx = false;
    sysExOverflow = false;
    sysEx.clear();
    shortSize = 0;
    shortLength = 0;
}

void MidiByteParser::parse(const std::uint8_t* data, size_t size, Handler& handler)
{
    size_t chunkStart = 0; // where the current packet's part of a system exclusive begins
    for (size_t i = 0; i < size; ++i)
    {
        const std::uint8_t byte = data[i];

        if (byte >= 0xF8)
        {
            handler.shortMessageReceived(&byte, 1);
            continue;
        }

        if (byte == 0xF0)
        {
            shortSize = 0;
            shortLength = 0;
            inSysEx = true;
            sysExOverflow = false;
            sysEx.clear();
            sysEx.push_back(byte);
            chunkStart = i;
            continue;
        }

        if (inSysEx)
        {
            if (byte < 0x80)
            {
                if (!sysExOverflow)
                {
                    sysEx.push_back(byte);
                    if (sysEx.size() >= maxSysExSize)
                    {
                        sysExOverflow = true;
                        sysEx.clear();
                        sysEx.shrink_to_fit();
                    }
                }
                continue;
            }
            if (byte == 0xF7)
            {
                inSysEx = false;
                if (!sysExOverflow)
                {
                    sysEx.push_back(byte);
                    handler.sysExProgress(data + chunkStart, i + 1 - chunkStart);
                    handler.sysExReceived(sysEx.data(), sysEx.size());
                }
                sysExOverflow = false;
                sysEx.clear();
                continue;
            }
            // Another status byte: the unfinished message is dropped.
            inSysEx = false;
            sysExOverflow = false;
            sysEx.clear();
        }

        if (byte >= 0x80)
        {
            handleStatusOutsideSysEx(byte, handler);
            continue;
        }

        if (shortLength > 0 && shortSize < shortLength)
        {
            shortMessage[shortSize++] = byte;
            if (shortSize == shortLength)
            {
                handler.shortMessageReceived(shortMessage, (size_t) shortSize);
                shortSize = 0;
                shortLength = 0;
            }
        }
    }

    if (inSysEx && !sysExOverflow && chunkStart < size)
        handler.sysExProgress(data + chunkStart, size - chunkStart);
}

void MidiByteParser::handleStatusOutsideSysEx(std::uint8_t status, Handler& handler)
{
    shortMessage[0] = status;
    shortSize = 1;
    shortLength = getShortMessageLength(status);
    if (shortLength == 1)
    {
        handler.shortMessageReceived(shortMessage, 1);
        shortSize = 0;
        shortLength = 0;
    }
}
} // namespace platform::midi
