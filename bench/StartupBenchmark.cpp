// Start-up of the real program: time from exec to its main window mapped, then to the program idle,
// and its resident memory then; with the factory preset library alone and with 10, 100, 300 and 1,000
// installed preset libraries. The program runs on the X server of $DISPLAY (run the benchmark under
// xvfb-run: no window manager, nothing else on the screen), with no instrument.
// In the same run, taking turns with the program so both see the same load: xterm (when installed), and a
// second build of the program when one is given (say, one built from main).
//   xvfb-run -a bench_startup <program> [runs] [other build of the program]
#include "data/PresetData.h"
#include "files/FactoryPresetLibrary.h"
#include "files/PresetFileManager.h"
#include "files/PresetFileReader.h"
#include "files/PresetFileWriter.h"

#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <cstdlib>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Nanoseconds the process has run on a CPU.
long long cpuNanoseconds(pid_t pid)
{
    long long running = -1;
    if (FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/schedstat").c_str(), "r"))
    {
        if (std::fscanf(file, "%lld", &running) != 1)
            running = -1;
        std::fclose(file);
    }
    return running;
}

long residentKilobytes(pid_t pid)
{
    long kilobytes = -1;
    if (FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r"))
    {
        char line[256];
        while (std::fgets(line, sizeof line, file) != nullptr)
            if (std::sscanf(line, "VmRSS: %ld kB", &kilobytes) == 1)
                break;
        std::fclose(file);
    }
    return kilobytes;
}

struct Run
{
    double mapped = -1, idle = -1;
    long residentKb = -1;
};

// One start: exec, wait for a top-level window of the program to be mapped, then until the program has
// used less than 2 ms of CPU in 100 ms (its timers keep it from doing nothing at all); idle is the
// start of that quiet stretch.
Run startOnce(Display* display, const std::string& displayName, const std::string& path, const juce::File& config,
              const juce::File& scratch)
{
    Run run;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    const auto runtime = scratch.getChildFile("run");
    runtime.createDirectory();
    const std::vector<std::string> environment{"DISPLAY=" + displayName,
                                               "XDG_CONFIG_HOME=" + config.getFullPathName().toStdString(),
                                               "XDG_RUNTIME_DIR=" + runtime.getFullPathName().toStdString(),
                                               "TMPDIR=" + scratch.getFullPathName().toStdString(),
                                               "SONAVIRE_MIDI_BRIDGE=" + scratch.getChildFile("none.sock").getFullPathName().toStdString()};

    std::fflush(stdout);
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0)
    {
        for (const auto& setting : environment)
            putenv(const_cast<char*>(setting.c_str()));
        freopen("/dev/null", "w", stdout);
        freopen("/dev/null", "w", stderr);
        execl(path.c_str(), path.c_str(), (char*) nullptr);
        _exit(127);
    }

    const int fd = ConnectionNumber(display);
    while (run.mapped < 0 && millisecondsSince(start) < 20000)
    {
        while (XPending(display) > 0)
        {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && run.mapped < 0)
                run.mapped = millisecondsSince(start);
        }
        pollfd readable{fd, POLLIN, 0};
        poll(&readable, 1, 5);
    }

    // CPU samples every 5 ms; quiet when the last 100 ms used under 2 ms.
    std::vector<std::pair<double, long long>> samples{{millisecondsSince(start), cpuNanoseconds(pid)}};
    while (millisecondsSince(start) < 20000)
    {
        usleep(5000);
        samples.emplace_back(millisecondsSince(start), cpuNanoseconds(pid));
        size_t first = samples.size() - 1;
        while (first > 0 && samples.back().first - samples[first - 1].first <= 100.0)
            --first;
        if (first > 0 && samples.back().first - samples[first - 1].first > 100.0)
            --first;
        if (samples.back().first - samples[first].first >= 100.0
            && samples.back().second - samples[first].second < 2000000)
        {
            run.idle = samples[first].first;
            break;
        }
    }
    run.residentKb = residentKilobytes(pid);

    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    XSelectInput(display, DefaultRootWindow(display), NoEventMask);
    return run;
}

// Median and range of one figure over the runs.
struct Spread
{
    std::vector<double> values;

    void add(double value) { values.push_back(value); }

    juce::String text(const char* format) const
    {
        if (values.empty())
            return "-";
        auto sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const auto number = [format](double value) { return juce::String::formatted(format, value); };
        return number(sorted[sorted.size() / 2]) + " (" + number(sorted.front()) + "-" + number(sorted.back()) + ")";
    }

    double median() const
    {
        auto sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0.0 : sorted[sorted.size() / 2];
    }
};

struct Figures
{
    Spread mapped, idle, resident;

    void add(const Run& run)
    {
        mapped.add(run.mapped);
        idle.add(run.idle);
        resident.add((double) run.residentKb / 1024.0);
    }
};

void printRow(const juce::String& what, const Figures& figures)
{
    std::printf("%-34s %22s %22s %22s\n", what.toRawUTF8(), figures.mapped.text("%.0f").toRawUTF8(),
                figures.idle.text("%.0f").toRawUTF8(), figures.resident.text("%.1f").toRawUTF8());
}

// A preferences folder whose preset folder holds the factory library and (extra) copies of its
// programs under other identities, and which keeps the automatic receive off.
juce::File prepareConfig(const juce::File& scratch, int extraPresets)
{
    const auto config = scratch.getChildFile("config-" + juce::String(extraPresets));
    const auto folder = config.getChildFile("VEXO sonavire Sound Librarian");
    folder.createDirectory();
    folder.getChildFile("PreferencesData.xml")
        .replaceWithText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PreferencesData><AutoReceive Value=\"0\"/>"
                         "<MainWindowPositionX Value=\"100\"/><MainWindowPositionY Value=\"50\"/>"
                         "<MainWindowHeight Value=\"700\"/></PreferencesData>\n");

    setenv("XDG_CONFIG_HOME", config.getFullPathName().toRawUTF8(), 1);
    delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
    auto* manager = x47390_file::PresetFileManager::getInstance();
    manager->installFactoryPresetLibrary();
    const auto factory = scratch.getChildFile("factory.snvrpreset");
    factory.replaceWithData(x47390_file::getFactoryPresetLibraryData(), x47390_file::getFactoryPresetLibrarySize());
    auto preset = std::make_unique<x47390_data::PresetData>();
    x47390_file::PresetFileReader(preset.get()).read(factory);
    const auto source = scratch.getChildFile("source.snvrpreset");
    for (int i = 0; i < extraPresets; ++i)
    {
        preset->information.dataID = "BENCH-" + juce::String(i);
        x47390_file::PresetFileWriter(preset.get()).write(source);
        manager->importPresetFile(source);
    }
    delete manager;
    return config;
}

std::string pathOf(const char* argument)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile(argument).getFullPathName().toStdString();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: bench_startup <program> [runs] [other build of the program]\n");
        return 2;
    }
    const auto program = pathOf(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    const auto other = argc > 3 ? pathOf(argv[3]) : std::string();
    const std::string xterm = "/usr/bin/xterm";
    const bool withXterm = access(xterm.c_str(), X_OK) == 0;

    juce::ScopedJuceInitialiser_GUI juce;
    const auto scratch = juce::File::getSpecialLocation(juce::File::tempDirectory)
                             .getNonexistentChildFile("sonavire-startup-bench", "", false);
    scratch.createDirectory();

    const char* displayVariable = std::getenv("DISPLAY");
    const std::string displayName = displayVariable != nullptr ? displayVariable : "";
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        std::fprintf(stderr, "no X server: run under xvfb-run\n");
        return 1;
    }

    std::printf("median (lowest-highest) of %d runs; load average at the start: %s\n", runs,
                juce::File("/proc/loadavg").loadFileAsString().upToFirstOccurrenceOf(" ", false, false).toRawUTF8());
    std::printf("%-34s %22s %22s %22s\n", "", "mapped (ms)", "idle (ms)", "RSS (MB)");
    double residentWithFactoryOnly = 0;
    for (const int libraries : {1, 10, 100, 300, 1000})
    {
        const auto config = prepareConfig(scratch, libraries - 1);
        Figures figures, otherFigures, xtermFigures;
        startOnce(display, displayName, program, config, scratch); // warms the page cache
        if (!other.empty())
            startOnce(display, displayName, other, config, scratch);
        for (int i = 0; i < runs; ++i)
        {
            figures.add(startOnce(display, displayName, program, config, scratch));
            if (!other.empty())
                otherFigures.add(startOnce(display, displayName, other, config, scratch));
            if (withXterm && libraries == 1)
                xtermFigures.add(startOnce(display, displayName, xterm, config, scratch));
        }
        const auto name = juce::String(libraries) + (libraries == 1 ? " (factory only)" : " preset libraries");
        printRow(name, figures);
        if (!other.empty())
            printRow("  other build", otherFigures);
        if (withXterm && libraries == 1)
            printRow("  xterm", xtermFigures);
        if (libraries == 1)
            residentWithFactoryOnly = figures.resident.median();
        else
            std::printf("%-34s %.0f KB a library more than the factory library alone\n", "",
                        (figures.resident.median() - residentWithFactoryOnly) * 1024.0 / (libraries - 1));
        std::fflush(stdout);
        config.deleteRecursively();
    }

    XCloseDisplay(display);
    scratch.deleteRecursively();
    return 0;
}
