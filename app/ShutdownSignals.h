#pragma once

#include <functional>

namespace x47390_application
{
// Turns SIGINT and SIGTERM into a call on the message thread, so a program stopped from outside (a
// terminal, a session ending) still shuts down in order and writes its preferences. Made at the start
// of main, so a signal that comes while the program is still starting is kept, not fatal; it is
// delivered once the event loop runs. The previous handlers come back when the object goes.
class ShutdownSignals
{
public:
    ShutdownSignals();
    ~ShutdownSignals();

    // Message thread: from now on (and for a signal that came before) the callback runs on the loop.
    void startDelivering(std::function<void()> onSignal);
    void stopDelivering();

    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

private:
    std::function<void()> callback;
    int pipeFds[2] = {-1, -1};
    bool delivering = false;
};
} // namespace x47390_application
