#pragma once

#include "data/LibraryData.h"
#include "files/MemoryBasedZipBuilder.h"
#include "tests/files/ZipTestSupport.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace ziptest
{
using Members = std::vector<std::pair<juce::String, juce::MemoryBlock>>;

inline juce::MemoryBlock zipBytes(const Members& members)
{
    MemoryBasedZipBuilder builder;
    for (const auto& [name, data] : members)
        builder.addEntry(name, data, {});
    juce::MemoryOutputStream out;
    builder.writeToStream(out);
    return out.getMemoryBlock();
}

inline juce::File writeZip(const juce::File& file, const Members& members)
{
    const auto bytes = zipBytes(members);
    file.replaceWithData(bytes.getData(), bytes.getSize());
    return file;
}

inline juce::MemoryBlock filledBytes(size_t size, int seed)
{
    juce::MemoryBlock block(size);
    for (size_t i = 0; i < size; ++i)
        block[i] = (char) ((i * 7 + (size_t) seed * 13) & 0x7f);
    return block;
}

// A program that differs from the initial one in its name, its bytes and its texts.
inline x47390_data::ProgramData makeProgram(int number)
{
    x47390_data::ProgramData program;
    program.setName("Sound " + juce::String(number));
    for (size_t i = 20; i < 330; i += 11)
        program.binary[i] = (juce::uint8)((i + (size_t) number) & 0xff);
    program.updateHash();
    program.information.programmer = "Ann & <Bob> " + juce::String(number);
    program.information.comment = juce::String::fromUTF8("Gr\xc3\xbc\xc3\x9f"
                                                         "e \xe2\x99\xaa \"quoted\"\nline two");
    return program;
}

inline x47390_data::TuneScaleData makeScale(int number)
{
    x47390_data::TuneScaleData scale;
    for (size_t i = 0; i < scale.notes.size(); i += 3)
        scale.notes[i + 1] = (juce::uint8)((i + (size_t) number) & 0x7f);
    scale.updateHash();
    scale.information.programmer = "scale programmer " + juce::String(number);
    return scale;
}

inline x47390_data::TuneOctData makeOctave(int number)
{
    x47390_data::TuneOctData octave;
    for (size_t i = 0; i < octave.notes.size(); i += 3)
        octave.notes[i + 2] = (juce::uint8)((i * 3 + (size_t) number) & 0x7f);
    octave.updateHash();
    octave.information.comment = "octave comment " + juce::String(number);
    return octave;
}

// A library in which every record differs from its initial state.
inline void fillLibrary(x47390_data::LibraryData& library)
{
    for (int i = 0; i < x47390_data::LibraryData::numPrograms; ++i)
        library.getProgramData(i) = makeProgram(i);
    for (int bank = 0; bank < 4; ++bank)
        for (int slot = 0; slot < 8; ++slot)
            library.getFavoriteData().entries[(size_t) bank][(size_t) slot] = bank * 100 + slot * 3;
    for (int i = 0; i < x47390_data::LibraryData::numTuneScales; ++i)
        library.getTuneScaleData(i) = makeScale(i);
    for (int i = 0; i < x47390_data::LibraryData::numTuneOcts; ++i)
        library.getTuneOctData(i) = makeOctave(i);
}
} // namespace ziptest
