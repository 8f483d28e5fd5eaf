#include "files/WorkerThreads.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

namespace workerThreads
{
namespace
{
thread_local bool insideTask = false;

void runMarked(const std::function<void(int)>& task, int worker)
{
    insideTask = true;
    task(worker);
    insideTask = false;
}
} // namespace

int countFor(size_t work, size_t workEach, int maximum)
{
    const auto cores = std::max(1, (int) std::thread::hardware_concurrency());
    const auto worth = std::max<size_t>(1, work / std::max<size_t>(1, workEach));
    return (int) std::min<size_t>(worth, (size_t) std::max(1, std::min(maximum, cores)));
}

void run(int count, const std::function<void(int worker)>& task)
{
    if (insideTask || count <= 1)
    {
        task(0);
        return;
    }
    std::vector<std::thread> helpers;
    helpers.reserve((size_t) count - 1);
    while ((int) helpers.size() + 1 < count)
    {
        try
        {
            helpers.emplace_back(runMarked, std::cref(task), (int) helpers.size() + 1);
        }
        catch (const std::system_error&)
        {
            break; // the work is shared by fewer threads
        }
    }
    runMarked(task, 0);
    for (auto& helper : helpers)
        helper.join();
}
} // namespace workerThreads
