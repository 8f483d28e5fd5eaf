#pragma once

#include <functional>

namespace x47390_application
{
// Turns SIGINT and SIGTERM into a call on the message thread, so a program stopped from outside (a
// terminal, a session ending) still shuts down in order and writes its preferences. The previous
// handlers come back when the object goes.
class ShutdownSignals
{
public:
    explicit ShutdownSignals(std::function<void()> onSignal);
    ~ShutdownSignals();

    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

private:
    std::function<void()> callback;
    int pipeFds[2] = {-1, -1};
};
} // namespace x47390_application
