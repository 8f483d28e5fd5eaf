// Reaches the toolkit's X connection the way its own optional modules do.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "platform/loop/EventLoop.h"

#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <algorithm>
#include <memory>
#include <vector>

#include <poll.h>

// Where the toolkit keeps the command line that JUCEApplicationBase::getCommandLineParameters reads.
namespace juce
{
extern const char* const* juce_argv;
extern int juce_argc;
} // namespace juce

namespace platform
{
namespace
{
// The toolkit's X connection; null before its first window, or without an X server.
::Display* toolkitDisplay()
{
    auto* system = juce::XWindowSystem::getInstanceWithoutCreating();
    return system != nullptr ? system->getDisplay() : nullptr;
}

// Sends what Xlib has buffered (nothing would ever answer requests left there), then tells whether Xlib holds
// events: read already during an earlier request, or on the socket now.
bool xEventsWaiting(::Display* display)
{
    const juce::XWindowSystemUtilities::ScopedXLock lock;
    return juce::X11Symbols::getInstance()->xEventsQueued(display, QueuedAfterFlush) > 0;
}
} // namespace

bool dispatchNextEvents(int timeoutMs)
{
    std::vector<pollfd> watched;
    for (const int fd : juce::LinuxEventLoopInternal::getRegisteredFds())
        watched.push_back({fd, POLLIN, 0});

    int xConnection = -1;
    bool xWaiting = false;
    if (auto* display = toolkitDisplay())
    {
        xConnection = juce::X11Symbols::getInstance()->xConnectionNumber(display);
        xWaiting = xEventsWaiting(display);
    }

    const bool interrupted = poll(watched.data(), (nfds_t) watched.size(), xWaiting ? 0 : timeoutMs) < 0;
    // The toolkit's approximate clock (press times, tooltip delays) moves only when someone reads the real one;
    // its timer thread no longer does so ten times a second.
    juce::Time::getMillisecondCounter();
    if (interrupted && !xWaiting)
        return false; // interrupted by a signal: the caller looks at its conditions again

    bool dispatched = false;
    for (const auto& entry : watched)
    {
        if (entry.revents == 0 && !(xWaiting && entry.fd == xConnection))
            continue;
        // A descriptor the toolkit no longer watches is skipped there.
        juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd(entry.fd);
        dispatched = true;
    }
    return dispatched;
}

int runModalLoop(juce::Component& component)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (!component.isCurrentlyModal(false))
        component.enterModalState(true);

    // Shared with the callback: when the program quits first, the callback may still come after this returned.
    struct Outcome
    {
        bool finished = false;
        int result = 0;
    };
    const auto outcome = std::make_shared<Outcome>();
    juce::ModalComponentManager::getInstance()->attachCallback(&component,
                                                               juce::ModalCallbackFunction::create([outcome](int result) {
                                                                   outcome->result = result;
                                                                   outcome->finished = true;
                                                               }));

    // As the toolkit's loop does, the focus goes back where it was when the dialog has gone.
    const juce::WeakReference<juce::Component> lastFocus(juce::Component::getCurrentlyFocusedComponent());

    auto* messages = juce::MessageManager::getInstance();
    while (!outcome->finished && !messages->hasStopMessageBeenSent())
        dispatchNextEvents(-1);

    if (auto* focus = lastFocus.get();
        focus != nullptr && focus->isShowing() && !focus->isCurrentlyBlockedByAnotherModalComponent())
        focus->grabKeyboardFocus();
    return outcome->result;
}

void runMainLoop()
{
    JUCE_ASSERT_MESSAGE_THREAD

    auto* messages = juce::MessageManager::getInstance();
    while (!messages->hasStopMessageBeenSent())
        dispatchNextEvents(-1);
}

int runApplication(int argc, const char* argv[])
{
    juce::juce_argc = argc;
    juce::juce_argv = argv;

    const juce::ScopedJuceInitialiser_GUI toolkit;
    const std::unique_ptr<juce::JUCEApplicationBase> application(juce::JUCEApplicationBase::createInstance());
    if (!application->initialiseApp())
        return application->shutdownApp();
    runMainLoop();
    // What was posted before the quit message is still handed out, as the toolkit's loop would.
    juce::MessageManager::getInstance()->runDispatchLoop();
    return application->shutdownApp();
}
} // namespace platform
