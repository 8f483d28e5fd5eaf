#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class LibraryData;
}

namespace x47390_file
{
// Takes the 500 programs (binaries, Programmer and Comment texts) of an older editor's library
// file (".snvre_all") into a library record; nothing else of the record is touched.
class VoicingEditorLibraryDataImporter : public file::FileReader
{
public:
    explicit VoicingEditorLibraryDataImporter(x47390_data::LibraryData* target);
    ~VoicingEditorLibraryDataImporter() override;

    // 0, or read error 1 (open), 3 (a chunk is missing or there is no program set), 4 (no container
    // header), 5 (not a library), 7 (a program chunk is missing or cut short), 8 (not a program
    // chunk) or 12 (the program set does not hold 500 programs). On an error the programs read
    // before it are already in the target; callers install the record only on 0.
    int read(const juce::File& file) override;

    // The chunk names are nine characters long; the editor's 8-byte tag fields hold their last eight.
    static constexpr const char* libraryTag = "7390AllD";
    static constexpr const char* programSetTag = "7390PrgS";
    static constexpr const char* programTag = "7390PrgD";

    static constexpr int programCount = 500;
    static constexpr int programBinarySize = 336;
    static constexpr int programGapSize = 32;
    static constexpr int programmerSize = 24;
    static constexpr int commentSize = 64;
    static constexpr int programTrailerSize = 24;
    static constexpr int programDataSize =
        programBinarySize + programGapSize + programmerSize + commentSize + programTrailerSize;

private:
    x47390_data::LibraryData* target;
};
} // namespace x47390_file
