#include "tools/simulator/BridgeInstrumentServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>

namespace simulator
{
namespace
{
bool writeAll(int fd, const std::uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size)
    {
        const ssize_t n = ::send(fd, data + done, size - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += (size_t) n;
    }
    return true;
}
} // namespace

BridgeInstrumentServer::BridgeInstrumentServer(SimulatedInstrument& simulated, std::string socketPath,
                                               std::string deviceName)
    : instrument(simulated), path(std::move(socketPath)), name(std::move(deviceName))
{
}

BridgeInstrumentServer::~BridgeInstrumentServer()
{
    stop();
}

bool BridgeInstrumentServer::bindSocket()
{
    sockaddr_un address{};
    if (path.empty() || path.size() >= sizeof(address.sun_path))
        return false;
    listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ::unlink(path.c_str()); // a socket left by an earlier run
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || ::listen(listener, 4) != 0)
    {
        ::close(listener);
        listener = -1;
        return false;
    }
    return true;
}

bool BridgeInstrumentServer::start()
{
    if (listener >= 0 || !bindSocket())
        return false;
    stopping = false;
    thread = std::thread([this] { serve(); });
    return true;
}

bool BridgeInstrumentServer::serveForever()
{
    if (listener < 0 && !bindSocket())
        return false;
    serve();
    return true;
}

void BridgeInstrumentServer::stop()
{
    stopping = true;
    if (thread.joinable())
        thread.join();
    if (listener >= 0)
    {
        ::close(listener);
        listener = -1;
        ::unlink(path.c_str());
    }
}

void BridgeInstrumentServer::serve()
{
    while (!stopping)
    {
        pollfd p{listener, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++connections;
        serveConnection(fd);
        ::close(fd);
    }
}

void BridgeInstrumentServer::serveConnection(int fd)
{
    const std::string line = "NAME " + name + "\n";
    if (!writeAll(fd, reinterpret_cast<const std::uint8_t*>(line.data()), line.size()))
        return;

    // Replies wait here until their delay has passed; the connection's thread writes them.
    using Clock = std::chrono::steady_clock;
    std::mutex pendingLock;
    std::multimap<Clock::time_point, Bytes> pending;
    Clock::time_point lastDue{};
    instrument.setReplySink(
        [&](const Bytes& reply, std::uint32_t delayMs)
        {
            std::lock_guard<std::mutex> guard(pendingLock);
            lastDue = std::max(lastDue, Clock::now() + std::chrono::milliseconds(delayMs));
            pending.emplace(lastDue, reply);
        });

    std::uint8_t buffer[4096];
    bool open = true;
    while (open && !stopping)
    {
        // Write what is due.
        for (;;)
        {
            Bytes reply;
            {
                std::lock_guard<std::mutex> guard(pendingLock);
                if (pending.empty() || pending.begin()->first > Clock::now())
                    break;
                reply = std::move(pending.begin()->second);
                pending.erase(pending.begin());
            }
            const size_t step = chunkSize == 0 ? reply.size() : chunkSize.load();
            for (size_t offset = 0; offset < reply.size() && open; offset += step)
                open = writeAll(fd, reply.data() + offset, std::min(step, reply.size() - offset));
        }

        // Sleeps until the next reply is due or bytes come (at most 100 ms, to see stop()).
        int waitMs = 100;
        {
            std::lock_guard<std::mutex> guard(pendingLock);
            if (!pending.empty())
            {
                const auto due = std::chrono::ceil<std::chrono::milliseconds>(pending.begin()->first - Clock::now());
                waitMs = (int) std::clamp<std::chrono::milliseconds::rep>(due.count(), 0, waitMs);
            }
        }
        pollfd p{fd, POLLIN, 0};
        if (!reading)
        {
            poll(nullptr, 0, waitMs); // the program's bytes stay in the socket
            continue;
        }
        if (poll(&p, 1, waitMs) <= 0)
            continue;
        const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        instrument.receiveBytes(buffer, (size_t) n);
    }
    instrument.setReplySink(nullptr);
}
} // namespace simulator
