#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

// What a user's disk may hold besides plain files, and ways to look at what the program does with them.
namespace testsupport
{
// Makes a FIFO (named pipe) of that name; false when it cannot.
bool makeFifo(const juce::File& file);

// Lets go of a thread that waits for ever in the open of a FIFO: when it has not gone within a minute, the
// FIFO's other end is opened (and closed) until it goes, and the wait is reported by wasNeeded.
class FifoRelease
{
public:
    explicit FifoRelease(const juce::File& fifo);
    ~FifoRelease();
    FifoRelease(const FifoRelease&) = delete;
    FifoRelease& operator=(const FifoRelease&) = delete;

    bool wasNeeded() const { return needed; }

private:
    std::string path;
    std::mutex lock;
    std::condition_variable wake;
    bool over = false;
    std::atomic<bool> needed{false};
    std::thread releaser;
};

// The id of a process that has ended (started and waited for here).
pid_t endedProcessId();

// While it lives, this thread opens files as an ordinary user ("nobody"): tests run as root, and root
// reads every file whatever its permissions. Only the calling thread is affected.
class UnprivilegedFileAccess
{
public:
    UnprivilegedFileAccess();
    ~UnprivilegedFileAccess();
    UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
    UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

    // True when this thread now opens files as that user.
    bool isActive() const { return active; }

private:
    unsigned previousUser = 0, previousGroup = 0;
    bool active = false;
};

// Records the paths that fsync flushes while it lives (the flushes themselves still happen).
class FsyncRecorder
{
public:
    FsyncRecorder();
    ~FsyncRecorder();
    FsyncRecorder(const FsyncRecorder&) = delete;
    FsyncRecorder& operator=(const FsyncRecorder&) = delete;

    std::vector<std::string> paths() const;
};
} // namespace testsupport
