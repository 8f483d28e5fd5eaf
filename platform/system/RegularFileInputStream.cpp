#include "platform/system/RegularFileInputStream.h"

#include "platform/system/FileNameBytes.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
RegularFileInputStream::RegularFileInputStream(const juce::File& file)
{
    fd = ::open(fileNameBytes(file).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
    {
        status = errno == ENOENT || errno == ENOTDIR ? Status::missing : Status::refused;
        return;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        fd = -1;
        status = Status::refused;
        return;
    }
    status = Status::open;
    size = (juce::int64) info.st_size;
}

RegularFileInputStream::~RegularFileInputStream()
{
    if (fd >= 0)
        ::close(fd);
}

int RegularFileInputStream::read(void* destination, int bytes)
{
    if (fd < 0 || bytes <= 0)
        return 0;
    auto* out = static_cast<char*>(destination);
    int total = 0;
    while (total < bytes)
    {
        const auto got = ::pread(fd, out + total, (size_t) (bytes - total), (off_t) position);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        total += (int) got;
        position += got;
    }
    return total;
}

bool RegularFileInputStream::setPosition(juce::int64 newPosition)
{
    if (fd < 0 || newPosition < 0)
        return false;
    position = newPosition;
    return true;
}

bool isReadableRegularFile(const juce::File& file) { return RegularFileInputStream(file).openedOk(); }
} // namespace platform
