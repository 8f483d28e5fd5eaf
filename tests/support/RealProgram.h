#pragma once

#include "tests/support/TestSupport.h"

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
        // Preferences folder ($XDG_CONFIG_HOME); when not set, a fresh temporary one whose preferences
        // only switch the automatic receive off. Kept when given.
        juce::File configHome;
        // Socket path of the MIDI bridge; empty: a path nobody listens on, so no instrument is found.
        juce::String bridgeSocket;
        // Extra environment variables, "NAME=value".
        juce::StringArray environment;
        // Starts the program on the X server of an earlier one (for a second instance).
        const RealProgram* shareDisplayWith = nullptr;
        // Runs a real window manager (openbox) on the private X server before the program starts: it
        // adds frames and places windows as users' desktops do. Ignored with shareDisplayWith.
        bool windowManager = false;
        // The executable to start; the built program when not set (an installed copy, say).
        juce::File executable;
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
    // True when a window manager runs on the program's display.
    bool hasWindowManager() const noexcept { return windowManagerPid > 0; }

    // The program's preferences folder ("<configHome>/VEXO sonavire Sound Librarian"), its
    // preferences file and its temporary folder.
    juce::File getConfigHome() const { return configHome; }
    juce::File getPreferencesFolder() const;
    juce::File getPreferencesFile() const;
    juce::File getTemporaryFolder() const { return temporaryFolder; }

    // Everything the program wrote to standard output and standard error so far.
    juce::String getOutput() const;

    // Every wait below takes a deadline that only bounds a hang (hangMs unless given): it returns as soon
    // as what it waits for is there.

    // Waits until a mapped top-level window of the program satisfies the condition (any window when
    // none is given); returns its X window id, 0 on time-out.
    unsigned long waitForWindow(const std::function<bool(const juce::String& title)>& condition = {},
                                int timeoutMs = hangMs);
    // The mapped top-level windows of the program, with their titles (the program's own windows, also
    // when a window manager has put them into frames).
    std::vector<std::pair<unsigned long, juce::String>> getWindows();
    // For a failure's reader: the program's windows from the bottom of the stack to its top with their
    // bounds, the window that has the keyboard and the one under the pointer.
    juce::String describeDesktop();
    // The main window (the first window whose title starts with the application name).
    unsigned long getMainWindow();
    juce::String getTitle(unsigned long window);
    juce::Rectangle<int> getWindowBounds(unsigned long window); // in screen coordinates
    // The window with the window manager's frame around it (its top-level ancestor); the window's own
    // bounds without a window manager.
    juce::Rectangle<int> getFrameBounds(unsigned long window);
    // The icon the window gives the window manager (_NET_WM_ICON, its first size); null when it has none.
    juce::Image getWindowIcon(unsigned long window);

    // The main window once it has appeared; 0 when the program ended first or the time ran out.
    unsigned long waitForMainWindow(int timeoutMs = hangMs);
    // A window of exactly this title (a dialog, a chooser).
    unsigned long waitForTitle(const juce::String& title, int timeoutMs = hangMs);
    // Waits until the window's title is this one.
    bool waitForWindowTitle(unsigned long window, const juce::String& title, int timeoutMs = hangMs);
    // Waits until only the main window is left (dialogs, menus and choosers closed).
    bool waitForMainWindowAlone(int timeoutMs = hangMs);

    // Waits until the condition holds, polling every 20 ms.
    static bool waitUntil(const std::function<bool()>& condition, int timeoutMs = hangMs);
    // Waits until the condition holds while the pointer moves to and fro by one pixel at a point of the
    // window: on a bare X server the toolkit may leave what it painted last unshown until its next input
    // event, and a user's pointer never rests for long. The point should be one where hovering changes
    // nothing.
    bool waitWhileMoving(unsigned long window, juce::Point<int> point, const std::function<bool()>& condition,
                         int timeoutMs = hangMs);

    // Input. Key combinations are written like "ctrl+shift+s", "Return", "Escape", "alt+Down"
    // (X key symbol names joined by "+"). Positions are relative to the given window.
    void pressKey(const juce::String& combination);
    void typeText(const juce::String& text);
    void moveMouse(unsigned long window, juce::Point<int> position);
    void click(unsigned long window, juce::Point<int> position, int button = 1, int count = 1);
    // Presses at one point, moves in small steps to the other and releases; with alt held at the
    // release when asked (a copy drag).
    void drag(unsigned long window, juce::Point<int> from, juce::Point<int> to, bool altAtDrop = false);
    // The toolkit ends a finished drag on a timer of its own, and until then takes no new drag from the same
    // place: waits until no picture of an earlier drag is left. drag() and pressButton() do so first.
    bool waitForEarlierDragsToEnd();
    // The halves of a drag, for looking at the screen while the button is held: presses the first button at
    // a point, and releases it where the pointer is.
    void pressButton(unsigned long window, juce::Point<int> position);
    void releaseButton();
    // Scrolls the mouse wheel at a point: positive steps up, negative down.
    void scrollWheel(unsigned long window, juce::Point<int> position, int steps);

    // Without a window manager nobody gives a window the keyboard when a dialog closes: this does what a
    // window manager would, and waits until the window has it.
    bool focusWindow(unsigned long window);
    // A small move over the window's top right corner, where hovering changes nothing: the pointer leaves
    // what it clicked, as a user's hand does before the next action.
    void nudgeMouse(unsigned long window);
    // Input followed by a nudge; keys go to the focused window.
    void pressKeyIn(unsigned long window, const juce::String& combination);
    void clickIn(unsigned long window, juce::Point<int> position);

    // Opens menu menuIndex of the main window's menu bar (File, Edit, MIDI, Option) and walks down to its
    // n-th enabled command with the arrow keys (up from its end for a negative n: -1 is the last); a
    // screenshot of the open menu is kept under the name when one is given, then Return chooses it.
    bool chooseFromMenu(unsigned long window, int menuIndex, int item, const juce::String& screenshotName = {});
    // In the toolkit's file chooser: types the full path into the name box at its foot and presses
    // Return twice (the first goes to the file's folder, the second confirms).
    void chooseInChooser(unsigned long chooser, const juce::File& file);

    // Drops files on a window the way a file manager does (the XDND protocol), at a position in the
    // window, handing the list over as "text/uri-list" when the window asks for it.
    enum class DropOutcome
    {
        dropped, // the window took the drop and said it finished
        refused, // the window said it would not take these files
        noAnswer // the window did not answer in time
    };
    DropOutcome dropFiles(unsigned long window, juce::Point<int> position, const juce::StringArray& paths,
                          int timeoutMs = hangMs);

    // Returns once the program has handled every event sent to it before (windows closed, keys pressed):
    // a drag that enters the window and leaves again without a drop, which the program answers in turn.
    // False when no answer came.
    bool waitUntilHandled(unsigned long window, int timeoutMs = hangMs);

    // A picture of a window as the screen shows it (or of the whole screen for window 0).
    juce::Image screenshot(unsigned long window = 0);
    // Saves a screenshot as PNG; the folder is created when missing.
    bool saveScreenshot(const juce::File& file, unsigned long window = 0);
    // Keeps a screenshot to look at, as "<name>.png" below screenshotFolder() (name may hold folders).
    bool keepScreenshot(unsigned long window, const juce::String& name);
    // $SONAVIRE_SCREENSHOTS when set, else "screenshots" in the build folder.
    static juce::File screenshotFolder();

    // Preferences of an earlier run, written before a start: one <Key Value="..."/> entry per pair.
    static bool writePreferences(const juce::File& configHome,
                                 const std::vector<std::pair<juce::String, juce::String>>& entries);

    // Asks the window to close the way a window manager does (WM_DELETE_WINDOW).
    void closeWindow(unsigned long window);
    // Closes the main window as a user does, and again while the program refuses (its instrument
    // search, which ends soon after the start, may still run) until it ends; the exit code as waitForExit
    // gives it.
    int closeAndWaitForExit(unsigned long window);

    // Sends a signal to the program.
    void sendSignal(int signal);
    // Waits for the program to end; its exit code, -1 on time-out, 128 + n when a signal n ended it.
    int waitForExit(int timeoutMs = hangMs);
    bool isRunning();

private:
    // Drags the files over the window; drops them when the window takes them and dropWhenTaken, else leaves.
    DropOutcome dragFilesOver(unsigned long window, juce::Point<int> position, const juce::StringArray& paths,
                              int timeoutMs, bool dropWhenTaken);
    bool startServer(const RealProgram* shared);
    bool startWindowManager();
    void startProgram(const Options& options);
    void flush();
    void stopAll();

    struct X;
    std::unique_ptr<X> x;
    pid_t serverPid = -1;
    pid_t windowManagerPid = -1;
    pid_t pid = -1;
    int exitStatus = -1;
    juce::String displayName;
    juce::File configHome, temporaryFolder, outputFile, ownFolder;
};

// Names the two desktops that tests run on: a bare X server and one with a window manager.
inline const char* desktopName(bool windowManager) { return windowManager ? "WindowManager" : "BareServer"; }

// The built program's executable.
juce::File programExecutable();

// True when two pictures have the same size and the same pixels.
bool samePixels(const juce::Image& a, const juce::Image& b);

// Keeps a picture to look at, as "<name>.png" below RealProgram::screenshotFolder() (name may hold folders).
bool keepImage(const juce::Image& image, const juce::String& name);
} // namespace testsupport
