// Any bytes as a library file: a file that reads writes back and reads again to the same records,
// and a failed read leaves the target as it was.
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        auto library = std::make_unique<x47390_data::LibraryData>();
        fuzzsupport::writeSeed(folder, "initial",
                               fuzzsupport::writtenFile<x47390_file::LibraryFileWriter>(*library, ".snvrlib"));
        library->getProgramData(7).information.comment = juce::String::fromUTF8("Bright pad \xc3\xa9");
        library->getFavoriteData().entries[1][2] = 7;
        library->getTuneOctData(3).notes[5] = 0x40;
        fuzzsupport::writeSeed(folder, "edited",
                               fuzzsupport::writtenFile<x47390_file::LibraryFileWriter>(*library, ".snvrlib"));
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto input = fuzzsupport::writeInput(data, size, ".snvrlib");

    auto first = std::make_unique<x47390_data::LibraryData>();
    using namespace x47390_file;
    if (LibraryFileReader(first.get()).read(input) != 0)
    {
        x47390_data::LibraryData untouched;
        fuzzsupport::require(fuzzsupport::sameLibrary(*first, untouched));
        return 0;
    }

    const auto output = fuzzsupport::inputFile(".snvrlib", "written");
    fuzzsupport::require(LibraryFileWriter(first.get()).write(output) == 0);
    auto second = std::make_unique<x47390_data::LibraryData>();
    fuzzsupport::require(LibraryFileReader(second.get()).read(output) == 0);
    fuzzsupport::require(fuzzsupport::sameLibrary(*first, *second));
    return 0;
}
