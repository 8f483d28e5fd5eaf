// Scala scale import: the largest scale the importer takes (512 notes) into a user scale and a user octave, and a
// 612-note scale, which is refused with 32 as soon as its count has been read.
#include "data/ApplicationUndoManager.h"
#include "data/TuningSelection.h"
#include "files/ScalaDataImporter.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "platform/system/MemorySettings.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
juce::File benchFolder;

// An equal division of the octave in the usual layout: cents, with the octave as the ratio 2/1.
juce::File writeEqualDivision(int notes)
{
    juce::String text;
    text << "! " << notes << "-EDO.scl\n!\n" << notes << "-tone equal temperament\n " << notes << "\n!\n";
    for (int i = 1; i < notes; ++i)
        text << " " << juce::String(1200.0 * i / notes, 5) << "\n";
    text << " 2/1\n";
    const auto file = benchFolder.getChildFile(juce::String(notes) + "-EDO.scl");
    file.replaceWithText(text, false, false, "\n");
    return file;
}

void importScale(benchmark::State& state, int notes, int slot, int expected)
{
    const auto file = writeEqualDivision(notes);
    currentTuningSlot = (std::uint8_t) slot;
    for (auto _ : state)
    {
        x47390_file::ScalaDataImporter importer;
        if (importer.read(file) != expected)
            state.SkipWithError("unexpected import result");
        state.PauseTiming();
        application::ApplicationUndoManager::getInstance()->clearUndoHistory();
        state.ResumeTiming();
    }
}
} // namespace

BENCHMARK_CAPTURE(importScale, Notes512IntoUserScale, 512, 6, 0)
    ->Name("Scala/Import512/UserScale")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(importScale, Notes512IntoUserOctave, 512, 0, 0)
    ->Name("Scala/Import512/UserOctave")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(importScale, Notes612Refused, 612, 6, 32)->Name("Scala/Refuse612")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // As the program does.
    platform::keepFreedMemoryForReuse();
    juce::ScopedJuceInitialiser_GUI juce;
    // No instrument: tunings handed over for sending go to an empty virtual MIDI system.
    platform::midi::MidiBackend::setDefault(platform::midi::VirtualMidiFabric::create());
    midi::MidiDeviceManager::getInstance();
    benchFolder =
        juce::File::getSpecialLocation(juce::File::tempDirectory).getNonexistentChildFile("sonavire-bench", "", false);
    benchFolder.createDirectory();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchFolder.deleteRecursively();
    return 0;
}
