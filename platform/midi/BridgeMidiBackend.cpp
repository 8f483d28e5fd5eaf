#include "platform/midi/BridgeMidiBackend.h"

#include "platform/midi/DeliveryWorker.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

namespace platform::midi
{
namespace
{
constexpr int nameLineTimeoutMs = 2000;
constexpr size_t maxNameLine = 1024;
constexpr int writeTimeoutMs = 5000;
const juce::String portName("Port 1");

// Writes all bytes or gives up when the peer stops reading for writeTimeoutMs.
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
            if (poll(&p, 1, writeTimeoutMs) <= 0)
                return false;
            continue;
        }
        return false;
    }
    return true;
}
} // namespace

class BridgeMidiBackend::Connection : public std::enable_shared_from_this<Connection>
{
public:
    explicit Connection(juce::String socketPath) : path(std::move(socketPath)) {}

    ~Connection()
    {
        writer.reset();
        stopReader();
        std::lock_guard<std::mutex> guard(writeLock);
        if (fd >= 0)
            ::close(fd);
    }

    // Connects when not connected; returns the current generation (0 when not connected).
    std::uint64_t ensureConnected()
    {
        std::lock_guard<std::mutex> connectGuard(connectLock);
        if (connected)
            return generation;

        stopReader(); // a reader that saw the end of the last connection has finished

        const int newFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (newFd < 0)
            return 0;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const auto utf8 = path.toStdString();
        if (utf8.empty() || utf8.size() >= sizeof(address.sun_path) ||
            (std::memcpy(address.sun_path, utf8.c_str(), utf8.size() + 1),
             ::connect(newFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0))
        {
            ::close(newFd);
            return 0;
        }

        juce::String name;
        if (!readNameLine(newFd, name))
        {
            ::close(newFd);
            return 0;
        }

        {
            std::lock_guard<std::mutex> guard(writeLock);
            if (fd >= 0)
                ::close(fd);
            fd = newFd;
            deviceName = name;
            ++generation;
            connected = true;
        }
        const auto gen = generation.load();
        reader = std::thread([this, newFd, gen] { readLoop(newFd, gen); });
        notifyClients();
        return gen;
    }

    bool isConnected(std::uint64_t gen) const { return connected && generation == gen; }

    juce::String getDeviceName()
    {
        std::lock_guard<std::mutex> guard(writeLock);
        return deviceName;
    }

    bool write(std::uint64_t gen, const std::uint8_t* data, size_t size)
    {
        std::lock_guard<std::mutex> guard(writeLock);
        if (!connected || generation != gen || fd < 0)
            return false;
        return writeAll(fd, data, size);
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
    static bool readNameLine(int socket, juce::String& name)
    {
        std::string line;
        const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) nameLineTimeoutMs;
        while (line.size() < maxNameLine)
        {
            const auto now = juce::Time::getMillisecondCounter();
            if (now >= deadline)
                return false;
            pollfd p{socket, POLLIN, 0};
            if (poll(&p, 1, (int) (deadline - now)) <= 0)
                return false;
            char c = 0;
            const ssize_t n = ::recv(socket, &c, 1, 0); // byte by byte: MIDI may follow the line at once
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

    // Blocks in recv() until bytes come or the peer closes; stopReader() wakes it with a shutdown.
    void readLoop(int socket, std::uint64_t gen)
    {
        pthread_setname_np(pthread_self(), "MidiBridgeRead");
        std::vector<std::uint8_t> buffer(4096);
        bool stopped = false;
        for (;;)
        {
            const ssize_t n = ::recv(socket, buffer.data(), buffer.size(), 0);
            if (n < 0 && errno == EINTR)
                continue;
            stopped = stopRequested;
            if (n <= 0 || stopped)
                break;
            std::lock_guard<std::recursive_mutex> guard(inputLock);
            for (auto& input : inputs)
                if (input.generation == gen)
                    input.callback->midiBytesReceived(buffer.data(), (size_t) n);
        }
        {
            std::lock_guard<std::mutex> guard(writeLock);
            if (generation == gen && connected)
            {
                connected = false;
                ::close(fd);
                fd = -1;
            }
        }
        // Only the peer's hang-up is a setup change; a stop is our own doing.
        if (!stopped)
            notifyClients();
    }

    void stopReader()
    {
        if (!reader.joinable())
            return;
        {
            std::lock_guard<std::mutex> guard(writeLock);
            stopRequested = true;
            if (connected && fd >= 0)
                ::shutdown(fd, SHUT_RDWR); // the reader's recv() returns at once
        }
        reader.join();
        stopRequested = false;
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
    std::mutex connectLock;
    std::mutex writeLock; // guards fd, deviceName and writes
    int fd = -1;
    juce::String deviceName;
    std::atomic<std::uint64_t> generation{0};
    std::atomic<bool> connected{false};
    std::atomic<bool> stopRequested{false}; // set under writeLock
    std::thread reader;
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
        : connection(std::move(c))
    {
        connection->registerInput(this, gen, &callback);
    }

    ~BridgeInputPort() override { connection->registerInput(this, 0, nullptr); }

private:
    std::shared_ptr<BridgeMidiBackend::Connection> connection;
};

class BridgeOutputPort : public MidiOutputPort
{
public:
    BridgeOutputPort(std::shared_ptr<BridgeMidiBackend::Connection> c, std::uint64_t gen)
        : connection(std::move(c)), generation(gen)
    {
    }

    ~BridgeOutputPort() override { connection->getWriter().cancel(this); }

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
        c->getWriter().runNowOrPost(
            [c, gen, bytes = std::vector<std::uint8_t>(data, data + size), done = std::move(onComplete)]
            {
                c->write(gen, bytes.data(), bytes.size());
                if (done)
                    done();
            },
            this);
        return true;
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
    }

    ~BridgeClient() override { connection->removeClient(this); }

    int getNumSources() override { return connection->ensureConnected() != 0 ? 1 : 0; }
    int getNumDestinations() override { return getNumSources(); }
    std::optional<EndpointName> getSourceName(int index) override { return nameOf(index); }
    std::optional<EndpointName> getDestinationName(int index) override { return nameOf(index); }

    std::unique_ptr<MidiInputPort> openInput(int sourceIndex, MidiInputCallback& callback) override
    {
        const auto gen = connection->ensureConnected();
        if (gen == 0 || sourceIndex != 0)
            return nullptr;
        return std::make_unique<BridgeInputPort>(connection, gen, callback);
    }

    std::unique_ptr<MidiOutputPort> openOutput(int destinationIndex) override
    {
        const auto gen = connection->ensureConnected();
        if (gen == 0 || destinationIndex != 0)
            return nullptr;
        return std::make_unique<BridgeOutputPort>(connection, gen);
    }

private:
    std::optional<EndpointName> nameOf(int index)
    {
        if (index != 0 || connection->ensureConnected() == 0)
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

bool BridgeMidiBackend::connect()
{
    return connection->ensureConnected() != 0;
}
} // namespace platform::midi
