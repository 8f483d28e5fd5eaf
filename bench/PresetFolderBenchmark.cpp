// Reading preset libraries, as the start-up does: one preset file, the preset folder with 10, 100, 300 and
// 1,000 installed libraries, and, for comparison, nothing but zlib inflating the same archive members.
// A reload reports its time per library, the pages it faulted in and the heap it holds per library.
#include "data/PresetData.h"
#include "files/FactoryPresetLibrary.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileReader.h"
#include "files/PresetFileWriter.h"
#include "platform/system/MemorySettings.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

namespace
{
juce::File home;
juce::File sampleFile;

juce::uint16 u16(const juce::uint8* p) { return (juce::uint16) (p[0] | (p[1] << 8)); }
juce::uint32 u32(const juce::uint8* p)
{
    return (juce::uint32) p[0] | ((juce::uint32) p[1] << 8) | ((juce::uint32) p[2] << 16) | ((juce::uint32) p[3] << 24);
}

// The file read into memory and every member inflated with zlib into one reused buffer: the floor of any
// reader of the archive. No checks but the ones zlib makes.
size_t inflateEveryMember(const juce::File& file)
{
    juce::MemoryBlock archive;
    file.loadFileAsData(archive);
    const auto* bytes = static_cast<const juce::uint8*>(archive.getData());
    const size_t size = archive.getSize();
    size_t end = size - 22;
    while (end > 0 && u32(bytes + end) != 0x06054b50)
        --end;
    const size_t count = u16(bytes + end + 10);
    size_t at = u32(bytes + end + 16);

    static std::vector<Bytef> buffer;
    z_stream stream{};
    inflateInit2(&stream, -15);
    size_t total = 0;
    for (size_t i = 0; i < count; ++i)
    {
        const auto* record = bytes + at;
        const auto compressed = u32(record + 20);
        const auto uncompressed = u32(record + 24);
        const auto* local = bytes + u32(record + 42);
        const auto* data = local + 30 + u16(local + 26) + u16(local + 28);
        at += 46 + u16(record + 28) + u16(record + 30) + u16(record + 32);
        if (buffer.size() < uncompressed)
            buffer.resize(uncompressed);
        inflateReset(&stream);
        stream.next_in = const_cast<Bytef*>(data);
        stream.avail_in = compressed;
        stream.next_out = buffer.data();
        stream.avail_out = uncompressed;
        inflate(&stream, Z_FINISH);
        total += stream.total_out;
    }
    inflateEnd(&stream);
    return total;
}

void inflateMembers(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(inflateEveryMember(sampleFile));
}

// The archive layer alone: the directory read and every member inflated and checked (sizes, CRC-32).
void inflateCheckedMembers(benchmark::State& state)
{
    for (auto _ : state)
    {
        MemoryBasedZipUncompressor archive(sampleFile);
        if (archive.inflateAllEntries().failed())
            state.SkipWithError("the archive does not inflate");
        benchmark::DoNotOptimize(archive.findMember("FileInformation.xml"));
    }
}

// Reading into a new record, as the preset folder's reload does for each file.
void readPresetFile(benchmark::State& state)
{
    for (auto _ : state)
    {
        auto preset = std::make_unique<x47390_data::PresetData>();
        if (x47390_file::PresetFileReader(preset.get()).read(sampleFile) != 0)
            state.SkipWithError("the preset file does not read");
        benchmark::DoNotOptimize(preset->programs[499].md5);
    }
}

// The manager of a preferences folder holding that many preset libraries: the factory library's programs
// under other identities, the size and content of real preset files. Made on first use.
x47390_file::PresetFileManager* managerWith(int libraries)
{
    static std::map<int, juce::File> folders;
    auto& folder = folders[libraries];
    const bool made = folder != juce::File();
    if (!made)
        folder = home.getChildFile("presets-" + juce::String(libraries));
    setenv("XDG_CONFIG_HOME", folder.getFullPathName().toRawUTF8(), 1);
    delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
    auto* manager = x47390_file::PresetFileManager::getInstance();
    if (made)
        return manager;

    auto preset = std::make_unique<x47390_data::PresetData>();
    x47390_file::PresetFileReader(preset.get()).read(sampleFile);
    const auto source = home.getChildFile("source.snvrpreset");
    for (int i = 0; i < libraries; ++i)
    {
        preset->information.dataID = "BENCH-" + juce::String(i);
        preset->information.name = "Bench " + juce::String(i);
        if (x47390_file::PresetFileWriter(preset.get()).write(source) != 0 || !manager->importPresetFile(source))
            return nullptr;
    }
    return manager;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// A reload replaces the list the program holds, as the program's reload does.
void reloadPresetFolder(benchmark::State& state)
{
    const int libraries = (int) state.range(0);
    auto* manager = managerWith(libraries);
    if (manager == nullptr)
    {
        state.SkipWithError("the preset folder was not made");
        return;
    }
    x47390_data::PresetLibrary held;
    const auto heapBefore = mallinfo2().uordblks;
    manager->reloadPresetLibraries(held);
    const long faultsBefore = minorFaults();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
    {
        if (manager->reloadPresetLibraries(held) != 0 || held.getNumPresetData() != libraries)
            state.SkipWithError("the preset folder does not reload");
    }
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["ms_per_library"] = elapsed.count() / (double) state.iterations() / libraries;
    state.counters["faults_per_reload"] =
        benchmark::Counter((double) (minorFaults() - faultsBefore), benchmark::Counter::kAvgIterations);
    state.counters["heap_KB_per_library"] =
        (double) (mallinfo2().uordblks - heapBefore) / 1024.0 / (double) libraries;
}
} // namespace

BENCHMARK(inflateMembers)->Name("PresetFile/InflateMembersOnly")->Unit(benchmark::kMillisecond);
BENCHMARK(inflateCheckedMembers)->Name("PresetFile/InflateAndCheckMembers")->Unit(benchmark::kMillisecond);
BENCHMARK(readPresetFile)->Name("PresetFile/Read")->Unit(benchmark::kMillisecond);
BENCHMARK(reloadPresetFolder)
    ->Name("PresetFolder/Reload")
    ->Arg(10)
    ->Arg(100)
    ->Arg(300)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char** argv)
{
    // As the program does.
    platform::keepFreedMemoryForReuse();
    juce::ScopedJuceInitialiser_GUI juce;
    // A private preferences folder, so the user's preset folder is never touched.
    home = juce::File::getSpecialLocation(juce::File::tempDirectory).getNonexistentChildFile("sonavire-bench", "", false);
    home.createDirectory();

    sampleFile = home.getChildFile("factory.snvrpreset");
    sampleFile.replaceWithData(x47390_file::getFactoryPresetLibraryData(), x47390_file::getFactoryPresetLibrarySize());
    auto preset = std::make_unique<x47390_data::PresetData>();
    if (x47390_file::PresetFileReader(preset.get()).read(sampleFile) != 0)
        return 1;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::DeletedAtShutdown::deleteAll();
    home.deleteRecursively();
    return 0;
}
