// The real program used from the keyboard alone, and its answers to requests to end while a dialog or a
// transfer waits, against the simulated instrument on the MIDI socket bridge.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"

#include <gtest/gtest.h>

#include <csignal>

#include <X11/Xlib.h>

using testsupport::RealProgram;
using simulator::MessageKind;

namespace
{
const juce::String applicationName("sonavire Sound Librarian");

// Main window layout with rows of 25: menu bar 20, header 85, tab bar 30, table header 28.
constexpr int rowsTop = 20 + 85 + 30 + 28;
constexpr int rowHeight = 25;

// A selected row is filled with 0x44aaaaaa over the black list.
bool rowLooksSelected(const juce::Image& shot, int row)
{
    return shot.getPixelAt(700, rowsTop + rowHeight * row + rowHeight / 2).getBrightness() > 0.12f;
}

// The window that has the keyboard on the program's display.
unsigned long focusedWindow(const RealProgram& program)
{
    auto* display = XOpenDisplay(program.getDisplayName().toRawUTF8());
    if (display == nullptr)
        return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    XCloseDisplay(display);
    return (unsigned long) focus;
}

class KeyboardRealProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        // No receive at start; the search at start finds the instrument.
        ASSERT_TRUE(RealProgram::writePreferences(folder.file("config"),
                                                  {{"AutoReceive", "0"}, {"ProgramListHeight", "25"}}));
    }

    std::unique_ptr<RealProgram> start()
    {
        RealProgram::Options options;
        options.bridgeSocket = socket;
        options.configHome = folder.file("config");
        auto program = std::make_unique<RealProgram>(options);
        window = program->waitForMainWindow();
        EXPECT_NE(window, 0u) << program->getOutput();
        EXPECT_TRUE(program->waitUntil([&] { return instrument.getCount(MessageKind::searchRequest) > 0; }, 60000))
            << "the search at start";
        return program;
    }

    // A dialog of this title, given the keyboard as a window manager would; its picture is kept.
    unsigned long dialog(RealProgram& program, const juce::String& title, const juce::String& shot = {})
    {
        const auto found = program.waitForTitle(title, 60000);
        if (found != 0)
        {
            program.focusWindow(found);
            if (shot.isNotEmpty())
                program.keepScreenshot(found, "keyboard/" + shot);
        }
        return found;
    }

    int count(MessageKind kind) { return instrument.getCount(kind); }

    testsupport::TemporaryFolder folder;
    simulator::SimulatedInstrument instrument;
    const juce::String socket = folder.file("instrument.sock").getFullPathName();
    simulator::BridgeInstrumentServer server{instrument, socket.toStdString()};
    unsigned long window = 0;
};
} // namespace

// A save through the chooser, a write with its warning and a quit with unsaved changes, without the mouse.
TEST_F(KeyboardRealProgram, SaveWriteAndQuitFromTheKeyboardAlone)
{
    auto program = start();
    ASSERT_NE(window, 0u);

    // Ctrl+X cuts the selected first program: an edit.
    program->pressKeyIn(window, "ctrl+x");
    ASSERT_TRUE(program->waitForWindowTitle(window, applicationName + " - Untitled (edited)"))
        << program->getTitle(window);

    // Ctrl+S on a library without a file asks for one; the typed name goes into the chooser's name field.
    program->pressKeyIn(window, "ctrl+s");
    const auto chooser = dialog(*program, "Save the library", "save-chooser");
    ASSERT_NE(chooser, 0u) << program->getOutput();
    const auto saved = folder.file("Keys.snvrlib");
    program->typeText(saved.getFullPathName());
    program->pressKey("Return");
    program->pressKey("Return");
    ASSERT_TRUE(program->waitForWindowTitle(window, applicationName + " - Keys.snvrlib")) << program->getTitle(window);
    ASSERT_TRUE(saved.existsAsFile());
    const auto firstSave = saved.getFileIdentifier();

    // The table has the keyboard again: Down selects the second program, which Ctrl+X cuts. Without a window
    // manager nobody hands the window the keyboard back once the chooser has gone; the test does what one would.
    ASSERT_TRUE(program->focusWindow(window));
    program->pressKeyIn(window, "Down");
    EXPECT_TRUE(program->waitWhileMoving(window, {860, rowsTop - 10}, [&] {
        const auto shot = program->screenshot(window);
        return rowLooksSelected(shot, 1) && !rowLooksSelected(shot, 0);
    })) << "the arrows move the selection after the chooser" << program->getOutput();
    program->keepScreenshot(window, "keyboard/after-save-down");
    program->pressKeyIn(window, "ctrl+x");
    ASSERT_TRUE(program->waitForWindowTitle(window, applicationName + " - Keys.snvrlib (edited)"));

    // Ctrl+T warns first; Return keeps the instrument as it is.
    program->pressKeyIn(window, "ctrl+t");
    auto warning = dialog(*program, "Write to the sonavire", "write-warning");
    ASSERT_NE(warning, 0u) << program->getOutput();
    program->pressKey("Return");
    ASSERT_TRUE(program->waitForMainWindowAlone());
    EXPECT_EQ(count(MessageKind::programWrite), 0);

    // Tab reaches OK, and Return writes.
    program->pressKeyIn(window, "ctrl+t");
    warning = dialog(*program, "Write to the sonavire");
    ASSERT_NE(warning, 0u);
    program->pressKey("Tab");
    program->keepScreenshot(warning, "keyboard/write-warning-on-ok");
    program->pressKey("Return");
    ASSERT_TRUE(program->waitUntil([&] { return count(MessageKind::liveSetWrite) == 1; }, 60000))
        << program->getOutput() << " programs written " << count(MessageKind::programWrite);
    EXPECT_EQ(count(MessageKind::programWrite), 500);
    ASSERT_TRUE(program->waitForMainWindowAlone(60000));

    // Ctrl+Q asks about the unsaved edit; Return is Yes: the library is saved and the program ends.
    program->pressKeyIn(window, "ctrl+q");
    const auto question = dialog(*program, "Unsaved changes", "unsaved-changes");
    ASSERT_NE(question, 0u) << program->getOutput();
    program->pressKey("Return");
    EXPECT_EQ(program->waitForExit(60000), 0) << program->getOutput();
    EXPECT_NE(saved.getFileIdentifier(), firstSave) << "a new file replaced the first save";
}

// Closing the window or Ctrl+Q during a transfer changes nothing: the write runs to its end. Escape cancels a
// transfer, and a signal to end cancels it and then ends the program in order.
TEST_F(KeyboardRealProgram, RequestsToEndWaitForTheTransfer)
{
    // Answers after 20 ms: the write takes 10 s, far longer than the requests below take to be handled.
    instrument.setReplyDelayMs(20);
    auto program = start();
    ASSERT_NE(window, 0u);

    const auto startWrite = [&]
    {
        program->pressKeyIn(window, "ctrl+t");
        const auto warning = dialog(*program, "Write to the sonavire");
        ASSERT_NE(warning, 0u) << program->getOutput();
        program->pressKey("Tab");
        program->pressKey("Return");
    };

    ASSERT_NO_FATAL_FAILURE(startWrite());
    ASSERT_TRUE(program->waitUntil([&] { return count(MessageKind::programWrite) > 5; }, 60000));
    // The refused close hands the keyboard to the transfer's dialog, where the user then presses Ctrl+Q.
    program->closeWindow(window);
    program->pressKey("ctrl+q");
    ASSERT_TRUE(program->waitUntilHandled(window));
    // A request handled after the write would rightly end the program: this checks they came during it.
    ASSERT_EQ(count(MessageKind::liveSetWrite), 0) << "the requests were handled only after the write";
    ASSERT_TRUE(program->waitUntil([&] { return count(MessageKind::liveSetWrite) == 1 || !program->isRunning(); },
                                   120000));
    EXPECT_TRUE(program->isRunning()) << program->getOutput();
    EXPECT_EQ(count(MessageKind::programWrite), 500) << "the write ran to its end";
    ASSERT_TRUE(program->waitForMainWindowAlone(60000));

    // Escape cancels a write; the dialog then waits for Return. Slow answers from here on keep each write
    // running far longer than the key or the signal takes to arrive.
    instrument.setReplyDelayMs(200);
    ASSERT_NO_FATAL_FAILURE(startWrite());
    ASSERT_TRUE(program->waitUntil([&] { return count(MessageKind::programWrite) > 505; }, 60000));
    const auto transfer = dialog(*program, "Write Library", "transfer-running");
    ASSERT_NE(transfer, 0u);
    program->pressKey("Escape");
    // Once the write has stopped, the dialog waits for OK, which Return presses (a Return that comes before,
    // while the write still stops, does nothing).
    ASSERT_TRUE(program->waitUntil(
        [&]
        {
            program->pressKey("Return");
            return program->waitForMainWindowAlone(1000);
        },
        60000));
    EXPECT_EQ(count(MessageKind::liveSetWrite), 1) << "the second write was cancelled";
    EXPECT_LT(count(MessageKind::programWrite), 1000);

    // A signal to end cancels the running write and the program ends in order.
    const int writtenBefore = count(MessageKind::programWrite);
    ASSERT_NO_FATAL_FAILURE(startWrite());
    ASSERT_TRUE(program->waitUntil([&] { return count(MessageKind::programWrite) > writtenBefore + 5; }, 60000));
    program->sendSignal(SIGTERM);
    EXPECT_EQ(program->waitForExit(60000), 0) << program->getOutput();
    EXPECT_LT(count(MessageKind::programWrite), writtenBefore + 500);
    EXPECT_EQ(count(MessageKind::liveSetWrite), 1);
    EXPECT_FALSE(program->getOutput().contains("cannot stop")) << program->getOutput();
}

// A second start without a file gives the running program's main window the keyboard.
TEST_F(KeyboardRealProgram, ASecondStartRaisesTheMainWindow)
{
    auto program = start();
    ASSERT_NE(window, 0u);

    // The preset window has the keyboard.
    program->pressKeyIn(window, "ctrl+p");
    const auto presets = program->waitForWindow([](const juce::String& title) { return title.contains("Preset"); });
    ASSERT_NE(presets, 0u) << program->getOutput();
    ASSERT_TRUE(program->focusWindow(presets));

    RealProgram::Options secondOptions;
    secondOptions.configHome = folder.file("config");
    secondOptions.shareDisplayWith = program.get();
    RealProgram second(secondOptions);
    EXPECT_EQ(second.waitForExit(), 0) << second.getOutput();
    EXPECT_TRUE(program->waitUntil([&] { return focusedWindow(*program) == window; }, 60000))
        << "focus on " << focusedWindow(*program) << ", main window " << window;
    EXPECT_EQ(program->closeAndWaitForExit(window), 0) << program->getOutput();
}
