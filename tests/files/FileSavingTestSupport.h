#pragma once

#include "tests/files/ZipTestSupport.h"

#include <juce_core/juce_core.h>

#include <csignal>
#include <sys/resource.h>

namespace ziptest
{
// While it lives, files of this process cannot grow beyond a few kilobytes: writes fail as on a full disk.
class DiskFullSimulation
{
public:
    explicit DiskFullSimulation(rlim_t limit = 4096)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }

    ~DiskFullSimulation()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }

private:
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

// Makes a file immutable (it can be neither replaced nor deleted, even by root) while it lives.
class ImmutableFile
{
public:
    explicit ImmutableFile(const juce::File& f) : file(f)
    {
        made = runShell("chattr +i '" + file.getFullPathName() + "'") == 0;
    }

    ~ImmutableFile()
    {
        if (made)
            runShell("chattr -i '" + file.getFullPathName() + "'");
    }

    bool isImmutable() const { return made; }

private:
    juce::File file;
    bool made = false;
};

// Names of everything in a folder, hidden files included, sorted, to show that no temporary file was left behind.
inline juce::StringArray folderListing(const juce::File& folder)
{
    juce::StringArray names;
    for (const auto& entry : juce::RangedDirectoryIterator(folder, false, "*", juce::File::findFilesAndDirectories))
        names.add(entry.getFile().getFileName());
    names.sort(false);
    return names;
}
} // namespace ziptest
