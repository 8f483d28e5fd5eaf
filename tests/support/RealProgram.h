#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <memory>
#include <vector>

#include <sys/types.h>

namespace testsupport
{
// The real program, started on an X server of its own (a private Xvfb), with its own preferences and
// temporary folders, and driven the way a user drives it: real key presses, clicks and drags through
// the XTest extension. Results are read from outside: window titles, screenshots, files, exit codes.
// Every process it starts is stopped and every folder it made is removed when it goes.
class RealProgram
{
public:
    struct Options
    {
        juce::StringArray arguments;
        // Preferences folder ($XDG_CONFIG_HOME); a fresh temporary one when not set. Kept when given.
        juce::File configHome;
        // Socket path of the MIDI bridge; empty: a path nobody listens on, so no instrument is found.
        juce::String bridgeSocket;
        // Extra environment variables, "NAME=value".
        juce::StringArray environment;
        // Starts the program on the X server of an earlier one (for a second instance).
        const RealProgram* shareDisplayWith = nullptr;
    };

    explicit RealProgram(Options options);
    RealProgram() : RealProgram(Options{}) {}
    ~RealProgram();

    RealProgram(const RealProgram&) = delete;
    RealProgram& operator=(const RealProgram&) = delete;

    // True when the program started (its X server runs and the process was created).
    bool isStarted() const noexcept { return pid > 0; }
    pid_t getPid() const noexcept { return pid; }
    const juce::String& getDisplayName() const noexcept { return displayName; }

    // The program's preferences folder ("<configHome>/VEXO sonavire Sound Librarian"), its
    // preferences file and its temporary folder.
    juce::File getConfigHome() const { return configHome; }
    juce::File getPreferencesFolder() const;
    juce::File getPreferencesFile() const;
    juce::File getTemporaryFolder() const { return temporaryFolder; }

    // Everything the program wrote to standard output and standard error so far.
    juce::String getOutput() const;

    // Waits until a mapped top-level window of the program satisfies the condition (any window when
    // none is given); returns its X window id, 0 on time-out.
    unsigned long waitForWindow(const std::function<bool(const juce::String& title)>& condition = {},
                                int timeoutMs = 20000);
    // The mapped top-level windows of the program, with their titles.
    std::vector<std::pair<unsigned long, juce::String>> getWindows();
    // The main window (the first window whose title starts with the application name).
    unsigned long getMainWindow();
    juce::String getTitle(unsigned long window);
    juce::Rectangle<int> getWindowBounds(unsigned long window); // in screen coordinates

    // Waits until the condition holds, polling every 20 ms.
    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);

    // Input. Key combinations are written like "ctrl+shift+s", "Return", "Escape", "alt+Down"
    // (X key symbol names joined by "+"). Positions are relative to the given window.
    void pressKey(const juce::String& combination);
    void typeText(const juce::String& text);
    void moveMouse(unsigned long window, juce::Point<int> position);
    void click(unsigned long window, juce::Point<int> position, int button = 1, int count = 1);
    // Presses at one point, moves in small steps to the other and releases; with alt held at the
    // release when asked (a copy drag).
    void drag(unsigned long window, juce::Point<int> from, juce::Point<int> to, bool altAtDrop = false);
    // Scrolls the mouse wheel at a point: positive steps up, negative down.
    void scrollWheel(unsigned long window, juce::Point<int> position, int steps);

    // A picture of a window as the screen shows it (or of the whole screen for window 0).
    juce::Image screenshot(unsigned long window = 0);
    // Saves a screenshot as PNG; the folder is created when missing.
    bool saveScreenshot(const juce::File& file, unsigned long window = 0);

    // Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
    void closeWindow(unsigned long window);

    // Sends a signal to the program.
    void sendSignal(int signal);
    // Waits for the program to end; its exit code, -1 on time-out, 128 + n when a signal n ended it.
    int waitForExit(int timeoutMs = 20000);
    bool isRunning();

private:
    bool startServer(const RealProgram* shared);
    void startProgram(const Options& options);
    void flush();
    void stopAll();

    struct X;
    std::unique_ptr<X> x;
    pid_t serverPid = -1;
    pid_t pid = -1;
    int exitStatus = -1;
    juce::String displayName;
    juce::File configHome, temporaryFolder, outputFile, ownFolder;
};

// The built program's executable.
juce::File programExecutable();
} // namespace testsupport
