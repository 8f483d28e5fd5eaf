// Any bytes as a zip archive: the reader lists and inflates within its bounds or refuses.
#include "files/LibraryFileWriter.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/ProgramFileWriter.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        auto library = std::make_unique<x47390_data::LibraryData>();
        fuzzsupport::writeSeed(folder, "library",
                               fuzzsupport::writtenFile<x47390_file::LibraryFileWriter>(*library, ".snvrlib"));
        x47390_data::ProgramData program;
        fuzzsupport::writeSeed(folder, "program",
                               fuzzsupport::writtenFile<x47390_file::ProgramFileWriter>(program, ".snvrprog"));
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryBasedZipUncompressor zip(juce::MemoryBlock(data, size));
    const auto result = zip.uncompressAllEntries();
    if (result.failed())
        fuzzsupport::require(zip.uncompressedData.empty());

    juce::int64 total = 0;
    for (const auto& [name, bytes] : zip.uncompressedData)
        total += (juce::int64) bytes.getSize();
    fuzzsupport::require(total <= MemoryBasedZipUncompressor::maximumUncompressedSize);
    return 0;
}
