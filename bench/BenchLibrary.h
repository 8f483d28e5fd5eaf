#pragma once

// The library the file benchmarks write and read: its first `filled` programs, its live set and all its
// tunings differ from the initial ones, so nothing compresses unusually well; the other programs stay
// initial, as in a library that is not full.
#include "data/LibraryData.h"

#include <juce_core/juce_core.h>

namespace bench
{
inline void fillLibrary(x47390_data::LibraryData& library, int filled)
{
    juce::Random random(42);
    for (int i = 0; i < filled && i < x47390_data::LibraryData::numPrograms; ++i)
    {
        auto& program = library.getProgramData(i);
        program.setName("Sound " + juce::String(i));
        for (size_t k = 16; k < 332; k += 3)
            program.binary[k] = (juce::uint8) random.nextInt(128);
        program.information.programmer = "Programmer " + juce::String(i % 7);
        program.information.comment = "A comment on program " + juce::String(i);
    }
    for (int bank = 0; bank < 4; ++bank)
        for (int slot = 0; slot < 8; ++slot)
            library.getFavoriteData().entries[(size_t) bank][(size_t) slot] = random.nextInt(500);
    for (int i = 0; i < x47390_data::LibraryData::numTuneScales; ++i)
    {
        auto& scale = library.getTuneScaleData(i);
        for (size_t k = 1; k < scale.notes.size(); k += 3)
            scale.notes[k] = (juce::uint8) random.nextInt(128);
    }
    for (int i = 0; i < x47390_data::LibraryData::numTuneOcts; ++i)
    {
        auto& octave = library.getTuneOctData(i);
        for (size_t k = 1; k < octave.notes.size(); k += 3)
            octave.notes[k] = (juce::uint8) random.nextInt(128);
    }
}
} // namespace bench
