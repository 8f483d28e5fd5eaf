#pragma once

#include "files/MemoryBasedZipBuilder.h"

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

namespace x47390_data
{
class FavoriteData;
class PresetInformation;
class ProgramData;
class TuneOctData;
class TuneScaleData;
} // namespace x47390_data

namespace x47390_file
{
// Collects the members of one library-type file (library, program, tuning or preset file) and writes
// the archive with its index document "FileInformation.xml" as the last member.
class ZipLibraryFileWriter
{
public:
    class FileInformation
    {
    public:
        explicit FileInformation(const juce::String& n) : name(n) {}
        virtual ~FileInformation() = default;
        juce::String name; // a member name, or the base name of a program or tuning
    };

    ZipLibraryFileWriter() = default;
    virtual ~ZipLibraryFileWriter() = default;

    // Member "LivesetData.lvs_data".
    void addLiveset(const x47390_data::FavoriteData& liveset);
    // Member "PresetInformation.xml".
    void addPresetInformation(const x47390_data::PresetInformation& information);

    // "Prog_NNN.prog_bin" and "Prog_NNN.prog_info", numbered in the order of adding.
    void addProgram(const x47390_data::ProgramData& program);
    // "TunS_NNN.TunS_bin" and "TunS_NNN.TunS_info".
    void addTuneScale(const x47390_data::TuneScaleData& scale);
    // "TunO_NNN.TunO_bin" and "TunO_NNN.TunO_info".
    void addTuneOct(const x47390_data::TuneOctData& octave);

    // Write the archive through a temporary file that replaces the target only when it is complete.
    // writeLibrary lists the live set in the index, writeSubset leaves it out. Return a write-error index.
    int writeLibrary(const juce::File& target);
    int writeSubset(const juce::File& target);

    // The finished archive in memory (the index added), for writing elsewhere; false when it cannot be built.
    bool buildArchive(bool withLiveset, juce::MemoryBlock& archive);

    static constexpr const char* indexMemberName = "FileInformation.xml";
    static constexpr const char* livesetMemberName = "LivesetData.lvs_data";
    static constexpr const char* presetInformationMemberName = "PresetInformation.xml";

private:
    // The names of one kind of numbered member pair.
    struct NumberedKind
    {
        const char* prefix;
        const char* binaryExtension;
        const char* informationExtension;
    };
    static const NumberedKind programKind, tuneScaleKind, tuneOctKind;

    // Adds the text in document as a member of that name.
    void addDocument(const char* name);
    void addNumbered(const NumberedKind& kind, const void* binary, size_t binarySize,
                     std::vector<FileInformation>& list);
    void writeIndex(bool withLiveset);
    int write(const juce::File& target, bool withLiveset);

    MemoryBasedZipBuilder builder;
    std::vector<FileInformation> livesetNames;
    std::vector<FileInformation> programNames;
    std::vector<FileInformation> presetInformationNames;
    std::vector<FileInformation> tuneScaleNames;
    std::vector<FileInformation> tuneOctNames;
    bool built = false;
    // Each document's text in turn, written straight from the records.
    std::string document;
};
} // namespace x47390_file
