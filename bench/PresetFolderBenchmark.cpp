// Reading preset libraries, as the start-up does: one preset file, the preset folder with 100 installed
// libraries, and, for comparison, nothing but zlib inflating the same archive members.
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

#include <cstdlib>
#include <vector>

namespace
{
constexpr int installedPresets = 100;
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

// Reading into a record, as the preset folder's reload does for each file.
void readPresetFile(benchmark::State& state)
{
    auto preset = std::make_unique<x47390_data::PresetData>();
    for (auto _ : state)
    {
        if (x47390_file::PresetFileReader(preset.get()).read(sampleFile) != 0)
            state.SkipWithError("the preset file does not read");
        benchmark::DoNotOptimize(preset->programs[499].md5);
    }
}

void reloadPresetFolder(benchmark::State& state)
{
    auto* manager = x47390_file::PresetFileManager::getInstance();
    for (auto _ : state)
    {
        x47390_data::PresetLibrary libraries;
        if (manager->reloadPresetLibraries(libraries) != 0 || libraries.getNumPresetData() != installedPresets)
            state.SkipWithError("the preset folder does not reload");
    }
}
} // namespace

BENCHMARK(inflateMembers)->Name("PresetFile/InflateMembersOnly")->Unit(benchmark::kMillisecond);
BENCHMARK(inflateCheckedMembers)->Name("PresetFile/InflateAndCheckMembers")->Unit(benchmark::kMillisecond);
BENCHMARK(readPresetFile)->Name("PresetFile/Read")->Unit(benchmark::kMillisecond);
BENCHMARK(reloadPresetFolder)->Name("PresetFolder/Reload100")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // As the program does.
    platform::keepFreedMemoryForReuse();
    juce::ScopedJuceInitialiser_GUI juce;
    // A private preferences folder, so the user's preset folder is never touched.
    const auto home = juce::File::getSpecialLocation(juce::File::tempDirectory)
                          .getNonexistentChildFile("sonavire-bench", "", false);
    home.createDirectory();
    setenv("XDG_CONFIG_HOME", home.getFullPathName().toRawUTF8(), 1);

    // The factory library's programs under 100 identities: the size and content of real preset files.
    sampleFile = home.getChildFile("factory.snvrpreset");
    sampleFile.replaceWithData(x47390_file::getFactoryPresetLibraryData(), x47390_file::getFactoryPresetLibrarySize());
    auto preset = std::make_unique<x47390_data::PresetData>();
    if (x47390_file::PresetFileReader(preset.get()).read(sampleFile) != 0)
        return 1;
    const auto source = home.getChildFile("source.snvrpreset");
    for (int i = 0; i < installedPresets; ++i)
    {
        preset->information.dataID = "BENCH-" + juce::String(i);
        preset->information.name = "Bench " + juce::String(i);
        if (x47390_file::PresetFileWriter(preset.get()).write(source) != 0
            || !x47390_file::PresetFileManager::getInstance()->importPresetFile(source))
            return 1;
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    juce::DeletedAtShutdown::deleteAll();
    home.deleteRecursively();
    return 0;
}
