// Writing and reading a full library file (500 programs, the live set, 6 user scales, 6 user octaves),
// in memory (archive bytes only), on a RAM file system and on disk.
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/ZipLibraryFileReader.h"
#include "files/ZipLibraryFileWriter.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace
{
using x47390_data::LibraryData;

// A library whose records all differ from the initial ones, so nothing compresses unusually well.
std::unique_ptr<LibraryData> makeLibrary()
{
    auto library = std::make_unique<LibraryData>();
    juce::Random random(42);
    for (int i = 0; i < LibraryData::numPrograms; ++i)
    {
        auto& program = library->getProgramData(i);
        program.setName("Sound " + juce::String(i));
        for (size_t k = 16; k < 332; k += 3)
            program.binary[k] = (juce::uint8) random.nextInt(128);
        program.updateHash();
        program.information.programmer = "Programmer " + juce::String(i % 7);
        program.information.comment = "A comment on program " + juce::String(i);
    }
    for (int bank = 0; bank < 4; ++bank)
        for (int slot = 0; slot < 8; ++slot)
            library->getFavoriteData().entries[(size_t) bank][(size_t) slot] = random.nextInt(500);
    for (int i = 0; i < LibraryData::numTuneScales; ++i)
    {
        auto& scale = library->getTuneScaleData(i);
        for (size_t k = 1; k < scale.notes.size(); k += 3)
            scale.notes[k] = (juce::uint8) random.nextInt(128);
        scale.updateHash();
    }
    for (int i = 0; i < LibraryData::numTuneOcts; ++i)
    {
        auto& octave = library->getTuneOctData(i);
        for (size_t k = 1; k < octave.notes.size(); k += 3)
            octave.notes[k] = (juce::uint8) random.nextInt(128);
        octave.updateHash();
    }
    return library;
}

const LibraryData& library()
{
    static const auto instance = makeLibrary();
    return *instance;
}

juce::MemoryBlock buildArchive()
{
    x47390_file::ZipLibraryFileWriter writer;
    writer.addLiveset(library().getFavoriteData());
    for (int i = 0; i < LibraryData::numPrograms; ++i)
        writer.addProgram(library().getProgramData(i));
    for (int i = 0; i < LibraryData::numTuneScales; ++i)
        writer.addTuneScale(library().getTuneScaleData(i));
    for (int i = 0; i < LibraryData::numTuneOcts; ++i)
        writer.addTuneOct(library().getTuneOctData(i));
    juce::MemoryBlock archive;
    writer.buildArchive(true, archive);
    return archive;
}

void writeInMemory(benchmark::State& state)
{
    size_t size = 0;
    for (auto _ : state)
    {
        const auto archive = buildArchive();
        size = archive.getSize();
        benchmark::DoNotOptimize(archive.getData());
    }
    state.counters["archive_bytes"] = (double) size;
}

void readInMemory(benchmark::State& state)
{
    const auto archive = buildArchive();
    for (auto _ : state)
    {
        x47390_file::ZipLibraryFileReader reader(archive);
        if (reader.parse() != 0)
            state.SkipWithError("the archive does not read");
        benchmark::DoNotOptimize(reader.programEntries.data());
    }
}

// The folder holding the files: a RAM file system, or the system's temporary folder (a disk here).
juce::File folderFor(int onDisk)
{
    const juce::File shm("/dev/shm");
    if (onDisk == 0 && shm.isDirectory())
        return shm;
    return juce::File::getSpecialLocation(juce::File::tempDirectory);
}

void writeFile(benchmark::State& state)
{
    const auto file = folderFor((int) state.range(0)).getNonexistentChildFile("bench", ".snvrlib", false);
    auto source = std::make_unique<LibraryData>(library());
    for (auto _ : state)
        if (x47390_file::LibraryFileWriter(source.get()).write(file) != 0)
            state.SkipWithError("the file cannot be written");
    file.deleteFile();
}

void readFile(benchmark::State& state)
{
    const auto file = folderFor((int) state.range(0)).getNonexistentChildFile("bench", ".snvrlib", false);
    auto source = std::make_unique<LibraryData>(library());
    x47390_file::LibraryFileWriter(source.get()).write(file);
    auto target = std::make_unique<LibraryData>();
    for (auto _ : state)
        if (x47390_file::LibraryFileReader(target.get()).read(file) != 0)
            state.SkipWithError("the file does not read");
    file.deleteFile();
}
} // namespace

BENCHMARK(writeInMemory)->Name("Library/WriteArchiveInMemory")->Unit(benchmark::kMillisecond);
BENCHMARK(readInMemory)->Name("Library/ReadArchiveInMemory")->Unit(benchmark::kMillisecond);
BENCHMARK(writeFile)->Name("Library/WriteFile")->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(readFile)->Name("Library/ReadFile")->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "--write-sample <file>" writes the benchmark's library file and exits (for comparisons with zip tools).
int main(int argc, char** argv)
{
    if (argc == 3 && juce::String(argv[1]) == "--write-sample")
    {
        auto source = std::make_unique<LibraryData>(library());
        return x47390_file::LibraryFileWriter(source.get())
            .write(juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
