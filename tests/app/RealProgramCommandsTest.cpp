// The file and option commands in the real program, driven with real key presses, clicks and a real drop.
// Two programs of the present start-up cannot run at once (the toolkit's machine-wide instance lock), so these
// wait for the per-user lock of the real start-up.
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/ProgramFileWriter.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <iostream>
#include <cstring>
#include <optional>
#include <sys/select.h>

using testsupport::RealProgram;

namespace
{
const juce::String applicationName("sonavire Sound Librarian");

juce::String programNameIn(const juce::File& file)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    if (x47390_file::LibraryFileReader(library.get()).read(file) != 0)
        return "(unreadable)";
    return library->getProgramData(0).getName().trimEnd();
}

// Saves a screenshot where SONAVIRE_SCREENSHOTS names a folder, to look at.
void keepScreenshot(RealProgram& program, unsigned long window, const juce::String& name)
{
    if (const char* folder = std::getenv("SONAVIRE_SCREENSHOTS"))
        program.saveScreenshot(juce::File(folder).getChildFile(name + ".png"), window);
}

// Drops files on a window the way a file manager does, through the XDND protocol: enter, position, drop,
// handing the file list over as "text/uri-list" when the window asks for it. True once the window finished.
bool dropFiles(const juce::String& displayName, unsigned long target, juce::Point<int> screenPosition,
               const juce::StringArray& paths, int timeoutMs = 5000)
{
    Display* display = XOpenDisplay(displayName.toRawUTF8());
    if (display == nullptr)
        return false;
    const auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    const Atom enter = atom("XdndEnter"), position = atom("XdndPosition"), status = atom("XdndStatus"),
               drop = atom("XdndDrop"), finished = atom("XdndFinished"), selection = atom("XdndSelection"),
               copy = atom("XdndActionCopy"), uriList = atom("text/uri-list");

    juce::String uris;
    for (const auto& path : paths)
        uris << juce::URL(juce::File(path)).toString(false) << "\r\n";
    const char* bytes = uris.toRawUTF8();

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
                                    reinterpret_cast<const unsigned char*>(bytes), (int) std::strlen(bytes));
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

    bool done = false;
    send(enter, 3L << 24, (long) uriList, None, None);
    send(position, 0, (screenPosition.x << 16) | screenPosition.y, CurrentTime, (long) copy);
    if (const auto reply = awaitMessage(status); reply && (reply->data.l[1] & 1) != 0)
    {
        send(drop, 0, CurrentTime, 0, 0);
        done = awaitMessage(finished).has_value();
    }
    XDestroyWindow(display, source);
    XCloseDisplay(display);
    return done;
}

class RealProgramCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No search and no receive at start: the commands are the only thing that happens.
        const auto folder = configHome().getChildFile("VEXO sonavire Sound Librarian");
        ASSERT_TRUE(folder.createDirectory());
        ASSERT_TRUE(folder.getChildFile("PreferencesData.xml")
                        .replaceWithText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PreferencesData>"
                                         "<MidiPortAutoScan Value=\"0\"/><AutoReceive Value=\"0\"/></PreferencesData>\n"));
    }

    juce::File configHome() const { return files.file("config"); }

    RealProgram::Options options() const
    {
        RealProgram::Options result;
        result.configHome = configHome();
        return result;
    }

    juce::File writeLibrary(const juce::String& name, const juce::String& programName) const
    {
        auto library = std::make_unique<x47390_data::LibraryData>();
        library->getProgramData(0).setName(programName);
        library->getProgramData(0).updateHash();
        const auto file = files.file(name);
        EXPECT_EQ(x47390_file::LibraryFileWriter(library.get()).write(file), 0);
        return file;
    }

    static unsigned long waitForMainWindow(RealProgram& program)
    {
        return program.waitForWindow([](const juce::String& title) { return title.startsWith(applicationName); });
    }

    static unsigned long waitForTitle(RealProgram& program, const juce::String& title)
    {
        return program.waitForWindow([title](const juce::String& t) { return t == title; });
    }

    static bool titleBecomes(RealProgram& program, unsigned long window, const juce::String& title)
    {
        return RealProgram::waitUntil([&] { return program.getTitle(window) == title; });
    }

    // Clicks into the name box at the foot of the toolkit's chooser, types a full path and presses Return
    // twice: the first goes to the file's folder, the second confirms.
    static void chooseInChooser(RealProgram& program, unsigned long chooser, const juce::File& file)
    {
        const auto bounds = program.getWindowBounds(chooser);
        focusWindow(program, chooser);
        clickIn(program, chooser, {bounds.getWidth() / 2, bounds.getHeight() - 62});
        program.typeText(file.getFullPathName());
        program.pressKey("Return");
        program.pressKey("Return");
        nudgeMouse(program, chooser);
    }

    // Without a window manager nobody gives a window the keyboard when a dialog closes: the test does what a
    // window manager would, and waits until the window has it.
    static void focusWindow(RealProgram& program, unsigned long window)
    {
        Display* display = XOpenDisplay(program.getDisplayName().toRawUTF8());
        ASSERT_NE(display, nullptr);
        XSetInputFocus(display, (Window) window, RevertToParent, CurrentTime);
        XSync(display, False);
        EXPECT_TRUE(RealProgram::waitUntil([&] {
            Window focus = 0;
            int revert = 0;
            XGetInputFocus(display, &focus, &revert);
            return focus == (Window) window;
        }));
        XCloseDisplay(display);
    }

    // The toolkit reads X events when its connection has new data; events that an earlier reply brought in
    // with it wait for the next. A user's mouse always brings more; here a small move over the window does.
    static void nudgeMouse(RealProgram& program, unsigned long window)
    {
        const int x = program.getWindowBounds(window).getWidth() - 20;
        program.moveMouse(window, {x, 10});
        program.moveMouse(window, {x - 1, 10});
    }

    static void pressKeyIn(RealProgram& program, unsigned long window, const juce::String& keys)
    {
        focusWindow(program, window);
        program.pressKey(keys);
        nudgeMouse(program, window);
    }

    static void clickIn(RealProgram& program, unsigned long window, juce::Point<int> position)
    {
        program.click(window, position);
        nudgeMouse(program, window);
    }

    // Closes the main window as a window manager does and waits for the program's exit code.
    static int closeAndWait(RealProgram& program, unsigned long window)
    {
        program.closeWindow(window);
        nudgeMouse(program, window);
        return program.waitForExit();
    }

    // Opens a menu of the menu bar (titles 40, 40, 80 and 50 pixels wide) and walks down to its n-th command
    // with the arrow keys, then presses Return.
    static void chooseFromMenu(RealProgram& program, unsigned long window, int menuIndex, int item,
                               const juce::String& screenshotName = {})
    {
        const int centres[] = {20, 60, 120, 185};
        focusWindow(program, window);
        clickIn(program, window, {centres[menuIndex], 10});
        ASSERT_TRUE(RealProgram::waitUntil([&] { return program.getWindows().size() > 1; }));
        for (int i = 0; i < item; ++i)
            program.pressKey("Down");
        nudgeMouse(program, window);
        if (screenshotName.isNotEmpty())
            keepScreenshot(program, 0, screenshotName);
        program.pressKey("Return");
        nudgeMouse(program, window);
    }

    // The discard question's window: Yes, No and Cancel from the left, under the message.
    static unsigned long waitForDiscardQuestion(RealProgram& program)
    {
        return waitForTitle(program, "Unsaved changes");
    }

    testsupport::TemporaryFolder files;
};
} // namespace

TEST_F(RealProgramCommands, OpenAndSaveWithTheKeyboard)
{
    const auto library = writeLibrary("Round Trip.snvrlib", "Round Trip");
    RealProgram program(options());
    const auto window = waitForMainWindow(program);
    ASSERT_NE(window, 0u) << program.getOutput();
    EXPECT_EQ(program.getTitle(window), applicationName + " - Untitled");

    pressKeyIn(program, window, "ctrl+o");
    const auto chooser = waitForTitle(program, "Open a library");
    ASSERT_NE(chooser, 0u) << program.getOutput();
    keepScreenshot(program, chooser, "open-chooser");
    chooseInChooser(program, chooser, library);
    ASSERT_TRUE(titleBecomes(program, window, applicationName + " - Round Trip.snvrlib")) << program.getTitle(window);

    // Ctrl+S writes the library back to its file: a new file replaces the old one.
    const auto before = library.getFileIdentifier();
    pressKeyIn(program, window, "ctrl+s");
    ASSERT_TRUE(RealProgram::waitUntil([&] { return library.getFileIdentifier() != before; }));
    EXPECT_EQ(programNameIn(library), "Round Trip");

    // Ctrl+Shift+S with another extension typed: the library file of that name is written.
    pressKeyIn(program, window, "ctrl+shift+s");
    const auto saveChooser = waitForTitle(program, "Save the library");
    ASSERT_NE(saveChooser, 0u);
    chooseInChooser(program, saveChooser, files.file("Copy.txt"));
    ASSERT_TRUE(titleBecomes(program, window, applicationName + " - Copy.snvrlib")) << program.getTitle(window);
    EXPECT_EQ(programNameIn(files.file("Copy.snvrlib")), "Round Trip");
    EXPECT_FALSE(files.file("Copy.txt").exists());

    EXPECT_EQ(closeAndWait(program, window), 0) << program.getOutput();
}

// A library file dragged from a file manager onto the main window opens; its extension counts in any case.
TEST_F(RealProgramCommands, ADroppedLibraryOpens)
{
    const auto library = writeLibrary("Dropped.SNVRLIB", "Dropped");
    RealProgram program(options());
    const auto window = waitForMainWindow(program);
    ASSERT_NE(window, 0u) << program.getOutput();

    const auto bounds = program.getWindowBounds(window);
    EXPECT_TRUE(dropFiles(program.getDisplayName(), window, bounds.getCentre(), {library.getFullPathName()}));
    ASSERT_TRUE(titleBecomes(program, window, applicationName + " - Dropped.SNVRLIB")) << program.getTitle(window);

    EXPECT_EQ(closeAndWait(program, window), 0) << program.getOutput();
}

// Ctrl+, opens the preferences: Escape closes them storing nothing, OK writes the file at once.
TEST_F(RealProgramCommands, PreferencesOpenWithTheKeyboard)
{
    RealProgram program(options());
    const auto window = waitForMainWindow(program);
    ASSERT_NE(window, 0u) << program.getOutput();
    const auto preferencesFile = program.getPreferencesFile();
    const auto before = preferencesFile.loadFileAsString();

    pressKeyIn(program, window, "ctrl+comma");
    auto dialog = waitForTitle(program, "Preferences");
    ASSERT_NE(dialog, 0u) << program.getOutput();
    EXPECT_NEAR(program.getWindowBounds(dialog).getWidth(), 540, 2);
    keepScreenshot(program, dialog, "preferences");
    clickIn(program, dialog, {40, 204}); // the warning toggle
    pressKeyIn(program, dialog, "Escape");
    ASSERT_TRUE(RealProgram::waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_EQ(preferencesFile.loadFileAsString(), before);

    pressKeyIn(program, window, "ctrl+comma");
    dialog = waitForTitle(program, "Preferences");
    ASSERT_NE(dialog, 0u);
    clickIn(program, dialog, {40, 204});
    clickIn(program, dialog, {479, 290}); // OK
    ASSERT_TRUE(RealProgram::waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_TRUE(preferencesFile.loadFileAsString().contains("<WarnBeforeWriting Value=\"0\"/>"))
        << preferencesFile.loadFileAsString();

    EXPECT_EQ(closeAndWait(program, window), 0) << program.getOutput();
}

// Exit on an edited library asks first: Escape keeps the program and its edit, No lets it end.
TEST_F(RealProgramCommands, ExitOnAnEditedLibraryAsksFirst)
{
    x47390_data::ProgramData sound;
    sound.setName("Dropped In");
    sound.updateHash();
    const auto programFile = files.file("One.snvrprog");
    ASSERT_EQ(x47390_file::ProgramFileWriter(&sound).write(programFile), 0);

    RealProgram program(options());
    const auto window = waitForMainWindow(program);
    ASSERT_NE(window, 0u) << program.getOutput();

    // A program file dropped on the window goes into the selected program: the library is edited.
    const auto bounds = program.getWindowBounds(window);
    EXPECT_TRUE(dropFiles(program.getDisplayName(), window, bounds.getCentre(), {programFile.getFullPathName()}));
    ASSERT_TRUE(titleBecomes(program, window, applicationName + " - Untitled (edited)")) << program.getTitle(window);

    pressKeyIn(program, window, "ctrl+q");
    auto question = waitForDiscardQuestion(program);
    ASSERT_NE(question, 0u) << program.getOutput();
    keepScreenshot(program, question, "discard-question");
    pressKeyIn(program, question, "Escape");
    ASSERT_TRUE(RealProgram::waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_TRUE(program.isRunning());
    EXPECT_EQ(program.getTitle(window), applicationName + " - Untitled (edited)");

    pressKeyIn(program, window, "ctrl+q");
    question = waitForDiscardQuestion(program);
    ASSERT_NE(question, 0u);
    clickIn(program, question, {164, 72}); // No, below the one-line question
    EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
}

// Initialise, from the Option menu, removes the installed presets and ends the program; the preferences stay.
TEST_F(RealProgramCommands, InitialiseRemovesThePresets)
{
    const auto presets = configHome().getChildFile("VEXO sonavire Sound Librarian").getChildFile("Preset Data");
    ASSERT_TRUE(presets.getChildFile("Installed.isnvrpreset").create().wasOk());

    RealProgram program(options());
    const auto window = waitForMainWindow(program);
    ASSERT_NE(window, 0u) << program.getOutput();

    // The File menu, looked at and closed again.
    focusWindow(program, window);
    clickIn(program, window, {20, 10});
    ASSERT_TRUE(RealProgram::waitUntil([&] { return program.getWindows().size() > 1; }));
    keepScreenshot(program, 0, "file-menu");
    pressKeyIn(program, window, "Escape");
    ASSERT_TRUE(RealProgram::waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_TRUE(presets.exists());

    // Option menu: Open Preset Window, Preferences, About, Initialise.
    chooseFromMenu(program, window, 3, 4, "option-menu");
    EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
    EXPECT_FALSE(presets.exists());
    EXPECT_TRUE(program.getPreferencesFile().existsAsFile());
}
