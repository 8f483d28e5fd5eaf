// Opens or saves one library file through the program's own reader and writer, then exits, so that the
// whole process can be timed beside unzip and zip (bench/compare-zip-tools.sh):
//   bench_library_file open <file>            reads the file into a library, as File > Open does
//   bench_library_file save <file> <filled>   saves a library with that many filled programs, as File > Save
// Exits with the reader's or writer's error index.
#include "bench/BenchLibrary.h"
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "platform/system/MemorySettings.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    // As the program's main does.
    platform::keepFreedMemoryForReuse();
    const juce::String command = argc >= 3 ? argv[1] : "";
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile(argc >= 3 ? argv[2] : "");
    // The library the open document holds; opening reads into a new one and copies it over.
    auto document = std::make_unique<x47390_data::LibraryData>();
    if (command == "open" && argc == 3)
    {
        auto library = std::make_unique<x47390_data::LibraryData>();
        if (const int code = x47390_file::LibraryFileReader(library.get()).read(file))
            return code;
        document->copyFrom(*library);
        return 0;
    }
    if (command == "save" && argc == 4)
    {
        bench::fillLibrary(*document, juce::String(argv[3]).getIntValue());
        return x47390_file::LibraryFileWriter(document.get()).write(file);
    }
    std::fprintf(stderr, "usage: %s open <file> | save <file> <filled programs>\n", argv[0]);
    return 64;
}
