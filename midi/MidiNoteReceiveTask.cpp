#include "midi/MidiNoteReceiveTask.h"

#include "data/TuningSelection.h"
#include "midi/CJQZMidi.h"
#include "midi/MidiDeviceManager.h"

#include <atomic>

std::array<std::uint8_t, 128> kbdGuidNoteStates{};
std::array<std::uint8_t, 12> octGuidNoteStates{};

namespace x47390_midi
{
namespace
{
constexpr std::uint16_t noteOnEntry = 0x9000;
constexpr std::uint16_t noteOffEntry = 0x8000;

// One producer (the MIDI receive thread) and one consumer (the message thread). An entry is written before the write
// index that covers it is published (release), and read after that index is seen (acquire).
struct NoteRing
{
    std::array<std::uint16_t, MidiNoteReceiveTask::ringSize> entries{};
    std::atomic<std::uint16_t> writeIndex{0};
    std::atomic<std::uint16_t> readIndex{0};
};

NoteRing noteRing;

std::uint16_t nextIndex(std::uint16_t index)
{
    return static_cast<std::uint16_t>((index + 1) % MidiNoteReceiveTask::ringSize);
}
} // namespace

MidiNoteReceiveTask::MidiNoteReceiveTask()
{
    noteRing.readIndex.store(0, std::memory_order_release);
    noteRing.writeIndex.store(0, std::memory_order_release);
    midi::MidiDeviceManager::getInstance()->getMidi().addListener(this);
}

MidiNoteReceiveTask::~MidiNoteReceiveTask()
{
    // Off the port first, so that no capture runs into a task that is going.
    if (auto* manager = midi::MidiDeviceManager::getInstanceWithoutCreating())
        manager->getMidi().removeListener(this);
    listeners.clear();
    cancelPendingUpdate();
}

void MidiNoteReceiveTask::handleIncomingShortMessage(CJQZMidi&, const CJQZMidiMessage& message)
{
    if (message.getSize() < 3)
        return;
    const auto* bytes = message.getData();
    const auto kind = bytes[0] & 0xF0;
    const auto note = static_cast<std::uint16_t>(bytes[1] & 0x7F);
    std::uint16_t entry;
    if (kind == 0x80)
        entry = noteOffEntry | note;
    else if (kind == 0x90)
        entry = (bytes[2] != 0 ? noteOnEntry : noteOffEntry) | note;
    else
        return;

    const auto write = noteRing.writeIndex.load(std::memory_order_relaxed);
    const auto next = nextIndex(write);
    // A full ring drops the newest note rather than wrapping onto unread ones, which would make the whole ring read as
    // empty and lose every note in it.
    if (next == noteRing.readIndex.load(std::memory_order_acquire))
        return;
    noteRing.entries[write] = entry;
    noteRing.writeIndex.store(next, std::memory_order_release);
    triggerAsyncUpdate();
}

void MidiNoteReceiveTask::handleAsyncUpdate()
{
    auto read = noteRing.readIndex.load(std::memory_order_relaxed);
    while (read != noteRing.writeIndex.load(std::memory_order_acquire))
    {
        const auto entry = noteRing.entries[read];
        read = nextIndex(read);
        noteRing.readIndex.store(read, std::memory_order_release);

        const int kind = entry >> 12;
        if (kind != 9 && kind != 8)
            continue;
        const std::uint8_t state = kind == 9 ? 1 : 0;
        const int note = entry & 0x7F;

        const int pageStart = currentTuningPage * 12;
        if (currentTuningSlot < 6 || (note >= pageStart && note < pageStart + 12))
            octGuidNoteStates[static_cast<size_t>(note % 12)] = state;
        kbdGuidNoteStates[static_cast<size_t>(note)] = state;

        callListeners([note](KbdGuidDisplayComponentListener& listener) { listener.noteStateChanged(note); });
    }
}
} // namespace x47390_midi
