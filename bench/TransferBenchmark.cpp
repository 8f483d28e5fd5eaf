// Receive Library and Write Library against the simulated instrument on the virtual MIDI fabric.
//  1. instant instrument: wall time of the whole transfer (the software's own time);
//  2. instrument answering each message after 2 ms: CPU time of the communication thread, and of the whole
//     process (instrument and fabric included), as a share of the wall time.
// Run from a Release build: build/bench/bench/bench_transfers

#include "data/LibraryData.h"
#include "midi/LibraryTransferProcesses.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "platform/system/MemorySettings.h"
#include "tools/simulator/FabricInstrument.h"

#include <juce_events/juce_events.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{
double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return (double) ts.tv_sec + (double) ts.tv_nsec * 1e-9;
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return (double) ts.tv_sec + (double) ts.tv_nsec * 1e-9;
}

struct Figures
{
    int result = -1;
    double wallMs = 0;
    double threadCpuMs = 0;
    double processCpuMs = 0;
};

// Runs the process on a thread of its own, as the communication dialog does, and measures it.
class Runner : public juce::Thread
{
public:
    explicit Runner(midi::MidiCommunicationProcess& p) : juce::Thread("MidiCommunicationThread"), process(p) {}

    Figures measure()
    {
        const double processStart = processCpuSeconds();
        startThread();
        finished.wait(-1); // blocks, unlike waitForThreadToExit, which polls
        waitForThreadToExit(-1);
        figures.processCpuMs = (processCpuSeconds() - processStart) * 1000.0;
        return figures;
    }

    void run() override
    {
        process.communicationThread = this;
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuSeconds();
        figures.result = process.execute();
        figures.threadCpuMs = (threadCpuSeconds() - cpuStart) * 1000.0;
        figures.wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wallStart).count();
        finished.signal();
    }

private:
    midi::MidiCommunicationProcess& process;
    Figures figures;
    juce::WaitableEvent finished;
};

template <class Process, class Library>
Figures runOnce(Library* library)
{
    Process process(library);
    Runner runner(process);
    return runner.measure();
}

void report(const char* name, std::vector<Figures> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Figures& a, const Figures& b) { return a.wallMs < b.wallMs; });
    const auto& median = runs[runs.size() / 2];
    std::printf("%-34s result %d  wall %8.1f ms (best %7.1f)  comm. thread CPU %6.1f ms (%4.1f%%)  "
                "process CPU %6.1f ms (%4.1f%%)\n",
                name, median.result, median.wallMs, runs.front().wallMs, median.threadCpuMs,
                100.0 * median.threadCpuMs / median.wallMs, median.processCpuMs,
                100.0 * median.processCpuMs / median.wallMs);
}
// CPU ticks (user, system) of every live thread so far; for finding where time goes.
void printThreadTimes()
{
    for (const auto& task : juce::File("/proc/self/task").findChildFiles(juce::File::findDirectories, false))
    {
        const auto stat = juce::StringArray::fromTokens(
            task.getChildFile("stat").loadFileAsString().fromLastOccurrenceOf(")", false, false), " ", "");
        std::printf("    thread %-20s user %s system %s\n",
                    task.getChildFile("comm").loadFileAsString().trim().toRawUTF8(), stat[12].toRawUTF8(),
                    stat[13].toRawUTF8());
    }
}

// Opens the device manager's ports on the first source and destination; false when there are none.
bool openPorts()
{
    auto* manager = midi::MidiDeviceManager::getInstance();
    manager->familyCode = 0x0135;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        if (manager->getMidi().getNumSources() > 0 && manager->getMidi().getNumDestinations() > 0)
            return manager->getMidi().openInput(0) && manager->getMidi().openOutput(0);
        juce::Thread::sleep(20);
    }
    return false;
}

void closePorts()
{
    if (auto* manager = midi::MidiDeviceManager::getInstanceWithoutCreating())
    {
        manager->getMidi().closeInput();
        manager->getMidi().closeOutput();
        delete manager;
    }
}

void runSet(const char* title, int runs)
{
    std::vector<Figures> receives, writes;
    for (int i = 0; i < runs; ++i)
    {
        x47390_data::LibraryData library;
        receives.push_back(runOnce<x47390_midi::ReceiveLibraryProcess>(&library));
        writes.push_back(runOnce<x47390_midi::WriteLibraryProcess, const x47390_data::LibraryData>(&library));
    }
    std::printf("%s, median of %d runs:\n", title, runs);
    report("  Receive Library (514 exchanges)", receives);
    report("  Write Library (515 exchanges)", writes);
}
} // namespace

// With the path of the sonavire-simulator program as argument, the 2 ms case is also run against the instrument in
// a process of its own over the socket bridge, so that the process CPU figure is the program's alone.
int main(int argc, char** argv)
{
    // As the program does.
    platform::keepFreedMemoryForReuse();
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    {
        auto fabric = platform::midi::VirtualMidiFabric::create();
        platform::midi::MidiBackend::setDefault(fabric);
        simulator::SimulatedInstrument instrument;
        simulator::FabricInstrument plugged(fabric, instrument);
        if (!openPorts())
        {
            std::printf("cannot open the virtual ports\n");
            return 1;
        }
        instrument.setReplyDelayMs(0);
        runSet("in-process instrument on the virtual fabric, instant answers", 9);
        instrument.setReplyDelayMs(2);
        runSet("in-process instrument on the virtual fabric, answers after 2 ms", 3);
        closePorts();
        platform::midi::MidiBackend::setDefault(nullptr);
    }

    if (argc > 1)
    {
        const auto socket = juce::File::getSpecialLocation(juce::File::tempDirectory)
                                .getNonexistentChildFile("sonavire-bench", ".sock", false);
        juce::ChildProcess server;
        if (!server.start(juce::StringArray{argv[1], socket.getFullPathName(), "--reply-delay", "2"}, 0))
        {
            std::printf("cannot start %s\n", argv[1]);
            return 1;
        }
        for (int i = 0; i < 100 && !socket.exists(); ++i)
            juce::Thread::sleep(20);
        setenv("SONAVIRE_MIDI_BRIDGE", socket.getFullPathName().toRawUTF8(), 1);
        if (!openPorts())
        {
            std::printf("cannot open the bridge ports\n");
            return 1;
        }
        runSet("instrument in its own process on the socket bridge, answers after 2 ms", 3);
        if (std::getenv("BENCH_THREADS") != nullptr)
            printThreadTimes();
        closePorts();
        server.kill();
        socket.deleteFile();
    }

    juce::DeletedAtShutdown::deleteAll();
    return 0;
}
