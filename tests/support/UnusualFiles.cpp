#include "tests/support/UnusualFiles.h"

#include <mutex>

#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
std::mutex recordingLock;
bool recording = false;
std::vector<std::string>& recorded()
{
    static std::vector<std::string> paths;
    return paths;
}

std::string pathOf(int fd)
{
    char buffer[4096];
    const auto link = "/proc/self/fd/" + std::to_string(fd);
    const auto length = ::readlink(link.c_str(), buffer, sizeof(buffer) - 1);
    return length > 0 ? std::string(buffer, (size_t) length) : std::string();
}
} // namespace

// The test binaries' own fsync, in place of the C library's: it notes the path while a recorder lives.
extern "C" int fsync(int fd)
{
    {
        const std::lock_guard<std::mutex> lock(recordingLock);
        if (recording)
            recorded().push_back(pathOf(fd));
    }
    return (int) ::syscall(SYS_fsync, fd);
}

namespace testsupport
{
bool makeFifo(const juce::File& file) { return ::mkfifo(file.getFullPathName().toRawUTF8(), 0644) == 0; }

FifoRelease::FifoRelease(const juce::File& fifo) : path(fifo.getFullPathName().toStdString())
{
    releaser = std::thread(
        [this]
        {
            std::unique_lock<std::mutex> guard(lock);
            if (wake.wait_for(guard, std::chrono::minutes(1), [this] { return over; }))
                return;
            needed = true;
            // Opening the other end succeeds only while someone waits at this one.
            while (!wake.wait_for(guard, std::chrono::milliseconds(50), [this] { return over; }))
                if (const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0)
                    ::close(fd);
        });
}

FifoRelease::~FifoRelease()
{
    {
        const std::lock_guard<std::mutex> guard(lock);
        over = true;
    }
    wake.notify_all();
    releaser.join();
}

pid_t endedProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

UnprivilegedFileAccess::UnprivilegedFileAccess()
{
    // "nobody"; setfsuid answers with the previous value whatever it did.
    constexpr unsigned nobody = 65534;
    previousGroup = (unsigned) ::setfsgid(nobody);
    previousUser = (unsigned) ::setfsuid(nobody);
    active = (unsigned) ::setfsuid(nobody) == nobody;
}

UnprivilegedFileAccess::~UnprivilegedFileAccess()
{
    ::setfsuid(previousUser);
    ::setfsgid(previousGroup);
}

FsyncRecorder::FsyncRecorder()
{
    const std::lock_guard<std::mutex> lock(recordingLock);
    recorded().clear();
    recording = true;
}

FsyncRecorder::~FsyncRecorder()
{
    const std::lock_guard<std::mutex> lock(recordingLock);
    recording = false;
}

std::vector<std::string> FsyncRecorder::paths() const
{
    const std::lock_guard<std::mutex> lock(recordingLock);
    return recorded();
}
} // namespace testsupport
