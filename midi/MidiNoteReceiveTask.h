#pragma once

#include "data/ListenerHolder.h"
#include "midi/CJQZMidiListener.h"
#include "midi/KbdGuidDisplayComponentListener.h"

#include <juce_events/juce_events.h>

#include <array>
#include <cstdint>

// States of the notes the player holds, for the tuning editor's guides. Message thread only.
// 1 while note n is on.
extern std::array<std::uint8_t, 128> kbdGuidNoteStates;
// 1 while a note of pitch class n is on; only notes on the shown page count while a user scale is selected.
extern std::array<std::uint8_t, 12> octGuidNoteStates;

namespace x47390_midi
{
// Turns the note-on and note-off messages that reach the port object into the two state tables. The MIDI receive
// thread must never wait, so the notes pass through a process-wide lock-free ring to the message thread.
class MidiNoteReceiveTask : public juce::AsyncUpdater,
                            public CJQZMidiListener,
                            public ListenerHolder<KbdGuidDisplayComponentListener>
{
public:
    // Registers with the device manager's port object and empties the ring.
    MidiNoteReceiveTask();
    ~MidiNoteReceiveTask() override;

    // The drain: applies every queued note to the tables and tells the listeners (message thread).
    void handleAsyncUpdate() override;

    // The capture (MIDI receive thread): no allocation and no lock.
    void handleIncomingShortMessage(CJQZMidi& port, const CJQZMidiMessage& message) override;
    void handleIncomingMessage(CJQZMidi&, const CJQZMidiMessage&) override {}

    // Ring capacity: one entry stays free so that a full ring never reads as empty.
    static constexpr int ringSize = 512;

private:
    JUCE_DECLARE_NON_COPYABLE(MidiNoteReceiveTask)
};

// The receiver the tuning editor creates.
class NoteOnOffReceiver : public MidiNoteReceiveTask
{
public:
    NoteOnOffReceiver() = default;
    ~NoteOnOffReceiver() override = default;
};
} // namespace x47390_midi
