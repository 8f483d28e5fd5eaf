// CPU share of the real program (all its threads) while it waits:
//  1. during a Receive Library from an instrument that answers each message after 2 ms, with the
//     communication dialog shown (from the first request to the last answer);
//  2. idle with the instrument connected: the main window alone, the preferences dialog open, the file
//     chooser open, and the communication dialog showing a failed transfer.
// The instrument runs in this process on the MIDI socket bridge; the program runs on the X server of
// $DISPLAY and is driven with key presses through the XTest extension. Beside the CPU share, how often the
// program's threads woke up (gave up the CPU to wait), all threads and the main thread alone.
// A second build of the program (say, one built from main) takes turns with the first, so both see the
// same load.
//   xvfb-run -a -s "-screen 0 1280x1024x24" bench_program_cpu <program> [runs] [idle seconds] [other build]
#include "tools/simulator/BridgeInstrumentServer.h"

#include <juce_core/juce_core.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;
using simulator::MessageKind;

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition())
    {
        if (Clock::now() >= end)
            return false;
        pause(2);
    }
    return true;
}

// Nanoseconds the process has run on a CPU: all its threads, also those that have ended.
long long cpuNanoseconds(pid_t pid)
{
    clockid_t clock{};
    timespec time{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &time) != 0)
        return 0;
    return (long long) time.tv_sec * 1000000000LL + time.tv_nsec;
}

// Times the program's threads gave up the CPU to wait, all of them (first) and the main thread (second).
std::pair<long, long> wakeUps(pid_t pid)
{
    std::pair<long, long> counts{0, 0};
    const juce::File tasks("/proc/" + juce::String(pid) + "/task");
    for (const auto& task : tasks.findChildFiles(juce::File::findDirectories, false))
        for (const auto& line : juce::StringArray::fromLines(task.getChildFile("status").loadFileAsString()))
            if (line.startsWith("voluntary_ctxt_switches:"))
            {
                const long count = (long) line.fromFirstOccurrenceOf(":", false, false).trim().getLargeIntValue();
                counts.first += count;
                if (task.getFileName() == juce::String(pid))
                    counts.second += count;
            }
    return counts;
}

// The program's CPU over a stretch of wall time, as a share of one core, and its wake-ups a second.
struct Share
{
    pid_t pid;
    Clock::time_point start = Clock::now();
    long long cpuStart;
    std::pair<long, long> wakeUpsStart;

    explicit Share(pid_t p) : pid(p), cpuStart(cpuNanoseconds(p)), wakeUpsStart(wakeUps(p)) {}

    double seconds() const { return std::chrono::duration<double>(Clock::now() - start).count(); }

    double percent() const { return 100.0 * (double) (cpuNanoseconds(pid) - cpuStart) / 1e9 / seconds(); }

    // All threads' wake-ups a second, and the main thread's.
    std::pair<double, double> wakeUpsPerSecond() const
    {
        const auto now = wakeUps(pid);
        return {(double) (now.first - wakeUpsStart.first) / seconds(),
                (double) (now.second - wakeUpsStart.second) / seconds()};
    }
};

class Screen
{
public:
    explicit Screen(Display* d) : display(d), root(DefaultRootWindow(d)) {}

    std::vector<std::pair<Window, juce::String>> windowsOf(pid_t pid)
    {
        std::vector<std::pair<Window, juce::String>> found;
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0)
            return found;
        const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
        for (unsigned i = 0; i < count; ++i)
        {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
                continue;
            Atom type = 0;
            int format = 0;
            unsigned long items = 0, remaining = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                                   &remaining, &data)
                    == Success
                && data != nullptr)
            {
                if ((pid_t) *reinterpret_cast<unsigned long*>(data) == pid)
                    found.emplace_back(children[i], title(children[i]));
                XFree(data);
            }
        }
        if (children != nullptr)
            XFree(children);
        return found;
    }

    Window waitForWindow(pid_t pid, const juce::String& titleStart, int timeoutMs = 20000)
    {
        Window window = 0;
        waitUntil(
            [&] {
                for (const auto& [candidate, name] : windowsOf(pid))
                    if (name.startsWith(titleStart))
                        window = candidate;
                return window != 0;
            },
            timeoutMs);
        // Let it settle: the toolkit may replace a new window right after showing it.
        pause(300);
        for (const auto& [candidate, name] : windowsOf(pid))
            if (name.startsWith(titleStart))
                return candidate;
        return 0;
    }

    // Keys go to the window under the pointer on a server without a window manager.
    void movePointerInto(Window window)
    {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), x + 300, y + 200, 0);
        XSync(display, False);
    }

    void pressKeyIn(Window window, const char* modifier, const char* key)
    {
        movePointerInto(window);
        pause(50);
        const KeyCode held = modifier != nullptr ? XKeysymToKeycode(display, XStringToKeysym(modifier)) : 0;
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(key));
        if (held != 0)
            XTestFakeKeyEvent(display, held, True, 0);
        XTestFakeKeyEvent(display, code, True, 0);
        XTestFakeKeyEvent(display, code, False, 0);
        if (held != 0)
            XTestFakeKeyEvent(display, held, False, 0);
        XSync(display, False);
    }

private:
    juce::String title(Window window)
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, remaining = 0;
        unsigned char* data = nullptr;
        juce::String text;
        if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 1024, False, AnyPropertyType, &type, &format, &items,
                               &remaining, &data)
                == Success
            && data != nullptr)
        {
            text = juce::String::fromUTF8(reinterpret_cast<const char*>(data), (int) items);
            XFree(data);
        }
        return text;
    }

    Display* display;
    Window root;
};

// One start of the program against the instrument, with its own preferences (automatic receive off).
class Program
{
public:
    Program(const juce::File& executable, const juce::File& scratch, const juce::String& socket)
    {
        const auto config = scratch.getChildFile("config");
        const auto preferences = config.getChildFile("VEXO sonavire Sound Librarian/PreferencesData.xml");
        preferences.getParentDirectory().createDirectory();
        preferences.replaceWithText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PreferencesData><AutoReceive Value=\"0\"/>"
                                    "<MainWindowPositionX Value=\"100\"/><MainWindowPositionY Value=\"50\"/>"
                                    "<MainWindowHeight Value=\"700\"/></PreferencesData>\n");
        const auto runtime = scratch.getChildFile("run");
        runtime.createDirectory();
        const auto temporary = scratch.getChildFile("tmp");
        temporary.createDirectory();
        environment = {"XDG_CONFIG_HOME=" + config.getFullPathName().toStdString(),
                       "XDG_RUNTIME_DIR=" + runtime.getFullPathName().toStdString(),
                       "TMPDIR=" + temporary.getFullPathName().toStdString(),
                       "SONAVIRE_MIDI_BRIDGE=" + socket.toStdString()};
        const auto path = executable.getFullPathName().toStdString();
        std::fflush(stdout);
        pid = fork();
        if (pid == 0)
        {
            for (auto& setting : environment)
                putenv(setting.data());
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            execl(path.c_str(), path.c_str(), (char*) nullptr);
            _exit(127);
        }
    }

    ~Program()
    {
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
    }

    pid_t pid = -1;

private:
    std::vector<std::string> environment;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1.0 : values[values.size() / 2];
}

// CPU share and wake-ups a second (all threads, main thread) of one case.
struct Case
{
    std::vector<double> percent, wakeUps, mainWakeUps;

    void add(const Share& share)
    {
        percent.push_back(share.percent());
        const auto rates = share.wakeUpsPerSecond();
        wakeUps.push_back(rates.first);
        mainWakeUps.push_back(rates.second);
    }
};

struct Figures
{
    Case transfer, started, idle, preferences, chooser, failed;
    std::vector<double> transferSeconds;
};

// Starts the program and asks for the library until the first request reaches the instrument (the first
// Ctrl+L may come before the search has found it: the dialog then says so and is closed).
bool startReceive(Screen& screen, const Program& program, Window window, simulator::SimulatedInstrument& instrument)
{
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        screen.pressKeyIn(window, "Control_L", "l");
        if (waitUntil([&] { return instrument.getCount(MessageKind::programRequest) > 0; }, 3000))
            return true;
        if (const auto dialog = screen.waitForWindow(program.pid, "Receive Library", 3000))
            screen.pressKeyIn(dialog, nullptr, "Return");
        pause(1000);
    }
    return false;
}

bool runOnce(const juce::File& executable, const juce::File& scratch, Display* display, int idleSeconds,
             Figures& figures)
{
    simulator::SimulatedInstrument instrument;
    instrument.setReplyDelayMs(2);
    const auto socket = scratch.getChildFile("instrument.sock").getFullPathName();
    scratch.getChildFile("instrument.sock").deleteFile();
    simulator::BridgeInstrumentServer server(instrument, socket.toStdString());
    if (!server.start())
        return false;

    Program program(executable, scratch, socket);
    Screen screen(display);
    const auto window = screen.waitForWindow(program.pid, "sonavire");
    if (window == 0)
        return false;
    waitUntil([&] { return instrument.getCount(MessageKind::searchRequest) > 0; }, 5000);
    pause(500);

    const auto measureIdle = [&](Case& into) {
        pause(500);
        const Share idle(program.pid);
        pause(idleSeconds * 1000);
        into.add(idle);
    };
    // 0. Idle right after the start, the instrument found, the pointer resting on the window.
    if (idleSeconds > 0)
    {
        screen.movePointerInto(window);
        pause(3500);
        measureIdle(figures.started);
    }

    // 1. The transfer, from the first request to the last answer.
    if (!startReceive(screen, program, window, instrument))
        return false;
    const Share transfer(program.pid);
    if (!waitUntil([&] { return instrument.getCount(MessageKind::octaveRequest) == 6; }, 60000))
        return false;
    pause(3); // the last answer's delay
    figures.transfer.add(transfer);
    figures.transferSeconds.push_back(
        std::chrono::duration<double>(Clock::now() - transfer.start).count());
    if (idleSeconds <= 0)
        return true;

    // 2. Idle: the dialog has closed itself; the ports stay open.
    pause(1000);
    measureIdle(figures.idle);

    screen.pressKeyIn(window, "Control_L", "comma");
    if (const auto dialog = screen.waitForWindow(program.pid, "Preferences", 5000))
    {
        measureIdle(figures.preferences);
        screen.pressKeyIn(dialog, nullptr, "Escape");
    }
    else
    {
        for (const auto& [other, title] : screen.windowsOf(program.pid))
            std::printf("no preferences dialog; window \"%s\"\n", title.toRawUTF8());
    }
    pause(500);

    screen.pressKeyIn(window, "Control_L", "o");
    pause(1500);
    measureIdle(figures.chooser);
    for (const auto& [other, title] : screen.windowsOf(program.pid))
        if (other != window)
            screen.pressKeyIn(other, nullptr, "Escape");
    pause(500);

    // The instrument stops answering: the dialog shows the failure and waits for OK.
    instrument.injectFault(MessageKind::programRequest, 0, simulator::Fault::silence);
    instrument.clearLog();
    if (startReceive(screen, program, window, instrument))
    {
        // Failed once nothing more is asked for a while (the time-out and any second try are over).
        int asked = -1;
        for (int i = 0; i < 10 && asked != instrument.getCount(MessageKind::programRequest); ++i)
        {
            asked = instrument.getCount(MessageKind::programRequest);
            pause(3000);
        }
        measureIdle(figures.failed);
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: bench_program_cpu <program> [runs] [idle seconds] [other build]\n");
        return 2;
    }
    const juce::File executable(juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]));
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int idleSeconds = argc > 3 ? std::max(0, std::atoi(argv[3])) : 10;
    const auto other = argc > 4 ? juce::File::getCurrentWorkingDirectory().getChildFile(argv[4]) : juce::File();

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
    {
        std::fprintf(stderr, "no X server: run under xvfb-run\n");
        return 1;
    }
    // Windows come and go while they are listed.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    // A window manager would have made these; the toolkit only looks them up.
    for (const char* name : {"WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PID", "_NET_WM_NAME"})
        XInternAtom(display, name, False);

    const auto scratch = juce::File::getSpecialLocation(juce::File::tempDirectory)
                             .getNonexistentChildFile("sonavire-cpu-bench", "", false);
    scratch.createDirectory();

    std::printf("load average at the start: %s\n",
                juce::File("/proc/loadavg").loadFileAsString().upToFirstOccurrenceOf(" ", false, false).toRawUTF8());
    Figures figures, otherFigures;
    for (int run = 0; run < runs; ++run)
    {
        // Only the first run measures the idle cases: they last long and vary little.
        if (!runOnce(executable, scratch, display, run == 0 ? idleSeconds : 0, figures))
            std::printf("run %d failed\n", run + 1);
        if (other != juce::File() && !runOnce(other, scratch, display, run == 0 ? idleSeconds : 0, otherFigures))
            std::printf("run %d of the other build failed\n", run + 1);
    }
    std::printf("load average at the end: %s\n",
                juce::File("/proc/loadavg").loadFileAsString().upToFirstOccurrenceOf(" ", false, false).toRawUTF8());

    const auto range = [](const std::vector<double>& values) {
        return juce::String(median(values), 2) + " (" + juce::String(*std::min_element(values.begin(), values.end()), 2)
               + "-" + juce::String(*std::max_element(values.begin(), values.end()), 2) + ")";
    };
    const auto line = [&](const char* name, const Case& values) {
        if (values.percent.empty())
            std::printf("%-50s %s\n", name, "not measured");
        else
            std::printf("%-50s %3zu %22s %22s %22s\n", name, values.percent.size(), range(values.percent).toRawUTF8(),
                        range(values.wakeUps).toRawUTF8(), range(values.mainWakeUps).toRawUTF8());
    };
    const auto table = [&](const Figures& shown) {
        std::printf("%-50s %3s %22s %22s %22s\n", "median (lowest-highest)", "runs", "CPU % of one core",
                    "wake-ups/s", "main thread wake-ups/s");
        line("Receive Library, answers after 2 ms, dialog shown", shown.transfer);
        std::printf("%-50s     %.2f s\n", "  its wall time", median(shown.transferSeconds));
        line("idle after the start, pointer resting on the window", shown.started);
        line("idle, instrument connected, main window only", shown.idle);
        line("idle, preferences dialog open", shown.preferences);
        line("idle, file chooser open", shown.chooser);
        line("idle, communication dialog showing a failure", shown.failed);
    };
    table(figures);
    if (other != juce::File())
    {
        std::printf("\nthe other build, in turns with the first:\n");
        table(otherFigures);
    }

    XCloseDisplay(display);
    scratch.deleteRecursively();
    return 0;
}
