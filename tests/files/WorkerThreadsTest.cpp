#include "files/WorkerThreads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>

TEST(WorkerThreads, CountGrowsWithTheWorkUpToTheLimitAndTheCores)
{
    const int cores = std::max(1, (int) std::thread::hardware_concurrency());
    struct Case
    {
        size_t work, each;
        int maximum, expected;
    };
    for (const auto& c : {Case{0, 100, 4, 1}, Case{99, 100, 4, 1}, Case{200, 100, 4, std::min(2, cores)},
                          Case{100000, 100, 4, std::min(4, cores)}, Case{100000, 100, 1, 1}, Case{5, 0, 3, std::min(3, cores)}})
        EXPECT_EQ(workerThreads::countFor(c.work, c.each, c.maximum), c.expected) << c.work << " / " << c.each;
}

TEST(WorkerThreads, EveryThreadRunsTheTaskOnceAndNestedWorkStaysOnItsThread)
{
    std::mutex lock;
    std::set<std::thread::id> outer;
    std::atomic<int> runs{0}, nestedRuns{0}, nestedOnOtherThreads{0};
    workerThreads::run(3,
                       [&]
                       {
                           ++runs;
                           const auto self = std::this_thread::get_id();
                           {
                               const std::scoped_lock guard(lock);
                               outer.insert(self);
                           }
                           workerThreads::run(4,
                                              [&]
                                              {
                                                  ++nestedRuns;
                                                  if (std::this_thread::get_id() != self)
                                                      ++nestedOnOtherThreads;
                                              });
                       });
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(outer.size(), 3u);
    EXPECT_TRUE(outer.count(std::this_thread::get_id()) == 1) << "the calling thread works too";
    EXPECT_EQ(nestedRuns, 3);
    EXPECT_EQ(nestedOnOtherThreads, 0);

    // Afterwards the calling thread may share work again.
    std::set<std::thread::id> again;
    workerThreads::run(2,
                       [&]
                       {
                           const std::scoped_lock guard(lock);
                           again.insert(std::this_thread::get_id());
                       });
    EXPECT_EQ(again.size(), 2u);
}
