// Whole processes side by side: bench_library_file opening or saving one library file through the
// program's reader and writer, beside Info-ZIP's `unzip -p` (to /dev/null) of the same file and `zip -5` of
// the same members, at 1, 10, 100 and 500 filled programs. The two commands of a pair run in turn, their
// order swapped each run; the ratio of each pair is ours / theirs. Wall time, and the processes' CPU time
// (user and system), which a busy machine disturbs less. Medians, ranges in brackets.
//   bench_whole_process <path of bench_library_file> [runs, default 21]
// The files lie in $TMPDIR (default /tmp), so a save waits for that disk, as the program's saves do.
#include "files/MemoryBasedZipUncompressor.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace
{
struct Times
{
    double wall = 0; // milliseconds
    double cpu = 0;
};

// Runs the command in the folder, its output to /dev/null; stops the benchmark when it fails.
Times run(const std::vector<std::string>& command, const std::string& folder)
{
    std::vector<char*> arguments;
    for (const auto& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    const bool ran = posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), environ) == 0
                     && wait4(pid, &status, 0, &usage) == pid;
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (!ran || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    {
        std::fprintf(stderr, "failed: %s\n", command[0].c_str());
        std::exit(1);
    }
    const auto seconds = [](const timeval& t) { return (double) t.tv_sec + (double) t.tv_usec / 1e6; };
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            (seconds(usage.ru_utime) + seconds(usage.ru_stime)) * 1000};
}

std::string summary(std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    const auto n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    char text[96];
    std::snprintf(text, sizeof(text), "%.3g%s [%.3g-%.3g]", median, unit, values.front(), values.back());
    return text;
}

std::string loadAverage()
{
    return (juce::File("/proc/loadavg").loadFileAsString().upToFirstOccurrenceOf(" ", false, false) + " (1 min)")
        .toStdString();
}

struct Pair
{
    std::vector<Times> ours, theirs;

    void row() const
    {
        std::vector<double> oursWall, theirsWall, wallRatio, cpuRatio;
        for (size_t i = 0; i < ours.size(); ++i)
        {
            oursWall.push_back(ours[i].wall);
            theirsWall.push_back(theirs[i].wall);
            wallRatio.push_back(ours[i].wall / theirs[i].wall);
            cpuRatio.push_back(ours[i].cpu / std::max(theirs[i].cpu, 0.001));
        }
        std::printf(" %s | %s | %s | %s |", summary(oursWall, " ms").c_str(), summary(theirsWall, " ms").c_str(),
                    summary(wallRatio, "x").c_str(), summary(cpuRatio, "x").c_str());
    }
};
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s <path of bench_library_file> [runs]\n", argv[0]);
        return 64;
    }
    const auto tool = juce::File::getCurrentWorkingDirectory().getChildFile(argv[1]).getFullPathName().toStdString();
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
    const auto work = juce::File::getSpecialLocation(juce::File::tempDirectory)
                          .getNonexistentChildFile("sonavire-whole-process", "", false);
    work.createDirectory();
    const auto workPath = work.getFullPathName().toStdString();

    std::printf("load average at the start: %s; %d runs of each; files in %s\n\n", loadAverage().c_str(), runs,
                workPath.c_str());
    std::printf("| filled programs | open | unzip -p | open / unzip -p: wall | CPU | save | zip -5 | "
                "save / zip -5: wall | CPU |\n|---|---|---|---|---|---|---|---|---|\n");
    for (const int filled : {1, 10, 100, 500})
    {
        const auto library = workPath + "/library-" + std::to_string(filled) + ".snvrlib";
        const auto saved = workPath + "/saved.snvrlib";
        const auto zipped = workPath + "/zipped.zip";
        const auto members = workPath + "/members-" + std::to_string(filled);
        run({tool, "save", library, std::to_string(filled)}, workPath);
        run({"unzip", "-qq", library, "-d", members}, workPath);
        std::vector<std::string> zipCommand{"zip", "-q", "-5", "-X", zipped};
        for (const auto& entry : MemoryBasedZipUncompressor(juce::File(library)).entries)
            zipCommand.push_back(entry.name.toStdString());

        Pair open, save;
        for (int i = 0; i < runs; ++i)
        {
            const bool oursFirst = i % 2 == 0;
            for (int turn = 0; turn < 2; ++turn)
            {
                if ((turn == 0) == oursFirst)
                    open.ours.push_back(run({tool, "open", library}, workPath));
                else
                    open.theirs.push_back(run({"unzip", "-p", library}, workPath));
            }
            for (int turn = 0; turn < 2; ++turn)
            {
                // Both make a new file each time.
                std::remove(saved.c_str());
                std::remove(zipped.c_str());
                if ((turn == 0) == oursFirst)
                    save.ours.push_back(run({tool, "save", saved, std::to_string(filled)}, workPath));
                else
                    save.theirs.push_back(run(zipCommand, members));
            }
        }
        std::printf("| %d |", filled);
        open.row();
        save.row();
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("\nload average at the end: %s\n", loadAverage().c_str());
    work.deleteRecursively();
    return 0;
}
