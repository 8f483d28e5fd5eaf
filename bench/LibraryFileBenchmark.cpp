// Writing and reading a full library file (500 programs, the live set, 6 user scales, 6 user octaves),
// in memory (archive bytes only), on a RAM file system and on disk. The in-memory cases run beside zlib
// alone on the same members, turn about in every iteration, and report the ratio to it.
#include "bench/BenchLibrary.h"
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/ZipLibraryFileReader.h"
#include "files/ZipLibraryFileWriter.h"
#include "platform/system/MemorySettings.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace
{
using x47390_data::LibraryData;

const LibraryData& library()
{
    static const auto instance = []
    {
        auto filled = std::make_unique<LibraryData>();
        bench::fillLibrary(*filled, LibraryData::numPrograms);
        return filled;
    }();
    return *instance;
}

// As LibraryFileWriter does, without the file.
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

// The floor of any reader and writer of the archive: zlib alone on the same members, its streams and
// buffers made once beforehand. Inflating checks each member's CRC-32; deflating (level 5, as the
// writer) computes it.
class ZlibOnTheMembers
{
public:
    explicit ZlibOnTheMembers(const juce::MemoryBlock& archive) : bytes(archive)
    {
        MemoryBasedZipUncompressor zip(archive);
        const auto* base = static_cast<const juce::uint8*>(bytes.getData());
        size_t total = 0;
        for (const auto& entry : zip.entries)
        {
            const auto* local = base + entry.localHeaderOffset;
            const auto nameAndExtra = (size_t) (local[26] | (local[27] << 8)) + (size_t) (local[28] | (local[29] << 8));
            members.push_back({local + 30 + nameAndExtra, entry.compressedSize, entry.uncompressedSize, entry.crc32,
                               total});
            total += entry.uncompressedSize;
        }
        plain.resize(total + 1);
        deflated.resize(total * 2 + members.size() * 64);
        inflateInit2(&inflater, -15);
        deflateInit2(&deflater, 5, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        if (!inflateAll())
            throw std::runtime_error("the archive does not inflate");
    }

    ~ZlibOnTheMembers()
    {
        inflateEnd(&inflater);
        deflateEnd(&deflater);
    }

    bool inflateAll()
    {
        bool ok = true;
        for (const auto& m : members)
        {
            inflateReset(&inflater);
            inflater.next_in = const_cast<Bytef*>(m.deflated);
            inflater.avail_in = m.deflatedSize;
            inflater.next_out = plain.data() + m.plainAt;
            inflater.avail_out = m.size + 1;
            ok = inflate(&inflater, Z_FINISH) == Z_STREAM_END && ok;
            ok = crc32(0, plain.data() + m.plainAt, m.size) == m.crc && ok;
        }
        return ok;
    }

    size_t deflateAll()
    {
        size_t at = 0;
        uLong crcs = 0;
        for (const auto& m : members)
        {
            deflateReset(&deflater);
            deflater.next_in = plain.data() + m.plainAt;
            deflater.avail_in = m.size;
            deflater.next_out = deflated.data() + at;
            deflater.avail_out = (uInt) (deflated.size() - at);
            deflate(&deflater, Z_FINISH);
            at += deflater.total_out;
            crcs ^= crc32(0, plain.data() + m.plainAt, m.size);
        }
        return at + (crcs & 1);
    }

private:
    struct Member
    {
        const juce::uint8* deflated;
        juce::uint32 deflatedSize;
        juce::uint32 size;
        juce::uint32 crc;
        size_t plainAt;
    };

    juce::MemoryBlock bytes;
    std::vector<Member> members;
    std::vector<Bytef> plain;
    std::vector<Bytef> deflated;
    z_stream inflater{};
    z_stream deflater{};
};

// Wall time, and the process's CPU time (which counts the reader's and writer's worker threads too), which
// a busy machine disturbs less.
struct Seconds
{
    double wall = 0;
    double cpu = 0;
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double) t.tv_sec + (double) t.tv_nsec / 1e9;
}

template <class Fn>
Seconds secondsOf(Fn&& fn)
{
    const auto cpu = processCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    fn();
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            processCpuSeconds() - cpu};
}

// Runs ours and the reference in turn, the order swapped each iteration; the benchmark's time is our wall
// time. The counters give the reference's times and the ratios ours / reference of wall and CPU time.
template <class Ours, class Reference>
void againstReference(benchmark::State& state, Ours&& ours, Reference&& reference)
{
    Seconds oursTotal, referenceTotal;
    bool oursFirst = true;
    for (auto _ : state)
    {
        Seconds oursTime, referenceTime;
        if (oursFirst)
            oursTime = secondsOf(ours), referenceTime = secondsOf(reference);
        else
            referenceTime = secondsOf(reference), oursTime = secondsOf(ours);
        oursFirst = !oursFirst;
        state.SetIterationTime(oursTime.wall);
        oursTotal.wall += oursTime.wall;
        oursTotal.cpu += oursTime.cpu;
        referenceTotal.wall += referenceTime.wall;
        referenceTotal.cpu += referenceTime.cpu;
    }
    const auto perIteration = benchmark::Counter::kAvgIterations;
    state.counters["zlib_ms"] = benchmark::Counter(referenceTotal.wall * 1000, perIteration);
    state.counters["cpu_ms"] = benchmark::Counter(oursTotal.cpu * 1000, perIteration);
    state.counters["zlib_cpu_ms"] = benchmark::Counter(referenceTotal.cpu * 1000, perIteration);
    state.counters["ratio"] = oursTotal.wall / referenceTotal.wall;
    state.counters["cpu_ratio"] = oursTotal.cpu / referenceTotal.cpu;
}

void writeInMemory(benchmark::State& state)
{
    ZlibOnTheMembers zlib(buildArchive());
    againstReference(
        state,
        [&]
        {
            const auto archive = buildArchive();
            benchmark::DoNotOptimize(archive.getData());
        },
        [&] { benchmark::DoNotOptimize(zlib.deflateAll()); });
}

void readInMemory(benchmark::State& state)
{
    const auto archive = buildArchive();
    ZlibOnTheMembers zlib(archive);
    againstReference(
        state,
        [&]
        {
            x47390_file::ZipLibraryFileReader reader(archive);
            if (reader.parse() != 0)
                state.SkipWithError("the archive does not read");
            benchmark::DoNotOptimize(reader.programEntries.data());
        },
        [&]
        {
            if (!zlib.inflateAll())
                state.SkipWithError("zlib does not inflate the archive");
        });
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

double smallest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double largest(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

// Medians and ranges over repetitions: the ratio to zlib is the figure that holds on a busy machine.
void againstZlib(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()
        ->MinTime(0.3)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", smallest)
        ->ComputeStatistics("max", largest)
        ->Unit(benchmark::kMillisecond);
}
} // namespace

BENCHMARK(writeInMemory)->Name("Library/WriteArchiveInMemory")->Apply(againstZlib);
BENCHMARK(readInMemory)->Name("Library/ReadArchiveInMemory")->Apply(againstZlib);
BENCHMARK(writeFile)->Name("Library/WriteFile")->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(readFile)->Name("Library/ReadFile")->ArgName("disk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// "--write-sample <file>" writes the benchmark's library file and exits (for comparisons with zip tools).
// "--glibc-default-allocator" leaves the allocator as the C library sets it up; without it, the benchmark
// sets it up as the program does.
int main(int argc, char** argv)
{
    if (argc == 3 && juce::String(argv[1]) == "--write-sample")
    {
        auto source = std::make_unique<LibraryData>(library());
        return x47390_file::LibraryFileWriter(source.get())
            .write(juce::File::getCurrentWorkingDirectory().getChildFile(argv[2]));
    }
    const auto defaultAllocator = std::find_if(argv + 1, argv + argc, [](const char* argument)
                                               { return std::strcmp(argument, "--glibc-default-allocator") == 0; });
    if (defaultAllocator != argv + argc)
        std::rotate(defaultAllocator, defaultAllocator + 1, argv + argc--);
    else
        platform::keepFreedMemoryForReuse();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
