#pragma once

#include "data/Data.h"
#include "data/ProgramData.h"

#include <juce_core/juce_core.h>

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace x47390_data
{
// The description of a preset library, as its preset-information document carries it.
class PresetInformation
{
public:
    virtual ~PresetInformation() = default;

    void copyFrom(const PresetInformation& source);

    juce::String dataID;
    juce::String name;
    juce::String author;
    juce::String copyright;
    juce::String date;
    juce::String prefix;
    int version = 0;
    int numOfProg = 0;
};

// One read-only preset library: 500 programs, its description and a spare program for numbers out of range.
class PresetData : public data::Data
{
public:
    static constexpr int numPrograms = 500;

    PresetData() = default;
    // Copies the programs and the description; the copy's spare program is a new one.
    PresetData(const PresetData& source);
    PresetData& operator=(const PresetData& source);
    ~PresetData() override = default;

    // Out of range (taken as unsigned): prints "Preset Program Number Error: %d" and gives the spare program.
    ProgramData& getProgramData(int programNumber);
    const ProgramData& getProgramData(int programNumber) const;

    std::array<ProgramData, numPrograms> programs;
    PresetInformation information;

private:
    ProgramData spareProgram;
};

// The loaded preset libraries, in the order they were loaded.
class PresetLibrary : public data::Data
{
public:
    PresetLibrary() = default;
    ~PresetLibrary() override = default;

    // The preset library at that index, or the fallback (new programs, empty texts) when out of range.
    PresetData& getPresetData(int index);
    const PresetData& getPresetData(int index) const;

    int getNumPresetData() const noexcept { return (int) presets.size(); }
    void addPresetData(const PresetData& source); // stores a copy
    void addPresetData(std::unique_ptr<PresetData> preset); // takes the record over
    void clear() { presets.clear(); }
    // Empties the list and hands its records to the caller.
    std::vector<std::unique_ptr<PresetData>> takeAll() noexcept { return std::exchange(presets, {}); }

private:
    std::vector<std::unique_ptr<PresetData>> presets;
    PresetData fallback;

    JUCE_DECLARE_NON_COPYABLE(PresetLibrary)
};
} // namespace x47390_data
