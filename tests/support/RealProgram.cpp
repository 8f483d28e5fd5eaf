#include "tests/support/RealProgram.h"

#include "platform/system/FileNameBytes.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport
{
namespace
{
const juce::String applicationName("sonavire Sound Librarian");

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Closes every descriptor from 3 on but the one to keep, in a child before exec.
void closeInheritedDescriptors(int keep)
{
    const long last = sysconf(_SC_OPEN_MAX);
    for (int fd = 3; fd < (last > 0 ? last : 1024); ++fd)
        if (fd != keep)
            close(fd);
}

void redirectOutput(const char* path)
{
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0)
    {
        dup2(fd, 1);
        dup2(fd, 2);
        close(fd);
    }
}

int ignoreXError(Display*, XErrorEvent*) { return 0; }

int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

// Waits for a child; -1 on time-out.
int waitForChild(pid_t child, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;)
    {
        int status = 0;
        const pid_t result = waitpid(child, &status, WNOHANG);
        if (result == child)
            return exitCodeOf(status);
        if (result < 0)
            return -1;
        if (std::chrono::steady_clock::now() >= end)
            return -1;
        pause(10);
    }
}

void stopChild(pid_t child, bool wholeGroup)
{
    if (child <= 0)
        return;
    const pid_t target = wholeGroup ? -child : child;
    kill(target, SIGTERM);
    if (waitForChild(child, 5000) == -1)
    {
        kill(target, SIGKILL);
        waitForChild(child, 5000);
    }
}
} // namespace

struct RealProgram::X
{
    Display* display = nullptr;
    Window root = 0;
    int screen = 0;
};

juce::File programExecutable() { return juce::File(SONAVIRE_PROGRAM_PATH); }

bool samePixels(const juce::Image& a, const juce::Image& b)
{
    if (!a.isValid() || a.getBounds() != b.getBounds())
        return false;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                return false;
    return true;
}

RealProgram::RealProgram(Options options) : x(std::make_unique<X>())
{
    ownFolder = makeUniqueFolder("sonavire-real-program");
    temporaryFolder = ownFolder.getChildFile("tmp");
    temporaryFolder.createDirectory();
    outputFile = ownFolder.getChildFile("output.log");
    configHome = options.configHome != juce::File() ? options.configHome : ownFolder.getChildFile("config");
    configHome.createDirectory();
    if (options.configHome == juce::File())
    {
        // A fresh user, but one who has switched the automatic receive off: without an instrument it
        // would end in a "not found" message over the window under test. Tests of the first start
        // give a configHome of their own.
        writePreferences(configHome, {{"AutoReceive", "0"}});
    }

    if (startServer(options.shareDisplayWith)
        && (!options.windowManager || options.shareDisplayWith != nullptr || startWindowManager()))
        startProgram(options);
}

RealProgram::~RealProgram() { stopAll(); }

bool RealProgram::startServer(const RealProgram* shared)
{
    XSetErrorHandler(ignoreXError);
    if (shared != nullptr)
        displayName = shared->displayName;
    else
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        serverPid = fork();
        if (serverPid == 0)
        {
            close(fds[0]);
            closeInheritedDescriptors(fds[1]);
            redirectOutput("/dev/null");
            const auto fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   "-noreset", (char*) nullptr);
            _exit(127);
        }
        close(fds[1]);
        if (serverPid < 0)
        {
            close(fds[0]);
            return false;
        }
        // The server writes its display number once it accepts connections.
        std::string number;
        pollfd readable{fds[0], POLLIN, 0};
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(hangMs);
        while (std::chrono::steady_clock::now() < end && number.find('\n') == std::string::npos)
        {
            if (poll(&readable, 1, 100) > 0)
            {
                char buffer[16];
                const auto got = read(fds[0], buffer, sizeof buffer);
                if (got <= 0)
                    break;
                number.append(buffer, (size_t) got);
            }
        }
        close(fds[0]);
        if (number.empty())
            return false;
        displayName = ":" + juce::String(number).trim();
    }

    x->display = XOpenDisplay(displayName.toRawUTF8());
    if (x->display == nullptr)
        return false;
    x->screen = DefaultScreen(x->display);
    x->root = RootWindow(x->display, x->screen);
    // A window manager would have made these; the toolkit only looks them up, and without them its
    // windows would not take WM_DELETE_WINDOW.
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE",
                             "WM_STATE", "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN",
                             "_NET_WM_STATE_FULLSCREEN", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_MOTIF_WM_HINTS",
                             "_NET_WM_ALLOWED_ACTIONS", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_WINDOW_TYPE_NORMAL"})
        XInternAtom(x->display, name, False);
    XSync(x->display, False);
    return true;
}

bool RealProgram::startWindowManager()
{
    const auto settings = ownFolder.getChildFile("openbox");
    settings.createDirectory();
    const auto display = "DISPLAY=" + displayName.toStdString();
    const auto home = "XDG_CONFIG_HOME=" + settings.getFullPathName().toStdString();
    windowManagerPid = fork();
    if (windowManagerPid == 0)
    {
        closeInheritedDescriptors(-1);
        redirectOutput(ownFolder.getChildFile("openbox.log").getFullPathName().toRawUTF8());
        putenv(const_cast<char*>(display.c_str()));
        putenv(const_cast<char*>(home.c_str()));
        execlp("openbox", "openbox", "--sm-disable", (char*) nullptr);
        _exit(127);
    }
    if (windowManagerPid < 0)
        return false;
    // The manager is ready once it has announced itself on the root window; the deadline only bounds a hang.
    const auto check = XInternAtom(x->display, "_NET_SUPPORTING_WM_CHECK", False);
    bool found = false;
    waitUntil(
        [&]
        {
            if (waitForChild(windowManagerPid, 0) != -1)
            {
                windowManagerPid = -1; // reaped: its number may soon be another process's
                return true;
            }
            Atom type = None;
            int format = 0;
            unsigned long count = 0, after = 0;
            unsigned char* data = nullptr;
            found = XGetWindowProperty(x->display, x->root, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                                       &after, &data)
                        == Success
                    && type == XA_WINDOW && count == 1;
            if (data != nullptr)
                XFree(data);
            return found;
        });
    return found;
}

void RealProgram::startProgram(const Options& options)
{
    const auto runtimeFolder = options.shareDisplayWith != nullptr
                                   ? options.shareDisplayWith->ownFolder.getChildFile("run")
                                   : ownFolder.getChildFile("run");
    runtimeFolder.createDirectory();
    chmod(runtimeFolder.getFullPathName().toRawUTF8(), 0700);

    const auto bridge = options.bridgeSocket.isNotEmpty()
                            ? options.bridgeSocket
                            : ownFolder.getChildFile("no-instrument.sock").getFullPathName();

    juce::StringArray environment{"DISPLAY=" + displayName,
                                  "XDG_CONFIG_HOME=" + configHome.getFullPathName(),
                                  "XDG_RUNTIME_DIR=" + runtimeFolder.getFullPathName(),
                                  "TMPDIR=" + temporaryFolder.getFullPathName(),
                                  "SONAVIRE_MIDI_BRIDGE=" + bridge};
    environment.addArray(options.environment);

    const auto executable =
        (options.executable != juce::File() ? options.executable : programExecutable()).getFullPathName();
    std::vector<std::string> arguments{executable.toStdString()};
    for (const auto& argument : options.arguments)
        arguments.push_back(platform::fileNameBytes(argument)); // names that are not UTF-8 by their bytes
    std::vector<std::string> settings;
    for (const auto& entry : environment)
        settings.push_back(entry.toStdString());
    const auto logPath = outputFile.getFullPathName().toStdString();

    pid = fork();
    if (pid == 0)
    {
        setpgid(0, 0);
        closeInheritedDescriptors(-1);
        redirectOutput(logPath.c_str());
        for (auto& setting : settings)
            putenv(setting.data());
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

bool RealProgram::writePreferences(const juce::File& home,
                                   const std::vector<std::pair<juce::String, juce::String>>& entries)
{
    juce::XmlElement root("PreferencesData");
    for (const auto& [key, value] : entries)
        root.createNewChildElement(key)->setAttribute("Value", value);
    const auto file = home.getChildFile("VEXO sonavire Sound Librarian").getChildFile("PreferencesData.xml");
    return file.getParentDirectory().createDirectory() && root.writeTo(file);
}

juce::File RealProgram::getPreferencesFolder() const
{
    return configHome.getChildFile("VEXO sonavire Sound Librarian");
}

juce::File RealProgram::getPreferencesFile() const { return getPreferencesFolder().getChildFile("PreferencesData.xml"); }

juce::String RealProgram::getOutput() const { return outputFile.loadFileAsString(); }

bool RealProgram::waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;)
    {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        pause(20);
    }
}

// The process that made a window, as the toolkit writes it on every window of its own.
static std::optional<pid_t> windowPid(Display* display, Window window)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &remaining,
                           &data)
            != Success
        || data == nullptr)
        return std::nullopt;
    const auto result = (pid_t) * reinterpret_cast<unsigned long*>(data);
    XFree(data);
    return result;
}

std::vector<std::pair<unsigned long, juce::String>> RealProgram::getWindows()
{
    std::vector<std::pair<unsigned long, juce::String>> windows;
    if (x->display == nullptr || pid <= 0)
        return windows;

    const auto pidOf = [&](Window window) { return windowPid(x->display, window); };
    // A window manager puts each top-level window into a frame of its own: the program's windows are then
    // found a level or two below the root.
    const std::function<void(Window, int)> collect = [&](Window parentWindow, int depth) {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(x->display, parentWindow, &rootReturn, &parent, &children, &count) == 0)
            return;
        for (unsigned int i = 0; i < count; ++i)
        {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(x->display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
                continue;
            if (const auto windowPid = pidOf(children[i]))
            {
                if (*windowPid == pid)
                    windows.emplace_back(children[i], getTitle(children[i]));
            }
            else if (windowManagerPid > 0 && depth < 3)
            {
                collect(children[i], depth + 1);
            }
        }
        if (children != nullptr)
            XFree(children);
    };
    collect(x->root, 0);
    return windows;
}

unsigned long RealProgram::waitForWindow(const std::function<bool(const juce::String&)>& condition, int timeoutMs)
{
    const auto matching = [&]() -> unsigned long {
        for (const auto& [window, title] : getWindows())
            if (!condition || condition(title))
                return window;
        return 0;
    };
    // The toolkit may replace a new window by another one right after showing it (native title bar,
    // resizing rules), so a window counts once it has stayed for a moment.
    unsigned long found = 0;
    waitUntil(
        [&] {
            const auto candidate = matching();
            if (candidate == 0)
                return false;
            pause(250);
            if (matching() != candidate)
                return false;
            found = candidate;
            return true;
        },
        timeoutMs);
    return found;
}

unsigned long RealProgram::waitForMainWindow(int timeoutMs)
{
    unsigned long found = 0;
    waitUntil(
        [&] {
            if (!isRunning())
                return true;
            found = waitForWindow([](const juce::String& title) { return title.startsWith(applicationName); }, 0);
            return found != 0;
        },
        timeoutMs);
    return found;
}

unsigned long RealProgram::waitForTitle(const juce::String& title, int timeoutMs)
{
    return waitForWindow([&title](const juce::String& candidate) { return candidate == title; }, timeoutMs);
}

bool RealProgram::waitForWindowTitle(unsigned long window, const juce::String& title, int timeoutMs)
{
    return waitUntil([&] { return getTitle(window) == title; }, timeoutMs);
}

bool RealProgram::waitForMainWindowAlone(int timeoutMs)
{
    std::vector<std::pair<unsigned long, juce::String>> windows;
    const bool alone = waitUntil(
        [&] {
            windows = getWindows();
            return windows.size() == 1 && windows.front().second.startsWith(applicationName);
        },
        timeoutMs);
    // What stayed, for whoever reads the failure; short waits are often repeated and expected to fail.
    if (!alone && timeoutMs >= 10000)
        for (const auto& [window, title] : windows)
            std::fprintf(stderr, "window 0x%lx still shown: \"%s\"\n", window, title.toRawUTF8());
    return alone;
}

juce::String RealProgram::describeDesktop()
{
    juce::String text;
    for (const auto& [window, title] : getWindows())
        text << "window 0x" << juce::String::toHexString((juce::int64) window) << " \"" << title << "\" at "
             << getWindowBounds(window).toString() << "\n";
    if (x->display == nullptr)
        return text;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(x->display, &focus, &revert);
    // The deepest window under the pointer, through the window manager's frames.
    Window under = x->root, child = 0, rootReturn = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int mask = 0;
    while (XQueryPointer(x->display, under, &rootReturn, &child, &rootX, &rootY, &windowX, &windowY, &mask)
           && child != 0)
        under = child;
    text << "keyboard on 0x" << juce::String::toHexString((juce::int64) focus) << ", pointer at " << rootX << ","
         << rootY << " over 0x" << juce::String::toHexString((juce::int64) under) << "\n";
    return text;
}

bool RealProgram::waitWhileMoving(unsigned long window, juce::Point<int> point, const std::function<bool()>& condition,
                                  int timeoutMs)
{
    int step = 0;
    return waitUntil(
        [&] {
            moveMouse(window, point + juce::Point<int>(step++ % 2, 0));
            return condition();
        },
        timeoutMs);
}

unsigned long RealProgram::getMainWindow()
{
    for (const auto& [window, title] : getWindows())
        if (title.startsWith(applicationName))
            return window;
    return 0;
}

juce::String RealProgram::getTitle(unsigned long window)
{
    if (x->display == nullptr)
        return {};
    // The toolkit writes the title as UTF-8 into WM_NAME.
    for (const char* property : {"_NET_WM_NAME", "WM_NAME"})
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x->display, (Window) window, XInternAtom(x->display, property, False), 0, 4096, False,
                               AnyPropertyType, &type, &format, &items, &remaining, &data)
                == Success
            && data != nullptr)
        {
            const auto title = juce::String::fromUTF8(reinterpret_cast<const char*>(data), (int) items);
            XFree(data);
            if (title.isNotEmpty())
                return title;
        }
    }
    return {};
}

juce::Rectangle<int> RealProgram::getFrameBounds(unsigned long window)
{
    Window top = (Window) window;
    for (;;)
    {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (x->display == nullptr || XQueryTree(x->display, top, &rootReturn, &parent, &children, &count) == 0)
            break;
        if (children != nullptr)
            XFree(children);
        if (parent == 0 || parent == rootReturn)
            break;
        top = parent;
    }
    return getWindowBounds(top);
}

juce::Image RealProgram::getWindowIcon(unsigned long window)
{
    if (x->display == nullptr)
        return {};
    const Atom iconAtom = XInternAtom(x->display, "_NET_WM_ICON", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x->display, (Window) window, iconAtom, 0, 1 << 20, False, XA_CARDINAL, &type, &format,
                           &items, &remaining, &data)
            != Success
        || data == nullptr)
        return {};
    const auto* values = reinterpret_cast<const unsigned long*>(data);
    juce::Image icon;
    if (format == 32 && items > 2 && values[0] > 0 && values[1] > 0 && values[0] * values[1] <= items - 2)
    {
        icon = juce::Image(juce::Image::ARGB, (int) values[0], (int) values[1], true);
        for (int py = 0; py < icon.getHeight(); ++py)
            for (int px = 0; px < icon.getWidth(); ++px)
                icon.setPixelAt(px, py, juce::Colour((juce::uint32) values[2 + (size_t) py * values[0] + (size_t) px]));
    }
    XFree(data);
    return icon;
}

juce::Rectangle<int> RealProgram::getWindowBounds(unsigned long window)
{
    XWindowAttributes attributes{};
    if (x->display == nullptr || XGetWindowAttributes(x->display, (Window) window, &attributes) == 0)
        return {};
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x->display, (Window) window, x->root, 0, 0, &rootX, &rootY, &child);
    return {rootX, rootY, attributes.width, attributes.height};
}

void RealProgram::flush()
{
    XSync(x->display, False);
    pause(30);
}

void RealProgram::pressKey(const juce::String& combination)
{
    if (x->display == nullptr)
        return;
    auto parts = juce::StringArray::fromTokens(combination, "+", "");
    if (parts.isEmpty())
        return;
    const auto keyName = parts[parts.size() - 1];
    parts.remove(parts.size() - 1);

    std::vector<KeyCode> modifiers;
    for (const auto& modifier : parts)
    {
        const char* symbol = modifier.equalsIgnoreCase("ctrl")    ? "Control_L"
                             : modifier.equalsIgnoreCase("shift") ? "Shift_L"
                             : modifier.equalsIgnoreCase("alt")   ? "Alt_L"
                                                                  : "Super_L";
        modifiers.push_back(XKeysymToKeycode(x->display, XStringToKeysym(symbol)));
    }

    KeySym symbol = XStringToKeysym(keyName.toRawUTF8());
    if (symbol == NoSymbol && keyName.length() == 1)
        symbol = (KeySym) keyName[0];
    const KeyCode code = XKeysymToKeycode(x->display, symbol);
    if (code == 0)
        return;

    for (const auto modifier : modifiers)
        XTestFakeKeyEvent(x->display, modifier, True, 0);
    XTestFakeKeyEvent(x->display, code, True, 0);
    XTestFakeKeyEvent(x->display, code, False, 0);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        XTestFakeKeyEvent(x->display, *it, False, 0);
    flush();
}

void RealProgram::typeText(const juce::String& text)
{
    if (x->display == nullptr)
        return;
    const KeyCode shift = XKeysymToKeycode(x->display, XK_Shift_L);
    for (const auto character : text)
    {
        const KeySym symbol = character == '\n' ? XK_Return : (KeySym) character;
        const KeyCode code = XKeysymToKeycode(x->display, symbol);
        if (code == 0)
            continue;
        const bool needsShift = XkbKeycodeToKeysym(x->display, code, 0, 0) != symbol
                                && XkbKeycodeToKeysym(x->display, code, 0, 1) == symbol;
        if (needsShift)
            XTestFakeKeyEvent(x->display, shift, True, 0);
        XTestFakeKeyEvent(x->display, code, True, 0);
        XTestFakeKeyEvent(x->display, code, False, 0);
        if (needsShift)
            XTestFakeKeyEvent(x->display, shift, False, 0);
        XSync(x->display, False);
        pause(10);
    }
    flush();
}

void RealProgram::moveMouse(unsigned long window, juce::Point<int> position)
{
    if (x->display == nullptr)
        return;
    const auto origin = window != 0 ? getWindowBounds(window).getPosition() : juce::Point<int>();
    XTestFakeMotionEvent(x->display, x->screen, origin.x + position.x, origin.y + position.y, 0);
    flush();
}

void RealProgram::click(unsigned long window, juce::Point<int> position, int button, int count)
{
    moveMouse(window, position);
    // All presses of a multiple click go out at once: the server stamps them with its own time, so a busy
    // machine cannot stretch a double-click into two single clicks.
    for (int i = 0; i < count; ++i)
    {
        XTestFakeButtonEvent(x->display, (unsigned) button, True, 0);
        XTestFakeButtonEvent(x->display, (unsigned) button, False, 0);
    }
    flush();
}

bool RealProgram::waitForEarlierDragsToEnd()
{
    if (x->display == nullptr || pid <= 0)
        return false;
    // The program's temporary windows (the drag's picture and badge) sit right below the root, framed by no
    // window manager; they are counted whether shown or not.
    return waitUntil(
        [&]
        {
            Window rootReturn = 0, parent = 0;
            Window* children = nullptr;
            unsigned int count = 0;
            if (XQueryTree(x->display, x->root, &rootReturn, &parent, &children, &count) == 0)
                return false;
            bool left = false;
            for (unsigned int i = 0; i < count && !left; ++i)
            {
                XWindowAttributes attributes{};
                left = XGetWindowAttributes(x->display, children[i], &attributes) != 0
                       && attributes.override_redirect && windowPid(x->display, children[i]) == pid;
            }
            if (children != nullptr)
                XFree(children);
            return !left;
        });
}

void RealProgram::drag(unsigned long window, juce::Point<int> from, juce::Point<int> to, bool altAtDrop)
{
    waitForEarlierDragsToEnd();
    moveMouse(window, from);
    XTestFakeButtonEvent(x->display, 1, True, 0);
    flush();
    constexpr int steps = 20;
    for (int i = 1; i <= steps; ++i)
    {
        const auto point = from + (to - from) * i / steps;
        moveMouse(window, point);
    }
    pause(150);
    const KeyCode alt = XKeysymToKeycode(x->display, XK_Alt_L);
    if (altAtDrop)
    {
        XTestFakeKeyEvent(x->display, alt, True, 0);
        moveMouse(window, to);
    }
    XTestFakeButtonEvent(x->display, 1, False, 0);
    if (altAtDrop)
        XTestFakeKeyEvent(x->display, alt, False, 0);
    flush();
}

void RealProgram::pressButton(unsigned long window, juce::Point<int> position)
{
    waitForEarlierDragsToEnd();
    moveMouse(window, position);
    XTestFakeButtonEvent(x->display, 1, True, 0);
    flush();
}

void RealProgram::releaseButton()
{
    XTestFakeButtonEvent(x->display, 1, False, 0);
    flush();
}

void RealProgram::scrollWheel(unsigned long window, juce::Point<int> position, int steps)
{
    moveMouse(window, position);
    const unsigned button = steps > 0 ? 4 : 5;
    for (int i = 0; i < std::abs(steps); ++i)
    {
        XTestFakeButtonEvent(x->display, button, True, 0);
        XTestFakeButtonEvent(x->display, button, False, 0);
    }
    flush();
}

juce::Image RealProgram::screenshot(unsigned long window)
{
    if (x->display == nullptr)
        return {};
    XSync(x->display, False);
    const juce::Rectangle<int> screen(0, 0, DisplayWidth(x->display, x->screen),
                                      DisplayHeight(x->display, x->screen));
    const auto area = window != 0 ? getWindowBounds(window).getIntersection(screen) : screen;
    if (area.isEmpty())
        return {};
    XImage* picture = XGetImage(x->display, x->root, area.getX(), area.getY(), (unsigned) area.getWidth(),
                                (unsigned) area.getHeight(), AllPlanes, ZPixmap);
    if (picture == nullptr)
        return {};
    juce::Image image(juce::Image::RGB, area.getWidth(), area.getHeight(), false);
    {
        juce::Image::BitmapData pixels(image, juce::Image::BitmapData::writeOnly);
        for (int row = 0; row < area.getHeight(); ++row)
            for (int column = 0; column < area.getWidth(); ++column)
            {
                const auto value = XGetPixel(picture, column, row);
                pixels.setPixelColour(column, row,
                                      juce::Colour((juce::uint8) ((value >> 16) & 0xff),
                                                   (juce::uint8) ((value >> 8) & 0xff), (juce::uint8) (value & 0xff)));
            }
    }
    XDestroyImage(picture);
    return image;
}

namespace
{
bool writePng(const juce::Image& image, const juce::File& file)
{
    if (!image.isValid())
        return false;
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream stream(file);
    juce::PNGImageFormat format;
    return stream.openedOk() && format.writeImageToStream(image, stream);
}
} // namespace

bool keepImage(const juce::Image& image, const juce::String& name)
{
    return writePng(image, RealProgram::screenshotFolder().getChildFile(name + ".png"));
}

bool RealProgram::saveScreenshot(const juce::File& file, unsigned long window)
{
    return writePng(screenshot(window), file);
}

bool RealProgram::keepScreenshot(unsigned long window, const juce::String& name)
{
    return saveScreenshot(screenshotFolder().getChildFile(name + ".png"), window);
}

juce::File RealProgram::screenshotFolder()
{
    if (const char* folder = std::getenv("SONAVIRE_SCREENSHOTS"); folder != nullptr && *folder != 0)
        return juce::File(juce::String::fromUTF8(folder));
    return juce::File(SONAVIRE_BUILD_DIR).getChildFile("screenshots");
}

bool RealProgram::focusWindow(unsigned long window)
{
    if (x->display == nullptr)
        return false;
    XSetInputFocus(x->display, (Window) window, RevertToParent, CurrentTime);
    XSync(x->display, False);
    return waitUntil([&] {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(x->display, &focus, &revert);
        return focus == (Window) window;
    });
}

void RealProgram::nudgeMouse(unsigned long window)
{
    const int right = getWindowBounds(window).getWidth() - 20;
    moveMouse(window, {right, 10});
    moveMouse(window, {right - 1, 10});
}

void RealProgram::pressKeyIn(unsigned long window, const juce::String& combination)
{
    focusWindow(window);
    pressKey(combination);
    nudgeMouse(window);
}

void RealProgram::clickIn(unsigned long window, juce::Point<int> position)
{
    click(window, position);
    nudgeMouse(window);
}

bool RealProgram::chooseFromMenu(unsigned long window, int menuIndex, int item, const juce::String& screenshotName)
{
    // The menu titles are 40, 40, 80 and 50 pixels wide.
    const int centres[] = {20, 60, 120, 185};
    const auto windowsBefore = getWindows().size();
    focusWindow(window);
    clickIn(window, {centres[juce::jlimit(0, 3, menuIndex)], 10});
    if (!waitUntil([&] { return getWindows().size() > windowsBefore; }))
        return false;
    for (int i = 0; i < std::abs(item); ++i)
        pressKey(item > 0 ? "Down" : "Up");
    nudgeMouse(window);
    if (screenshotName.isNotEmpty())
        keepScreenshot(0, screenshotName);
    pressKey("Return");
    nudgeMouse(window);
    return true;
}

void RealProgram::chooseInChooser(unsigned long chooser, const juce::File& file)
{
    const auto bounds = getWindowBounds(chooser);
    focusWindow(chooser);
    clickIn(chooser, {bounds.getWidth() / 2, bounds.getHeight() - 62});
    typeText(file.getFullPathName());
    pressKey("Return");
    pressKey("Return");
    nudgeMouse(chooser);
}

bool RealProgram::waitUntilHandled(unsigned long window, int timeoutMs)
{
    return dragFilesOver(window, {1, 1}, {}, timeoutMs, false) != DropOutcome::noAnswer;
}

RealProgram::DropOutcome RealProgram::dropFiles(unsigned long target, juce::Point<int> position,
                                                const juce::StringArray& paths, int timeoutMs)
{
    return dragFilesOver(target, position, paths, timeoutMs, true);
}

RealProgram::DropOutcome RealProgram::dragFilesOver(unsigned long target, juce::Point<int> position,
                                                    const juce::StringArray& paths, int timeoutMs, bool dropWhenTaken)
{
    // What went out on our own connection reaches the program before the drag that follows on the next.
    if (x->display != nullptr)
        XSync(x->display, False);
    Display* display = XOpenDisplay(displayName.toRawUTF8());
    if (display == nullptr)
        return DropOutcome::noAnswer;
    const auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    const Atom enter = atom("XdndEnter"), positionAtom = atom("XdndPosition"), status = atom("XdndStatus"),
               drop = atom("XdndDrop"), leave = atom("XdndLeave"), finished = atom("XdndFinished"),
               selection = atom("XdndSelection"), copy = atom("XdndActionCopy"), uriList = atom("text/uri-list");

    // As file managers write them: every byte of the name but the unreserved ones escaped.
    std::string bytes;
    for (const auto& path : paths)
    {
        bytes += "file://";
        for (const char c : platform::fileNameBytes(path))
        {
            if (std::isalnum((unsigned char) c) != 0 || std::strchr("/-._~", c) != nullptr)
                bytes += c;
            else
                bytes += "%" + juce::String::toHexString((juce::uint8) c).paddedLeft('0', 2).toUpperCase().toStdString();
        }
        bytes += "\r\n";
    }
    const auto screenPosition = getWindowBounds(target).getPosition() + position;

    const Window source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display, selection, source, CurrentTime);
    const auto send = [&](Atom type, long l1, long l2, long l3, long l4) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = (Window) target;
        event.xclient.message_type = type;
        event.xclient.format = 32;
        event.xclient.data.l[0] = (long) source;
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(display, (Window) target, False, NoEventMask, &event);
        XFlush(display);
    };

    // Serves the window's requests for the file list until a message of the type arrives or time runs out.
    const auto awaitMessage = [&](Atom type) -> std::optional<XClientMessageEvent> {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (juce::Time::getMillisecondCounter() < end)
        {
            if (XPending(display) == 0)
            {
                const int fd = ConnectionNumber(display);
                fd_set set;
                FD_ZERO(&set);
                FD_SET(fd, &set);
                timeval wait{0, 20000};
                select(fd + 1, &set, nullptr, nullptr, &wait);
                continue;
            }
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == SelectionRequest)
            {
                const auto& request = event.xselectionrequest;
                XEvent reply{};
                reply.xselection.type = SelectionNotify;
                reply.xselection.display = display;
                reply.xselection.requestor = request.requestor;
                reply.xselection.selection = request.selection;
                reply.xselection.target = request.target;
                reply.xselection.time = request.time;
                reply.xselection.property = None;
                if (request.target == uriList)
                {
                    XChangeProperty(display, request.requestor, request.property, uriList, 8, PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(bytes.data()), (int) bytes.size());
                    reply.xselection.property = request.property;
                }
                XSendEvent(display, request.requestor, False, NoEventMask, &reply);
                XFlush(display);
            }
            else if (event.type == ClientMessage && event.xclient.message_type == type)
            {
                return event.xclient;
            }
        }
        return std::nullopt;
    };

    auto outcome = DropOutcome::noAnswer;
    send(enter, 3L << 24, (long) uriList, None, None);
    send(positionAtom, 0, (screenPosition.x << 16) | screenPosition.y, CurrentTime, (long) copy);
    if (const auto reply = awaitMessage(status))
    {
        if (dropWhenTaken && (reply->data.l[1] & 1) != 0)
        {
            send(drop, 0, CurrentTime, 0, 0);
            if (awaitMessage(finished))
                outcome = DropOutcome::dropped;
        }
        else
        {
            send(leave, 0, 0, 0, 0);
            outcome = DropOutcome::refused;
        }
    }
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    return outcome;
}

void RealProgram::closeWindow(unsigned long window)
{
    if (x->display == nullptr)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window) window;
    event.xclient.message_type = XInternAtom(x->display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom(x->display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x->display, (Window) window, False, NoEventMask, &event);
    flush();
}

int RealProgram::closeAndWaitForExit(unsigned long window)
{
    const auto shown = [&] {
        for (const auto& entry : getWindows())
            if (entry.first == window)
                return true;
        return false;
    };
    // Closed again while the window stays; once it has gone the program is on its way out.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(hangMs);
    do
    {
        closeWindow(window);
        if (const int code = waitForExit(1000); code != -1)
            return code;
    } while (shown() && std::chrono::steady_clock::now() < end);
    const int code = waitForExit();
    if (code == -1)
    {
        // What each of the program's threads waits in, for whoever reads the failure.
        const juce::File tasks("/proc/" + juce::String(pid) + "/task");
        for (const auto& task : tasks.findChildFiles(juce::File::findDirectories, false))
            std::fprintf(stderr, "still running: thread %s (%s) in %s, system call %s\n", task.getFileName().toRawUTF8(),
                         task.getChildFile("comm").loadFileAsString().trim().toRawUTF8(),
                         task.getChildFile("wchan").loadFileAsString().trim().toRawUTF8(),
                         task.getChildFile("syscall").loadFileAsString().upToFirstOccurrenceOf(" ", false, false).trim().toRawUTF8());
    }
    return code;
}

void RealProgram::sendSignal(int signal)
{
    if (pid > 0 && exitStatus == -1)
        kill(pid, signal);
}

int RealProgram::waitForExit(int timeoutMs)
{
    if (pid > 0 && exitStatus == -1)
        exitStatus = waitForChild(pid, timeoutMs);
    return pid > 0 ? exitStatus : -1;
}

bool RealProgram::isRunning()
{
    if (pid <= 0 || exitStatus != -1)
        return false;
    return waitForExit(0) == -1;
}

void RealProgram::stopAll()
{
    if (pid > 0 && exitStatus == -1)
        stopChild(pid, true);
    stopChild(windowManagerPid, false);
    if (x->display != nullptr)
        XCloseDisplay(x->display);
    x->display = nullptr;
    stopChild(serverPid, false);
    ownFolder.deleteRecursively();
}
} // namespace testsupport
