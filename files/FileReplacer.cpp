#include "files/FileReplacer.h"
#include "files/FileWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file
{
namespace
{
bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const auto written = ::write(fd, data, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= (size_t) written;
    }
    return true;
}

// Creates a new, uniquely named file beside the target; -1 when the folder takes none.
int createTemporaryBeside(const juce::File& target, juce::String& path)
{
    const auto folder = target.getParentDirectory();
    juce::Random random;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        path = folder
                   .getChildFile("." + target.getFileName() + "." + juce::String((int) ::getpid()) + "-" +
                                 juce::String::toHexString(random.nextInt()) + ".tmp")
                   .getFullPathName();
        const int fd = ::open(path.toRawUTF8(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}
} // namespace

int FileReplacer::replaceWithData(const juce::File& requestedTarget, const void* data, size_t size)
{
    // Saving through a symbolic link replaces the file it points at and keeps the link.
    const auto target = requestedTarget.isSymbolicLink() ? requestedTarget.getLinkedTarget() : requestedTarget;
    if (target.isDirectory())
        return WriteError::openFile;

    struct stat existing
    {
    };
    const bool targetExists = ::stat(target.getFullPathName().toRawUTF8(), &existing) == 0;

    juce::String temporaryPath;
    const int fd = createTemporaryBeside(target, temporaryPath);
    // A folder that takes no new file cannot take the replacement of an existing one either: that is the
    // existing file that cannot be replaced, not a file that cannot be made.
    if (fd < 0)
        return targetExists ? WriteError::deleteFile : WriteError::openFile;

    // A replaced file keeps its permissions.
    if (targetExists)
        ::fchmod(fd, existing.st_mode & 07777);

    bool ok = writeAll(fd, static_cast<const char*>(data), size);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok)
    {
        ::unlink(temporaryPath.toRawUTF8());
        return WriteError::writeData;
    }

    if (::rename(temporaryPath.toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
    {
        ::unlink(temporaryPath.toRawUTF8());
        return targetExists ? WriteError::deleteFile : WriteError::writeData;
    }
    return WriteError::noError;
}
} // namespace file
