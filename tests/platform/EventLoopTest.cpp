#include <gtest/gtest.h>

// Reaches the toolkit's X connection, to put it in the state its timers leave it in (after the test
// framework: the X headers define words it uses).
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "platform/loop/EventLoop.h"
#include "tests/support/TestSupport.h"

#include <X11/extensions/XTest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

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

bool dispatchUntil(const std::function<bool()>& condition)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) testsupport::hangMs;
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
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    ASSERT_NE(display, nullptr);
    auto* x11 = juce::X11Symbols::getInstance();
    // Mapped: the server then has sent every event of the mapping before it answers the question.
    const auto mapped = [&](juce::Component& component) {
        XWindowAttributes attributes{};
        return component.getPeer() != nullptr
               && x11->xGetWindowAttributes(display, (::Window) component.getPeer()->getNativeHandle(), &attributes)
                      != 0
               && attributes.map_state == IsViewable;
    };
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return mapped(target) && mapped(dialog); }));
    juce::MessageManager::getInstance()->runDispatchLoopUntil(20);

    // A click from another client, as a user's.
    Display* input = XOpenDisplay(nullptr);
    ASSERT_NE(input, nullptr);
    const auto centre = target.getScreenBounds().getCentre();
    XTestFakeMotionEvent(input, DefaultScreen(input), centre.x, centre.y, 0);
    XTestFakeButtonEvent(input, 1, True, 0);
    XTestFakeButtonEvent(input, 1, False, 0);
    XSync(input, False); // the server has made the events for the toolkit's connection
    XCloseDisplay(input);

    // The dialog closes before the loop has looked at the connection.
    dialog.removeFromDesktop();
    pollfd socket{x11->xConnectionNumber(display), POLLIN, 0};
    ASSERT_EQ(poll(&socket, 1, 0), 0) << "the events should wait in Xlib, not on the socket";

    EXPECT_TRUE(dispatchUntil([&] { return target.presses > 0; }));
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

// A dialog waiting for the user costs nothing: the loop sleeps in poll() until something is to be done, where
// the toolkit's loop wakes every millisecond to look.
TEST(EventLoop, IdleModalLoopSleeps)
{
    juce::Component dialog;
    dialog.enterModalState(false);
    const juce::File thread("/proc/self/task/" + juce::String((int) ::syscall(SYS_gettid)));
    std::atomic<bool> slept{false};
    std::thread watcher([&] {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) testsupport::hangMs;
        while (!slept && juce::Time::getMillisecondCounter() < end)
        {
            slept = testsupport::sleepsInPollWithoutDeadline(thread);
            juce::Thread::sleep(2);
        }
        juce::MessageManager::callAsync([&] { dialog.exitModalState(0); });
    });
    platform::runModalLoop(dialog);
    watcher.join();
    EXPECT_TRUE(slept);
}
