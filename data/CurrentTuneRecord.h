#pragma once

#include "data/LibraryData.h"

#include <juce_events/juce_events.h>

#include <array>

namespace x47390_data
{
// What the current user octave and the current user scale do alike: slot checks, the 7-bit edit buffer,
// the mirror of the library slot and the link to the undo manager.
namespace currentTune
{
LibraryData& library();

// 0 to 5 name the slots; 6 falls back to slot 0; 7 and above are refused (-1) with the caller's message.
int resolveSlot(int i, const char* message);

void listenToUndoManager(juce::ChangeListener* listener);
void stopListeningToUndoManager(juce::ChangeListener* listener);

template <size_t Size>
void copyMasked(std::array<juce::uint8, Size>& target, const std::array<juce::uint8, Size>& source)
{
    for (size_t i = 0; i < target.size(); ++i)
        target[i] = (juce::uint8)(source[i] & 0x7F);
}

// Makes the current record and the edit buffer a copy of a library slot.
template <typename TuneData, typename Notes>
void load(TuneData& current, Notes& editBuffer, const TuneData& slot)
{
    current.copyNotesFrom(slot);
    copyMasked(editBuffer, current.notes);
}

// Stores the masked edit buffer into a library slot; the current record mirrors the slot, digest included.
template <typename TuneData, typename Notes>
void store(TuneData& current, const Notes& editBuffer, TuneData& slot)
{
    copyMasked(current.notes, editBuffer);
    slot.notes = current.notes;
    slot.updateHash();
    current.md5 = slot.md5;
}
} // namespace currentTune
} // namespace x47390_data
