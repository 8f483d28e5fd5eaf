#include "platform/midi/BridgeMidiBackend.h"

#include "platform/midi/DeliveryWorker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <thread>
#include <vector>

namespace platform::midi
{
namespace
{
constexpr size_t maxNameLine = 1024;
const juce::String portName("Port 1");

// Writes all bytes; gives up when the peer takes nothing for BridgeMidiBackend::writeStallTimeoutMs.
bool writeAll(int fd, const std::uint8_t* data, size_t size)
{
    size_t done = 0;
    while (done < size)
    {
        const ssize_t n = ::send(fd, data + done, size - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
        {
            done += (size_t) n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        {
            pollfd p{fd, POLLOUT, 0};
            const int ready = poll(&p, 1, BridgeMidiBackend::writeStallTimeoutMs);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}
} // namespace

class BridgeMidiBackend::Connection
{
public:
    explicit Connection(juce::String socketPath) : path(std::move(socketPath))
    {
        wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }

    ~Connection()
    {
        writer.reset();
        stopping = true;
        wake();
        if (thread.joinable())
            thread.join();
        if (fd >= 0)
            ::close(fd);
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    // Starts the connection thread once; later calls only ask it to try again at once.
    void start()
    {
        std::call_once(started, [this] { thread = std::thread([this] { run(); }); });
        wake();
    }

    // The current connection's generation, 0 when no peer has named itself. Never waits for the peer;
    // without one, the thread is asked to try again at once.
    std::uint64_t currentGeneration()
    {
        {
            std::lock_guard<std::mutex> guard(stateLock);
            if (state == State::connected)
                return generation;
        }
        start();
        return 0;
    }

    // Waits until a peer has named itself (true) or the deadline passes. With untilSettled, it also
    // ends once an attempt since the call has found no peer, or a peer has been introducing itself
    // for longer than introductionWaitMs.
    bool waitForPeer(int timeoutMs, bool untilSettled)
    {
        std::unique_lock<std::mutex> guard(stateLock);
        const auto attemptsBefore = attempts;
        guard.unlock();
        start();
        guard.lock();
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;)
        {
            if (state == State::connected)
                return true;
            auto until = deadline;
            if (untilSettled)
            {
                if (state == State::waiting && attempts > attemptsBefore)
                    return false;
                if (state == State::introducing)
                {
                    const auto introductionEnd = introductionStart + std::chrono::milliseconds(introductionWaitMs);
                    if (Clock::now() >= introductionEnd)
                        return false;
                    until = std::min(until, introductionEnd);
                }
            }
            if (Clock::now() >= deadline)
                return false;
            stateChanged.wait_until(guard, until);
        }
    }

    bool isConnected(std::uint64_t gen)
    {
        std::lock_guard<std::mutex> guard(stateLock);
        return state == State::connected && generation == gen;
    }

    juce::String getDeviceName()
    {
        std::lock_guard<std::mutex> guard(stateLock);
        return deviceName;
    }

    // Holds only the write lock while it waits for the peer, never the state lock, so enumeration
    // goes on meanwhile.
    bool write(std::uint64_t gen, const std::uint8_t* data, size_t size)
    {
        std::lock_guard<std::mutex> writing(writeLock);
        int socket = -1;
        {
            std::lock_guard<std::mutex> guard(stateLock);
            if (state != State::connected || generation != gen)
                return false;
            socket = fd;
        }
        return writeAll(socket, data, size);
    }

    DeliveryWorker& getWriter()
    {
        std::lock_guard<std::mutex> guard(writerLock);
        if (writer == nullptr)
            writer = std::make_unique<DeliveryWorker>("MidiBridgeSend");
        return *writer;
    }

    void registerInput(void* port, std::uint64_t gen, MidiInputCallback* callback)
    {
        std::lock_guard<std::recursive_mutex> guard(inputLock);
        if (callback != nullptr)
            inputs.push_back({port, gen, callback});
        else
            inputs.erase(std::remove_if(inputs.begin(), inputs.end(), [&](auto& in) { return in.port == port; }),
                         inputs.end());
    }

    void addClient(MidiClient* client, std::function<void()> notify)
    {
        std::lock_guard<std::mutex> guard(clientLock);
        clients.push_back({client, std::move(notify)});
    }

    void removeClient(MidiClient* client)
    {
        std::lock_guard<std::mutex> guard(clientLock);
        clients.erase(std::remove_if(clients.begin(), clients.end(), [&](auto& c) { return c.first == client; }),
                      clients.end());
    }

private:
    using Clock = std::chrono::steady_clock;

    enum class State
    {
        waiting,     // no peer: the next attempt comes after the retry interval or a wake-up
        introducing, // connected, the name line not complete yet
        connected    // the peer has named itself: listed
    };

    void wake()
    {
        if (wakeFd >= 0)
        {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto n = ::write(wakeFd, &one, sizeof(one));
        }
    }

    void drainWake()
    {
        std::uint64_t value = 0;
        [[maybe_unused]] const auto n = ::read(wakeFd, &value, sizeof(value));
    }

    // Waits for the socket to become readable (true) or for a wake-up or the timeout (false).
    bool waitReadable(int socket, int timeoutMs)
    {
        pollfd p[2] = {{wakeFd, POLLIN, 0}, {socket, POLLIN, 0}};
        const int n = poll(p, socket >= 0 ? 2 : 1, timeoutMs);
        if (n <= 0)
            return false;
        if ((p[0].revents & POLLIN) != 0)
            drainWake();
        return socket >= 0 && p[1].revents != 0;
    }

    void setState(State newState)
    {
        {
            std::lock_guard<std::mutex> guard(stateLock);
            state = newState;
            if (newState == State::introducing)
                introductionStart = Clock::now();
            else
                ++attempts;
        }
        stateChanged.notify_all();
    }

    int connectSocket() const
    {
        sockaddr_un address{};
        const auto utf8 = path.toStdString();
        if (utf8.empty() || utf8.size() >= sizeof(address.sun_path))
            return -1;
        const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (socket < 0)
            return -1;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, utf8.c_str(), utf8.size() + 1);
        if (::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        {
            ::close(socket);
            return -1;
        }
        return socket;
    }

    // Reads "NAME <device name>\n" byte by byte (MIDI may follow the line at once), for as long as
    // the peer takes.
    bool readNameLine(int socket, juce::String& name)
    {
        std::string line;
        while (!stopping && line.size() < maxNameLine)
        {
            if (!waitReadable(socket, -1))
                continue;
            char c = 0;
            const ssize_t n = ::recv(socket, &c, 1, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            if (c == '\n')
            {
                if (line.rfind("NAME ", 0) != 0)
                    return false;
                name = juce::String::fromUTF8(line.c_str() + 5).trimCharactersAtEnd("\r");
                return true;
            }
            line.push_back(c);
        }
        return false;
    }

    // Hands the peer's bytes to the input ports of this connection until the peer hangs up.
    void readMidi(int socket, std::uint64_t gen)
    {
        std::vector<std::uint8_t> buffer(4096);
        while (!stopping)
        {
            if (!waitReadable(socket, -1))
                continue;
            const ssize_t n = ::recv(socket, buffer.data(), buffer.size(), 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            std::lock_guard<std::recursive_mutex> guard(inputLock);
            for (auto& input : inputs)
                if (input.generation == gen)
                    input.callback->midiBytesReceived(buffer.data(), (size_t) n);
        }
    }

    void run()
    {
        pthread_setname_np(pthread_self(), "MidiBridgeRead");
        while (!stopping)
        {
            const int socket = connectSocket();
            if (socket < 0)
            {
                setState(State::waiting);
                waitReadable(-1, retryIntervalMs);
                continue;
            }

            setState(State::introducing);
            juce::String name;
            if (!readNameLine(socket, name))
            {
                ::close(socket);
                setState(State::waiting);
                if (!stopping)
                    waitReadable(-1, retryIntervalMs);
                continue;
            }

            std::uint64_t gen = 0;
            {
                std::lock_guard<std::mutex> guard(stateLock);
                fd = socket;
                deviceName = name;
                gen = ++generation;
                state = State::connected;
                ++attempts;
            }
            stateChanged.notify_all();
            notifyClients();

            readMidi(socket, gen);

            {
                std::lock_guard<std::mutex> guard(stateLock);
                state = State::waiting;
            }
            stateChanged.notify_all();
            ::shutdown(socket, SHUT_RDWR); // a write waiting for the peer ends at once
            {
                std::lock_guard<std::mutex> writing(writeLock);
                std::lock_guard<std::mutex> guard(stateLock);
                ::close(fd);
                fd = -1;
            }
            // Only the peer's hang-up is a setup change; a stop is our own doing.
            if (!stopping)
                notifyClients();
        }
    }

    void notifyClients()
    {
        std::lock_guard<std::mutex> guard(clientLock);
        for (auto& client : clients)
            client.second();
    }

    struct Input
    {
        void* port;
        std::uint64_t generation;
        MidiInputCallback* callback;
    };

    const juce::String path;
    int wakeFd = -1;
    std::once_flag started;
    std::thread thread;
    std::atomic<bool> stopping{false};

    std::mutex stateLock; // state, fd, deviceName, generation, attempts
    std::condition_variable stateChanged;
    State state = State::waiting;
    Clock::time_point introductionStart;
    std::uint64_t attempts = 0; // attempts ended (no peer, a bad or missing name line, a connection)
    int fd = -1;
    juce::String deviceName;
    std::uint64_t generation = 0;

    std::mutex writeLock; // one message at a time on the socket; the socket stays open meanwhile
    std::recursive_mutex inputLock;
    std::vector<Input> inputs;
    std::mutex clientLock;
    std::vector<std::pair<MidiClient*, std::function<void()>>> clients;
    std::mutex writerLock;
    std::unique_ptr<DeliveryWorker> writer;
};

namespace
{
class BridgeInputPort : public MidiInputPort
{
public:
    BridgeInputPort(std::shared_ptr<BridgeMidiBackend::Connection> c, std::uint64_t gen, MidiInputCallback& callback)
        : connection(std::move(c)), generation(gen)
    {
        connection->registerInput(this, gen, &callback);
    }

    ~BridgeInputPort() override { connection->registerInput(this, 0, nullptr); }

    bool isEndpointPresent() const override { return connection->isConnected(generation); }

private:
    std::shared_ptr<BridgeMidiBackend::Connection> connection;
    std::uint64_t generation;
};

class BridgeOutputPort : public MidiOutputPort
{
public:
    BridgeOutputPort(std::shared_ptr<BridgeMidiBackend::Connection> c, std::uint64_t gen)
        : connection(std::move(c)), generation(gen)
    {
    }

    ~BridgeOutputPort() override { connection->getWriter().cancel(this); }

    bool isEndpointPresent() const override { return connection->isConnected(generation); }

    bool sendShortMessage(const std::uint8_t* data, size_t size) override
    {
        if (size == 0)
            return false;
        size = std::min<size_t>(size, 3);
        auto& writer = connection->getWriter();
        if (writer.waitUntilIdle(0))
            return connection->write(generation, data, size);
        // A SysEx is still queued or being written: this message goes behind it, so the peer gets
        // the bytes in the order they were sent.
        if (!connection->isConnected(generation))
            return false;
        auto* c = connection.get();
        const auto gen = generation;
        writer.post([c, gen, bytes = std::vector<std::uint8_t>(data, data + size)]
                    { c->write(gen, bytes.data(), bytes.size()); },
                    0, this);
        return true;
    }

    bool sendSysEx(const std::uint8_t* data, size_t size, std::function<void()> onComplete) override
    {
        if (size == 0 || !connection->isConnected(generation))
            return false;
        // A raw pointer: the port keeps the connection alive and cancels its jobs before it goes.
        auto* c = connection.get();
        const auto gen = generation;
        auto written = std::make_shared<std::atomic<bool>>(false);
        const bool ranHere = c->getWriter().runNowOrPost(
            [c, gen, written, bytes = std::vector<std::uint8_t>(data, data + size), done = std::move(onComplete)]
            {
                if (!c->write(gen, bytes.data(), bytes.size()))
                    return;
                written->store(true);
                if (done)
                    done();
            },
            this);
        // Written here, the outcome is known; a queued message is reported by its completion alone.
        return !ranHere || written->load();
    }

private:
    std::shared_ptr<BridgeMidiBackend::Connection> connection;
    std::uint64_t generation;
};

class BridgeClient : public MidiClient
{
public:
    explicit BridgeClient(std::shared_ptr<BridgeMidiBackend::Connection> c) : connection(std::move(c))
    {
        connection->addClient(this, [this] { notifySetupChanged(); });
        // A peer that is there already is listed at the first enumeration; a silent one delays only this.
        connection->waitForPeer(BridgeMidiBackend::introductionWaitMs, true);
    }

    ~BridgeClient() override { connection->removeClient(this); }

    int getNumSources() override { return connection->currentGeneration() != 0 ? 1 : 0; }
    int getNumDestinations() override { return getNumSources(); }
    std::optional<EndpointName> getSourceName(int index) override { return nameOf(index); }
    std::optional<EndpointName> getDestinationName(int index) override { return nameOf(index); }

    std::unique_ptr<MidiInputPort> openInput(int sourceIndex, MidiInputCallback& callback) override
    {
        const auto gen = connection->currentGeneration();
        if (gen == 0 || sourceIndex != 0)
            return nullptr;
        return std::make_unique<BridgeInputPort>(connection, gen, callback);
    }

    std::unique_ptr<MidiOutputPort> openOutput(int destinationIndex) override
    {
        const auto gen = connection->currentGeneration();
        if (gen == 0 || destinationIndex != 0)
            return nullptr;
        return std::make_unique<BridgeOutputPort>(connection, gen);
    }

private:
    std::optional<EndpointName> nameOf(int index)
    {
        if (index != 0 || connection->currentGeneration() == 0)
            return std::nullopt;
        return EndpointName{connection->getDeviceName(), portName};
    }

    std::shared_ptr<BridgeMidiBackend::Connection> connection;
};
} // namespace

BridgeMidiBackend::BridgeMidiBackend(const juce::String& socketPath)
    : connection(std::make_shared<Connection>(socketPath))
{
}

BridgeMidiBackend::~BridgeMidiBackend() = default;

std::unique_ptr<MidiClient> BridgeMidiBackend::createClient(const juce::String&)
{
    return std::make_unique<BridgeClient>(connection);
}

bool BridgeMidiBackend::connect(int timeoutMs)
{
    return connection->waitForPeer(timeoutMs, false);
}
} // namespace platform::midi
