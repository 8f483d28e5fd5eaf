// Any bytes as an older editor's library file: imported or refused with a read error.
#include "files/VoicingEditorLibraryDataImporter.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        (void) folder; // no writer of the older format: scripts/fuzz.sh adds a file built by the tests
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto input = fuzzsupport::writeInput(data, size, ".snvre_all");
    auto library = std::make_unique<x47390_data::LibraryData>();
    const int result = x47390_file::VoicingEditorLibraryDataImporter(library.get()).read(input);
    fuzzsupport::require(result >= 0 && result <= 41);
    return 0;
}
