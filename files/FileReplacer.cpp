#include "files/FileReplacer.h"
#include "files/FileWriter.h"

#include "platform/system/FileNameBytes.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace file
{
namespace
{
// As the system's own limit on links followed in one path.
constexpr int maximumLinksFollowed = 40;

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

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file at the end of a chain of symbolic links (which need not exist yet); false when the chain is
// too long or a link cannot be read.
bool followLinks(std::string& path)
{
    for (int hop = 0; hop <= maximumLinksFollowed; ++hop)
    {
        struct stat info
        {
        };
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char buffer[4096];
        const auto length = ::readlink(path.c_str(), buffer, sizeof(buffer));
        if (length <= 0 || (size_t) length >= sizeof(buffer))
            return false;
        const std::string linked(buffer, (size_t) length);
        path = linked.front() == '/' ? linked : folderOf(path) + "/" + linked;
    }
    return false;
}

// Creates a new, uniquely named file beside the target; -1 when the folder takes none.
int createTemporaryBeside(const std::string& target, std::string& path)
{
    const auto prefix = folderOf(target) + "/." + nameOf(target) + "." + std::to_string(::getpid()) + "-";
    juce::Random random;
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        path = prefix + juce::String::toHexString(random.nextInt()).toStdString() + ".tmp";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The rename is in the folder's entry: flushed, a power cut cannot take the saved file back.
bool flushFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems cannot flush a folder; there is nothing more to do then.
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    ::close(fd);
    return flushed;
}

void removeStaleTemporariesIn(const std::string& folder)
{
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr)
        return;
    while (const auto* entry = ::readdir(listing))
    {
        int owner = 0;
        // A process id in use may be another process now: its file is kept, to be safe.
        if (FileReplacer::isTemporaryName(entry->d_name, owner) && owner != ::getpid() && ::kill(owner, 0) != 0 &&
            errno == ESRCH)
            ::unlinkat(::dirfd(listing), entry->d_name, 0);
    }
    ::closedir(listing);
}
} // namespace

bool FileReplacer::isTemporaryName(const char* name, int& processId)
{
    // "." name "." digits "-" hex digits ".tmp"
    const size_t length = std::strlen(name);
    constexpr size_t suffixLength = 4;
    if (length < 1 + 1 + 1 + 1 + 1 + 1 + suffixLength || name[0] != '.' ||
        std::strcmp(name + length - suffixLength, ".tmp") != 0)
        return false;
    size_t at = length - suffixLength;
    size_t hexDigits = 0;
    while (at > 0 && std::isxdigit((unsigned char) name[at - 1]) && !std::isupper((unsigned char) name[at - 1]))
        --at, ++hexDigits;
    if (hexDigits == 0 || hexDigits > 8 || at == 0 || name[--at] != '-')
        return false;
    const size_t digitsEnd = at;
    while (at > 0 && std::isdigit((unsigned char) name[at - 1]))
        --at;
    if (at == digitsEnd || digitsEnd - at > 9 || at < 3 || name[--at] != '.')
        return false;
    processId = std::atoi(name + at + 1);
    return processId > 0;
}

void FileReplacer::removeStaleTemporaries(const juce::File& folder)
{
    removeStaleTemporariesIn(platform::fileNameBytes(folder));
}

int FileReplacer::replaceWithData(const juce::File& requestedTarget, const void* data, size_t size)
{
    // Saving through symbolic links replaces the file they lead to and keeps the links.
    auto target = platform::fileNameBytes(requestedTarget);
    if (!followLinks(target))
        return WriteError::openFile;

    struct stat existing
    {
    };
    const bool targetExists = ::stat(target.c_str(), &existing) == 0;
    if (targetExists && S_ISDIR(existing.st_mode))
        return WriteError::openFile;

    const auto folder = folderOf(target);
    removeStaleTemporariesIn(folder);

    std::string temporaryPath;
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
        ::unlink(temporaryPath.c_str());
        return WriteError::writeData;
    }

    if (::rename(temporaryPath.c_str(), target.c_str()) != 0)
    {
        ::unlink(temporaryPath.c_str());
        return targetExists ? WriteError::deleteFile : WriteError::writeData;
    }
    return flushFolder(folder) ? WriteError::noError : WriteError::writeData;
}
} // namespace file
