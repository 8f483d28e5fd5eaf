#include "platform/clipboard/X11Pasteboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

// JUCE serves its own text clipboard from this window, on the message thread.
namespace juce
{
extern ::Window juce_messageWindowHandle;
}

namespace platform::clipboard
{
// Everything that touches the display runs under the lock: the message thread's calls and the
// serving thread's event handling. Xlib may read events into its queue during any call, so each
// message-thread call ends by waking the serving thread, which then empties that queue.
struct X11Pasteboard::Connection
{
    ::Display* display = nullptr;
    ::Window window = 0;
    Atom clipboardAtom = 0, targetsAtom = 0, incrAtom = 0, replyAtom = 0;
    int wakePipe[2] = {-1, -1};
    std::thread server;

    std::mutex lock;
    bool stopping = false;
    bool owning = false;
    Atom heldType = 0;
    juce::String heldTypeName;
    juce::MemoryBlock heldBytes;

    // The one conversion the message thread may wait for, and how long it waits.
    int answerTimeoutMs = X11Pasteboard::replyTimeoutMs;
    std::condition_variable answered;
    bool awaiting = false;
    bool hasAnswer = false;
    std::optional<juce::MemoryBlock> answer;

    ~Connection()
    {
        if (server.joinable())
        {
            {
                std::lock_guard<std::mutex> guard(lock);
                stopping = true;
            }
            wake();
            server.join();
        }
        if (display != nullptr)
        {
            if (window != 0)
                XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
        for (int fd : wakePipe)
            if (fd >= 0)
                ::close(fd);
    }

    void wake()
    {
        const char byte = 0;
        [[maybe_unused]] const auto written = ::write(wakePipe[1], &byte, 1);
    }

    void serve()
    {
        const int xfd = ConnectionNumber(display);
        for (;;)
        {
            {
                std::lock_guard<std::mutex> guard(lock);
                if (stopping)
                    return;
                while (XPending(display) > 0)
                {
                    XEvent event;
                    XNextEvent(display, &event);
                    handle(event);
                }
            }
            pollfd fds[2] = {{xfd, POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                return;
            if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
                return; // the display is gone: nobody is left to serve
            if ((fds[1].revents & POLLIN) != 0)
            {
                char drained[64];
                [[maybe_unused]] const auto count = ::read(wakePipe[0], drained, sizeof(drained));
            }
        }
    }

    void handle(XEvent& event)
    {
        switch (event.type)
        {
        case SelectionRequest:
            answerRequest(event.xselectionrequest);
            break;
        case SelectionClear:
            if (event.xselectionclear.selection == clipboardAtom)
            {
                owning = false;
                heldBytes.reset();
            }
            break;
        case SelectionNotify:
            if (event.xselection.requestor == window)
                takeAnswer(event.xselection);
            break;
        default:
            break;
        }
    }

    void answerRequest(const XSelectionRequestEvent& request)
    {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = request.display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None; // refused
        // Clients of the old conventions name no property: the target is the property then.
        const Atom property = request.property != None ? request.property : request.target;

        if (owning && request.selection == clipboardAtom)
        {
            if (request.target == targetsAtom)
            {
                const long targets[2] = {(long) targetsAtom, (long) heldType};
                XChangeProperty(display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(targets), 2);
                reply.property = property;
            }
            else if (request.target == heldType
                     && heldBytes.getSize() < (size_t) XMaxRequestSize(display) * 4 - 1024)
            {
                XChangeProperty(display, request.requestor, property, heldType, 8, PropModeReplace,
                                static_cast<const unsigned char*>(heldBytes.getData()), (int) heldBytes.getSize());
                reply.property = property;
            }
        }
        XEvent event{};
        event.xselection = reply;
        XSendEvent(display, request.requestor, False, NoEventMask, &event);
        XFlush(display);
    }

    void takeAnswer(const XSelectionEvent& notification)
    {
        std::optional<juce::MemoryBlock> bytes;
        if (notification.property != None)
            bytes = readReply(notification.property);
        if (!awaiting)
            return; // the answer of a request that timed out
        answer = std::move(bytes);
        hasAnswer = true;
        answered.notify_all();
    }

    // Reads and deletes the reply property; refuses incremental transfers, other formats and
    // anything larger than the limit.
    std::optional<juce::MemoryBlock> readReply(Atom property)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        const long words = (long) (maximumDataSize / 4) + 1;
        const bool read = XGetWindowProperty(display, window, property, 0, words, True, AnyPropertyType, &type,
                                             &format, &count, &remaining, &data)
                          == Success;
        std::optional<juce::MemoryBlock> bytes;
        if (read && type != incrAtom && type != None && format == 8 && remaining == 0 && count <= maximumDataSize)
            bytes = juce::MemoryBlock(data, (size_t) count);
        if (data != nullptr)
            XFree(data);
        if (read && remaining != 0)
            XDeleteProperty(display, window, property);
        return bytes;
    }
};

std::shared_ptr<X11Pasteboard> X11Pasteboard::open(const juce::String& displayName, const juce::String& selectionName,
                                                   int answerTimeoutMs)
{
    XInitThreads();
    auto connection = std::make_unique<Connection>();
    connection->answerTimeoutMs = answerTimeoutMs;
    connection->display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.toRawUTF8());
    if (connection->display == nullptr || ::pipe2(connection->wakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;

    auto* display = connection->display;
    XSetWindowAttributes attributes{};
    connection->window = XCreateWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, InputOnly,
                                       CopyFromParent, 0, &attributes);
    connection->clipboardAtom = XInternAtom(display, selectionName.toRawUTF8(), False);
    connection->targetsAtom = XInternAtom(display, "TARGETS", False);
    connection->incrAtom = XInternAtom(display, "INCR", False);
    connection->replyAtom = XInternAtom(display, "SONAVIRE_PASTEBOARD", False);
    XFlush(display);
    connection->server = std::thread([c = connection.get()] { c->serve(); });
    return std::shared_ptr<X11Pasteboard>(new X11Pasteboard(std::move(connection)));
}

X11Pasteboard::X11Pasteboard(std::unique_ptr<Connection> c) : connection(std::move(c)) {}

X11Pasteboard::~X11Pasteboard() = default;

void X11Pasteboard::setData(const juce::String& type, const juce::MemoryBlock& bytes)
{
    auto& c = *connection;
    {
        std::lock_guard<std::mutex> guard(c.lock);
        c.heldType = XInternAtom(c.display, type.toRawUTF8(), False);
        c.heldTypeName = type;
        c.heldBytes = bytes;
        XSetSelectionOwner(c.display, c.clipboardAtom, c.window, CurrentTime);
        c.owning = XGetSelectionOwner(c.display, c.clipboardAtom) == c.window;
        if (!c.owning)
            c.heldBytes.reset();
    }
    c.wake();
}

bool X11Pasteboard::ownsSelection()
{
    auto& c = *connection;
    bool owns = false;
    {
        std::lock_guard<std::mutex> guard(c.lock);
        owns = XGetSelectionOwner(c.display, c.clipboardAtom) == c.window;
    }
    c.wake();
    return owns;
}

std::optional<juce::MemoryBlock> X11Pasteboard::getData(const juce::String& type)
{
    auto& c = *connection;
    std::unique_lock<std::mutex> guard(c.lock);
    const auto owner = XGetSelectionOwner(c.display, c.clipboardAtom);
    std::optional<juce::MemoryBlock> result;
    if (owner == c.window)
    {
        if (c.owning && c.heldTypeName == type)
            result = c.heldBytes;
    }
    else if (owner != None && owner != juce::juce_messageWindowHandle)
    {
        // (JUCE offers text only, and would answer on the thread that is waiting here.)
        c.awaiting = true;
        c.hasAnswer = false;
        c.answer.reset();
        XDeleteProperty(c.display, c.window, c.replyAtom);
        XConvertSelection(c.display, c.clipboardAtom, XInternAtom(c.display, type.toRawUTF8(), False), c.replyAtom,
                          c.window, CurrentTime);
        XFlush(c.display);
        c.wake();
        c.answered.wait_for(guard, std::chrono::milliseconds(c.answerTimeoutMs), [&c] { return c.hasAnswer; });
        c.awaiting = false;
        if (c.hasAnswer)
            result = std::move(c.answer);
    }
    guard.unlock();
    c.wake();
    return result;
}
} // namespace platform::clipboard
