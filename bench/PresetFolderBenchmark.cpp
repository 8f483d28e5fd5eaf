// Reloading the preset folder with 50 installed preset libraries (500 programs each), as at start-up.
#include "data/PresetData.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileWriter.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

#include <cstdlib>

namespace
{
constexpr int installedPresets = 50;

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

BENCHMARK(reloadPresetFolder)->Name("PresetFolder/Reload50")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    // A private preferences folder, so the user's preset folder is never touched.
    const auto home = juce::File::getSpecialLocation(juce::File::tempDirectory)
                          .getNonexistentChildFile("sonavire-bench", "", false);
    home.createDirectory();
    setenv("XDG_CONFIG_HOME", home.getFullPathName().toRawUTF8(), 1);

    const auto source = home.getChildFile("source.snvrpreset");
    for (int i = 0; i < installedPresets; ++i)
    {
        auto preset = std::make_unique<x47390_data::PresetData>();
        preset->information.dataID = "BENCH-" + juce::String(i);
        preset->information.name = "Bench " + juce::String(i);
        preset->information.numOfProg = 500;
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
