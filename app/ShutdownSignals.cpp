#include "app/ShutdownSignals.h"

#include <juce_events/juce_events.h>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace x47390_application
{
namespace
{
volatile int signalWriteFd = -1;
struct sigaction previousInterrupt;
struct sigaction previousTerminate;

void onSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    if (signalWriteFd >= 0)
        [[maybe_unused]] const auto written = ::write(signalWriteFd, &byte, 1);
    errno = savedErrno;
}

void installHandlers(struct sigaction* interrupt, struct sigaction* terminate)
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, interrupt);
    ::sigaction(SIGTERM, &action, terminate);
}
} // namespace

ShutdownSignals::ShutdownSignals()
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
    {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    signalWriteFd = pipeFds[1];
    installHandlers(&previousInterrupt, &previousTerminate);
}

ShutdownSignals::~ShutdownSignals()
{
    stopDelivering();
    if (pipeFds[0] < 0)
        return;
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    signalWriteFd = -1;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

void ShutdownSignals::startDelivering(std::function<void()> onSignalReceived)
{
    callback = std::move(onSignalReceived);
    if (pipeFds[0] < 0 || delivering)
        return;
    delivering = true;
    // The toolkit puts a handler of its own on SIGINT when it starts: both signals take this path.
    installHandlers(nullptr, nullptr);
    // The toolkit watches the pipe from its event loop; a byte written before now is read at once.
    juce::LinuxEventLoop::registerFdCallback(pipeFds[0],
                                             [this](int fd)
                                             {
                                                 char bytes[16];
                                                 while (::read(fd, bytes, sizeof(bytes)) > 0)
                                                 {
                                                 }
                                                 if (callback)
                                                     callback();
                                             });
}

void ShutdownSignals::stopDelivering()
{
    if (!delivering)
        return;
    delivering = false;
    juce::LinuxEventLoop::unregisterFdCallback(pipeFds[0]);
}
} // namespace x47390_application
