#include "platform/clipboard/X11Pasteboard.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include <unistd.h>

using platform::clipboard::X11Pasteboard;

namespace
{
const juce::String programType = "x47390_ProgramData";

// Test processes share one display and run side by side: each works on a selection of its own.
const juce::String selection = "SONAVIRE_TEST_SELECTION_" + juce::String(::getpid());

// Another X client on a connection of its own: it owns CLIPBOARD and answers as its mode says, or asks
// the owner for TARGETS.
class OtherClient
{
public:
    enum class Mode
    {
        text,   // offers UTF8_STRING only
        incr,   // answers every target with an incremental transfer
        silent, // never answers
    };

    OtherClient()
    {
        display = XOpenDisplay(nullptr);
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        clipboard = XInternAtom(display, selection.toRawUTF8(), False);
        targets = XInternAtom(display, "TARGETS", False);
        utf8 = XInternAtom(display, "UTF8_STRING", False);
        incr = XInternAtom(display, "INCR", False);
    }

    ~OtherClient()
    {
        stop = true;
        if (server.joinable())
            server.join();
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }

    void own(Mode mode)
    {
        XSetSelectionOwner(display, clipboard, window, CurrentTime);
        XSync(display, False);
        server = std::thread([this, mode] { serve(mode); });
    }

    // The atoms the owner lists for TARGETS, by name; empty when it refuses.
    std::vector<std::string> askTargets()
    {
        const Atom property = XInternAtom(display, "OTHER_TARGETS", False);
        XConvertSelection(display, clipboard, targets, property, window, CurrentTime);
        XFlush(display);
        XEvent event;
        if (!waitFor(SelectionNotify, event) || event.xselection.property == None)
            return {};
        Atom type;
        int format;
        unsigned long count, remaining;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, property, 0, 64, True, AnyPropertyType, &type, &format, &count,
                           &remaining, &data);
        std::vector<std::string> names;
        if (type == XA_ATOM && format == 32)
            for (unsigned long i = 0; i < count; ++i)
            {
                char* name = XGetAtomName(display, reinterpret_cast<Atom*>(data)[i]);
                names.emplace_back(name);
                XFree(name);
            }
        if (data != nullptr)
            XFree(data);
        return names;
    }

private:
    bool waitFor(int type, XEvent& event)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(testsupport::hangMs);
        while (std::chrono::steady_clock::now() < deadline)
        {
            if (XCheckTypedWindowEvent(display, window, type, &event))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    void serve(Mode mode)
    {
        while (!stop)
        {
            XEvent event;
            if (!XCheckTypedWindowEvent(display, window, SelectionRequest, &event))
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            if (mode == Mode::silent)
                continue;
            const auto& request = event.xselectionrequest;
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = None;
            if (mode == Mode::incr)
            {
                const long size = 4000;
                XChangeProperty(display, request.requestor, request.property, incr, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(&size), 1);
                reply.xselection.property = request.property;
            }
            else if (request.target == utf8)
            {
                XChangeProperty(display, request.requestor, request.property, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>("text"), 4);
                reply.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &reply);
            XFlush(display);
        }
    }

    ::Display* display = nullptr;
    ::Window window = 0;
    Atom clipboard, targets, utf8, incr;
    std::atomic<bool> stop{false};
    std::thread server;
};

class X11PasteboardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display";
        first = testsupport::madeWithin([] { return X11Pasteboard::open({}, selection); });
        second = testsupport::madeWithin([] { return X11Pasteboard::open({}, selection); });
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
    }

    std::shared_ptr<X11Pasteboard> first, second;
};

juce::MemoryBlock bytes(const char* text) { return juce::MemoryBlock(text, std::strlen(text)); }

template <class Fn>
long millisecondsOf(Fn&& fn)
{
    const auto start = std::chrono::steady_clock::now();
    fn();
    return (long) std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}
} // namespace

TEST_F(X11PasteboardTest, AnotherConnectionReadsTheSameBytes)
{
    juce::MemoryBlock program;
    for (int i = 0; i < 3000; ++i)
        program.append(&i, 1);
    first->setData(programType, program);
    EXPECT_TRUE(first->ownsSelection());

    EXPECT_EQ(second->getData(programType), program);
    EXPECT_EQ(first->getData(programType), program); // its own copy
    EXPECT_FALSE(second->getData("UTF8_STRING").has_value());
    EXPECT_FALSE(first->getData("UTF8_STRING").has_value());

    // Whoever copies last owns the selection.
    second->setData(programType, bytes("second"));
    EXPECT_TRUE(second->ownsSelection());
    EXPECT_FALSE(first->ownsSelection());
    EXPECT_EQ(first->getData(programType), bytes("second"));

    // An owner that goes takes its data along.
    second.reset();
    EXPECT_FALSE(first->getData(programType).has_value());
}

TEST_F(X11PasteboardTest, OffersTargetsAndTheTypeOnly)
{
    first->setData(programType, bytes("program"));
    OtherClient other;
    EXPECT_EQ(other.askTargets(), (std::vector<std::string>{"TARGETS", "x47390_ProgramData"}));
    // It keeps answering while this thread is busy elsewhere: a thread of its own serves the requests.
    EXPECT_EQ(second->getData(programType), bytes("program"));
}

TEST_F(X11PasteboardTest, OtherOwnersOfferNoProgram)
{
    struct Case
    {
        const char* what;
        OtherClient::Mode mode;
        long atLeastMs;
    };
    for (const auto& c : {Case{"text", OtherClient::Mode::text, 0}, Case{"incremental", OtherClient::Mode::incr, 0},
                          Case{"silent", OtherClient::Mode::silent, X11Pasteboard::replyTimeoutMs}})
    {
        SCOPED_TRACE(c.what);
        first->setData(programType, bytes("mine"));
        OtherClient other;
        other.own(c.mode);
        EXPECT_FALSE(first->ownsSelection());

        std::optional<juce::MemoryBlock> read;
        const long elapsed = millisecondsOf([&] { read = first->getData(programType); });
        EXPECT_FALSE(read.has_value());
        EXPECT_GE(elapsed + 20, c.atLeastMs);
        EXPECT_LT(elapsed, testsupport::hangMs); // it gives up
    }
    // A late answer of the silent owner is not taken for the next one.
    first->setData(programType, bytes("again"));
    EXPECT_EQ(second->getData(programType), bytes("again"));
}
