#include <gtest/gtest.h>

// Reaches the toolkit's X connection, to put it in the state its timers leave it in (after the test
// framework: the X headers define words it uses).
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "platform/loop/EventLoop.h"
#include "tests/support/TestSupport.h"

#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{
bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

struct ClickTarget : juce::Component
{
    int presses = 0;
    void mouseDown(const juce::MouseEvent&) override { ++presses; }
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colours::darkgrey); }
};

// Times the calling thread gave up the CPU because it waited for something.
long voluntarySwitches()
{
    std::ifstream status("/proc/self/task/" + std::to_string(::syscall(SYS_gettid)) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
            return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

bool dispatchUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
    while (!condition() && juce::Time::getMillisecondCounter() < end)
        platform::dispatchNextEvents(20);
    return condition();
}
} // namespace

// Requests the toolkit makes on its X connection outside the connection's own handler read every event that
// has arrived off the socket into Xlib: closing a window waits for the server (XSync), the pointer watch asks
// for the pointer, a drawn image is checked for completion. Waiting on the socket then sleeps through those
// events until further input comes. So a window manager's close request that arrived while the transfer
// dialog was closing waited for the next key press.
TEST(EventLoop, HandsOutEventsThatXlibHasAlreadyRead)
{
    if (!haveDisplay())
        GTEST_SKIP() << "no X display";

    ClickTarget target;
    target.setBounds(100, 100, 200, 120);
    target.addToDesktop(0);
    target.setVisible(true);
    juce::Component dialog;
    dialog.setBounds(400, 100, 100, 100);
    dialog.addToDesktop(0);
    dialog.setVisible(true);
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return target.isShowing() && dialog.isShowing(); }, 5000));
    juce::MessageManager::getInstance()->runDispatchLoopUntil(300); // mapped and drawn

    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    ASSERT_NE(display, nullptr);
    auto* x11 = juce::X11Symbols::getInstance();

    // A click from another client, as a user's.
    Display* input = XOpenDisplay(nullptr);
    ASSERT_NE(input, nullptr);
    const auto centre = target.getScreenBounds().getCentre();
    XTestFakeMotionEvent(input, DefaultScreen(input), centre.x, centre.y, 0);
    XTestFakeButtonEvent(input, 1, True, 0);
    XTestFakeButtonEvent(input, 1, False, 0);
    XSync(input, False);
    XCloseDisplay(input);
    juce::Thread::sleep(100); // the server has written the events to the toolkit's connection

    // The dialog closes before the loop has looked at the connection.
    dialog.removeFromDesktop();
    pollfd socket{x11->xConnectionNumber(display), POLLIN, 0};
    ASSERT_EQ(poll(&socket, 1, 0), 0) << "the events should wait in Xlib, not on the socket";

    EXPECT_TRUE(dispatchUntil([&] { return target.presses > 0; }, 2000));
    EXPECT_EQ(target.presses, 1);
}

TEST(EventLoop, ModalLoopReturnsTheResultItsStateEndedWith)
{
    // Off the screen, so without the keyboard focus.
    juce::Component dialog;
    dialog.enterModalState(false);
    juce::Timer::callAfterDelay(50, [&] { dialog.exitModalState(7); });
    EXPECT_EQ(platform::runModalLoop(dialog), 7);
    EXPECT_FALSE(dialog.isCurrentlyModal(false));

    dialog.enterModalState(false);
    juce::Timer::callAfterDelay(50, [&] { dialog.exitModalState(3); });
    EXPECT_EQ(platform::runModalLoop(dialog), 3);
}

TEST(EventLoop, NestedModalLoopsEndInnermostFirst)
{
    juce::Component outer, inner;
    std::vector<int> ended;
    outer.enterModalState(false);
    juce::Timer::callAfterDelay(20, [&] {
        inner.enterModalState(false);
        juce::Timer::callAfterDelay(20, [&] { inner.exitModalState(2); });
        ended.push_back(platform::runModalLoop(inner));
        outer.exitModalState(1);
    });
    ended.push_back(platform::runModalLoop(outer));
    EXPECT_EQ(ended, (std::vector<int>{2, 1}));
}

// A dialog waiting for the user costs nothing: the loop sleeps until something is to be done, where the
// toolkit's loop wakes every millisecond to look.
TEST(EventLoop, IdleModalLoopSleeps)
{
    juce::Component dialog;
    // Once round the loop first, so that the counted half second pages in no code.
    dialog.enterModalState(false);
    juce::Timer::callAfterDelay(20, [&] { dialog.exitModalState(0); });
    platform::runModalLoop(dialog);

    dialog.enterModalState(false);
    long before = 0;
    juce::Timer::callAfterDelay(10, [&] { before = voluntarySwitches(); });
    long after = 0;
    juce::Timer::callAfterDelay(510, [&] {
        after = voluntarySwitches();
        dialog.exitModalState(0);
    });
    platform::runModalLoop(dialog);
    ASSERT_GE(before, 0);
    // Half a second of waiting: the two timer messages wake it a few times; the toolkit's loop wakes about
    // 500 times (300 and more on a busy machine), the bound leaves room for a busy machine's other waits.
    EXPECT_LT(after - before, 150);
}
