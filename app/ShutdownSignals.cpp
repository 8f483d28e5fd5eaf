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
} // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> onSignalReceived) : callback(std::move(onSignalReceived))
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
    {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    signalWriteFd = pipeFds[1];
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

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInterrupt);
    ::sigaction(SIGTERM, &action, &previousTerminate);
}

ShutdownSignals::~ShutdownSignals()
{
    if (pipeFds[0] < 0)
        return;
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    signalWriteFd = -1;
    juce::LinuxEventLoop::unregisterFdCallback(pipeFds[0]);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}
} // namespace x47390_application
