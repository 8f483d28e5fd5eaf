#pragma once

#include <cstdint>

class CJQZMidi;
class CJQZMidiMessage;

// Receives what the port object hears. Every call is made with the port's listener lock held,
// one listener at a time in list order; a listener never adds or removes itself from inside one.
class CJQZMidiListener
{
public:
    virtual ~CJQZMidiListener() = default;

    // A complete message that is not system exclusive, or a real-time byte (MIDI input thread).
    virtual void handleIncomingShortMessage(CJQZMidi& /*port*/, const CJQZMidiMessage& /*message*/) {}

    // A complete system exclusive message, F0 to F7 (MIDI input thread).
    virtual void handleIncomingMessage(CJQZMidi& /*port*/, const CJQZMidiMessage& /*message*/) {}

    // Bytes of a system exclusive message arrived (MIDI input thread).
    virtual void handleSysExProgress(CJQZMidi& /*port*/, int /*byteCount*/, const std::uint8_t* /*bytes*/) {}

    // A system exclusive send completed (a MIDI backend thread, or the sending thread inside its send:
    // do not send, open or close from here).
    virtual void handleSysExSent(CJQZMidi& /*port*/, int /*byteCount*/) {}

    // Sources or destinations came or went (message thread). The port object has already closed the
    // ports whose endpoint went and reopened those whose endpoint is back.
    virtual void handleMidiSetupChanged(CJQZMidi& /*port*/) {}
};
