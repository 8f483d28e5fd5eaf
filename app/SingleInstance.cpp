#include "app/SingleInstance.h"

#include "app/PreferencesData.h"

#include <juce_events/juce_events.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace x47390_application
{
namespace
{
constexpr const char* lockFileName = "sonavire-sound-librarian.lock";
constexpr const char* socketFileName = "sonavire-sound-librarian.socket";
constexpr char acknowledgement = 'A';
constexpr int retryIntervalMs = 50;
// Later starts that are still sending at once; more are turned away.
constexpr size_t maximumPendingConnections = 8;

bool makeAddress(const juce::File& file, sockaddr_un& address)
{
    const auto path = file.getFullPathName().toStdString();
    if (path.size() >= sizeof(address.sun_path))
        return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool waitFor(int fd, short events, int timeoutMs)
{
    pollfd entry{fd, events, 0};
    for (;;)
    {
        const int result = ::poll(&entry, 1, timeoutMs);
        if (result < 0 && errno == EINTR)
            continue;
        return result > 0;
    }
}

bool isSameUser(int fd)
{
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::geteuid();
}
} // namespace

juce::File SingleInstance::getDefaultFolder()
{
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && runtime[0] == '/')
        if (const juce::File folder(juce::String::fromUTF8(runtime)); folder.isDirectory())
            return folder;
    return x47390_preferences::PreferencesData::getPreferencesFolder();
}

SingleInstance::SingleInstance(const juce::File& folder)
    : lockFile(folder.getChildFile(lockFileName)), socketFile(folder.getChildFile(socketFileName))
{
}

SingleInstance::~SingleInstance()
{
    stopListening();
    if (lockFd >= 0)
        ::close(lockFd);
}

bool SingleInstance::tryLock()
{
    if (lockFd < 0)
        lockFd = ::open(lockFile.getFullPathName().toRawUTF8(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return false;
    if (::flock(lockFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    return false;
}

bool SingleInstance::bindSocket()
{
    sockaddr_un address;
    if (!makeAddress(socketFile, address))
        return false;
    // Holding the lock, any socket left here belongs to a program that has ended.
    ::unlink(address.sun_path);
    listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd < 0)
        return false;
    const auto previousMask = ::umask(0077); // only this user may connect
    const bool bound = ::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::umask(previousMask);
    if (!bound || ::listen(listenFd, 8) != 0)
    {
        ::close(listenFd);
        listenFd = -1;
        return false;
    }
    return true;
}

bool SingleInstance::handOver(const juce::String& commandLine, int timeoutMs)
{
    sockaddr_un address;
    if (!makeAddress(socketFile, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    bool done = false;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
    {
        // The text and its terminating zero.
        const char* bytes = commandLine.toRawUTF8();
        size_t left = std::strlen(bytes) + 1;
        bool sent = true;
        while (sent && left > 0)
        {
            const auto written = ::send(fd, bytes, left, MSG_NOSIGNAL);
            if (written < 0 && errno == EINTR)
                continue;
            sent = written > 0;
            if (sent)
            {
                bytes += written;
                left -= (size_t) written;
            }
        }
        char reply = 0;
        done = sent && waitFor(fd, POLLIN, timeoutMs) && ::recv(fd, &reply, 1, 0) == 1 && reply == acknowledgement;
    }
    ::close(fd);
    return done;
}

SingleInstance::Role SingleInstance::acquireOrHandOver(const juce::String& commandLine, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) juce::jmax(0, timeoutMs);
    for (;;)
    {
        if (tryLock())
        {
            if (!bindSocket())
                std::fprintf(stderr, "Later starts cannot reach this program: no socket at %s\n",
                             socketFile.getFullPathName().toRawUTF8());
            return Role::first;
        }
        const auto now = juce::Time::getMillisecondCounter();
        if (now >= deadline)
            return Role::failed;
        // The running program may still be starting (no socket yet) or ending (lock about to go).
        if (handOver(commandLine, (int) (deadline - now)))
            return Role::handedOver;
        std::this_thread::sleep_for(std::chrono::milliseconds(retryIntervalMs));
    }
}

void SingleInstance::startListening(std::function<void(const juce::String&)> onCommandLine)
{
    callback = std::move(onCommandLine);
    if (listenFd < 0 || listening)
        return;
    listening = true;
    juce::LinuxEventLoop::registerFdCallback(listenFd, [this](int) { acceptConnections(); });
}

void SingleInstance::stopListening()
{
    while (!connections.empty())
        closeConnection(connections.begin()->first);
    if (listening)
        juce::LinuxEventLoop::unregisterFdCallback(listenFd);
    listening = false;
    if (listenFd >= 0)
    {
        ::close(listenFd);
        listenFd = -1;
        // Only while the lock is held: the socket of a later first start must stay.
        ::unlink(socketFile.getFullPathName().toRawUTF8());
    }
}

void SingleInstance::acceptConnections()
{
    for (;;)
    {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
        {
            if (errno == EINTR)
                continue;
            return;
        }
        if (!isSameUser(fd) || connections.size() >= maximumPendingConnections)
        {
            ::close(fd);
            continue;
        }
        connections[fd];
        juce::LinuxEventLoop::registerFdCallback(fd, [this](int ready) { readConnection(ready); });
    }
}

void SingleInstance::readConnection(int fd)
{
    auto found = connections.find(fd);
    if (found == connections.end())
        return;
    auto& text = found->second;
    char buffer[4096];
    for (;;)
    {
        const auto got = ::recv(fd, buffer, sizeof(buffer), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // the rest comes later
        if (got <= 0)
        {
            closeConnection(fd); // ended before the whole command line came
            return;
        }
        text.append(buffer, (size_t) got);
        const auto end = text.find('\0');
        if (end != std::string::npos)
        {
            const auto commandLine = juce::String::fromUTF8(text.data(), (int) end);
            ::send(fd, &acknowledgement, 1, MSG_NOSIGNAL);
            closeConnection(fd);
            // Not inside this callback: opening a file may run a dialog with a loop of its own.
            juce::MessageManager::callAsync(
                [this, commandLine]
                {
                    if (listening && callback)
                        callback(commandLine);
                });
            return;
        }
        if (text.size() > maximumCommandLineSize)
        {
            closeConnection(fd);
            return;
        }
    }
}

void SingleInstance::closeConnection(int fd)
{
    juce::LinuxEventLoop::unregisterFdCallback(fd);
    ::close(fd);
    connections.erase(fd);
}
} // namespace x47390_application
