#pragma once

#include "data/FavoriteData.h"
#include "data/PresetData.h"
#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "files/MemoryBasedZipUncompressor.h"

#include <juce_core/juce_core.h>

#include <vector>

namespace x47390_file
{
// Opens a library-type file, checks its index "FileInformation.xml" and every member the index names,
// and gathers the records as entries. The concrete readers decide which entries they take over.
class ZipLibraryFileReader
{
public:
    class FavoriteFileInformation
    {
    public:
        virtual ~FavoriteFileInformation() = default;
        juce::String name;
        x47390_data::FavoriteData liveset;
    };

    class ProgramFileInformation
    {
    public:
        virtual ~ProgramFileInformation() = default;
        juce::String informationName;
        juce::String binaryName;
        // A copy of the initial program: making a new one would hash it again, for each of 500 entries.
        x47390_data::ProgramData program{x47390_data::getDefaultProgramData()};
    };

    class PresetInformationFileInformation
    {
    public:
        PresetInformationFileInformation();
        virtual ~PresetInformationFileInformation() = default;
        juce::String name;
        x47390_data::PresetInformation information;
    };

    class TuneScaleFileInformation
    {
    public:
        virtual ~TuneScaleFileInformation() = default;
        juce::String informationName;
        juce::String binaryName;
        x47390_data::TuneScaleData scale;
    };

    class TuneOctFileInformation
    {
    public:
        virtual ~TuneOctFileInformation() = default;
        juce::String informationName;
        juce::String binaryName;
        x47390_data::TuneOctData octave;
    };

    explicit ZipLibraryFileReader(const juce::File& file);
    // An archive already in memory.
    explicit ZipLibraryFileReader(const juce::MemoryBlock& archiveBytes);
    virtual ~ZipLibraryFileReader();

    // Returns a read-error index; only after 0 may the entry lists be taken over. Call once.
    int parse();

    std::vector<FavoriteFileInformation> livesetEntries;
    std::vector<ProgramFileInformation> programEntries;
    std::vector<PresetInformationFileInformation> presetInformationEntries;
    std::vector<TuneScaleFileInformation> tuneScaleEntries;
    std::vector<TuneOctFileInformation> tuneOctEntries;

private:
    // Checks the index and gathers the entries it names, from either kind of tree.
    template <class Node>
    int readIndex(const Node& index);
    int checkEntries();
    const MemoryBasedZipUncompressor::MemberBytes* member(const juce::String& name) const;

    MemoryBasedZipUncompressor archive;
};
} // namespace x47390_file
