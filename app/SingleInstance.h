#pragma once

#include <juce_core/juce_core.h>

#include <functional>
#include <map>
#include <string>

namespace x47390_application
{
// One running program per user. The first start holds a lock file and listens on a Unix socket beside
// it; a later start of the same user finds the lock taken, hands its command line to the running
// program through the socket and ends. Both live in $XDG_RUNTIME_DIR, else in the preferences folder,
// so other users' programs never count.
class SingleInstance
{
public:
    enum class Role
    {
        first,      // this process holds the lock
        handedOver, // the running program took the command line
        failed      // a program runs but could not be reached in time
    };

    // $XDG_RUNTIME_DIR when it names a folder, else the preferences folder (created when missing).
    static juce::File getDefaultFolder();

    explicit SingleInstance(const juce::File& folder);
    ~SingleInstance();

    // Before the toolkit starts: takes the lock, or hands the command line over, trying again for up
    // to timeoutMs while the running program starts or ends.
    Role acquireOrHandOver(const juce::String& commandLine, int timeoutMs = 5000);

    // First start, message thread: from now on each command line a later start hands over reaches the
    // callback, on the message thread, in a later turn of the event loop.
    void startListening(std::function<void(const juce::String&)> onCommandLine);
    // Stops taking command lines and removes the socket; the lock is kept until destruction.
    void stopListening();

    juce::File getLockFile() const { return lockFile; }
    juce::File getSocketFile() const { return socketFile; }

    // Command lines longer than this are refused.
    static constexpr size_t maximumCommandLineSize = 64 * 1024;

private:
    bool tryLock();
    bool bindSocket();
    bool handOver(const juce::String& commandLine, int timeoutMs);
    void acceptConnections();
    void readConnection(int fd);
    void closeConnection(int fd);

    juce::File lockFile;
    juce::File socketFile;
    int lockFd = -1;
    int listenFd = -1;
    bool listening = false;
    std::function<void(const juce::String&)> callback;
    std::map<int, std::string> connections; // pending command lines by socket
};
} // namespace x47390_application
