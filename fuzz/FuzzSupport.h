#pragma once

// Shared pieces of the fuzz targets: JUCE set up once, the input written to a file, record comparisons.

#include "data/LibraryData.h"
#include "data/PresetData.h"
#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"

#include <juce_events/juce_events.h>

#include <cstdint>
#include <cstdlib>

#include <unistd.h>

namespace fuzzsupport
{
// Called from LLVMFuzzerInitialize. With SONAVIRE_FUZZ_SEEDS naming a folder, the target only writes
// its seed inputs there (made by our own writers, so they follow the current formats) and exits.
template <class SeedWriter>
void initialise(SeedWriter writeSeeds);

inline void initialiseOnce()
{
    static juce::ScopedJuceInitialiser_GUI* initialiser = nullptr;
    if (initialiser == nullptr)
    {
        // Preferences and preset folders go to a private folder, never to the user's.
        const auto home = juce::File::getSpecialLocation(juce::File::tempDirectory)
                              .getChildFile("sonavire-fuzz-" + juce::String((int) getpid()));
        home.createDirectory();
        setenv("XDG_CONFIG_HOME", home.getFullPathName().toRawUTF8(), 1);
        initialiser = new juce::ScopedJuceInitialiser_GUI();
    }
}

// A file of this process for the input, with the extension the reader expects.
inline juce::File inputFile(const juce::String& extension, const juce::String& stem = "input")
{
    return juce::File::getSpecialLocation(juce::File::tempDirectory)
        .getChildFile("sonavire-fuzz-" + juce::String((int) getpid()))
        .getChildFile(stem + extension);
}

template <class SeedWriter>
void initialise(SeedWriter writeSeeds)
{
    initialiseOnce();
    if (const char* folder = std::getenv("SONAVIRE_FUZZ_SEEDS"); folder != nullptr && *folder != 0)
    {
        const juce::File target(juce::String::fromUTF8(folder));
        target.createDirectory();
        writeSeeds(target);
        std::exit(0);
    }
}

// Writes one seed input; a prefix byte selects the reader in targets that serve several.
inline void writeSeed(const juce::File& folder, const juce::String& name, const juce::MemoryBlock& bytes,
                      int prefix = -1)
{
    juce::MemoryBlock seed;
    if (prefix >= 0)
    {
        const auto selector = (uint8_t) prefix;
        seed.append(&selector, 1);
    }
    seed.append(bytes.getData(), bytes.getSize());
    folder.getChildFile(name).replaceWithData(seed.getData(), seed.getSize());
}

// Writes a record through its file writer and returns the file's bytes.
template <class Writer, class Record>
juce::MemoryBlock writtenFile(Record& record, const juce::String& extension)
{
    const auto file = inputFile(extension, "seed");
    file.getParentDirectory().createDirectory();
    juce::MemoryBlock bytes;
    if (Writer(&record).write(file) == 0)
        file.loadFileAsData(bytes);
    return bytes;
}

inline juce::File writeInput(const uint8_t* data, size_t size, const juce::String& extension,
                             const juce::String& stem = "input")
{
    auto file = inputFile(extension, stem);
    file.getParentDirectory().createDirectory();
    if (!file.replaceWithData(data, size))
        std::abort();
    return file;
}

// Stops the run with a crash the fuzzer records, so a broken invariant is kept as a finding.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

inline bool sameProgram(const x47390_data::ProgramData& a, const x47390_data::ProgramData& b)
{
    return a.binary == b.binary && a.information.programmer == b.information.programmer
           && a.information.comment == b.information.comment;
}

inline bool sameTuneScale(const x47390_data::TuneScaleData& a, const x47390_data::TuneScaleData& b)
{
    return a.notes == b.notes && a.information.programmer == b.information.programmer
           && a.information.comment == b.information.comment;
}

inline bool sameTuneOct(const x47390_data::TuneOctData& a, const x47390_data::TuneOctData& b)
{
    return a.notes == b.notes && a.information.programmer == b.information.programmer
           && a.information.comment == b.information.comment;
}

inline bool sameLibrary(x47390_data::LibraryData& a, x47390_data::LibraryData& b)
{
    using Library = x47390_data::LibraryData;
    for (int i = 0; i < Library::numPrograms; ++i)
        if (!sameProgram(a.getProgramData(i), b.getProgramData(i)))
            return false;
    for (int i = 0; i < Library::numTuneScales; ++i)
        if (!sameTuneScale(a.getTuneScaleData(i), b.getTuneScaleData(i)))
            return false;
    for (int i = 0; i < Library::numTuneOcts; ++i)
        if (!sameTuneOct(a.getTuneOctData(i), b.getTuneOctData(i)))
            return false;
    return a.getFavoriteData().entries == b.getFavoriteData().entries;
}
} // namespace fuzzsupport
