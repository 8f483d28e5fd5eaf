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

TEST(WorkerThreads, EveryThreadRunsTheTaskOnceUnderItsOwnNumberAndNestedWorkStaysOnItsThread)
{
    std::mutex lock;
    std::set<std::thread::id> outer;
    std::set<int> numbers;
    std::atomic<int> runs{0}, nestedRuns{0}, nestedOnOtherThreads{0}, nestedNotZero{0}, callerNotZero{0};
    const auto caller = std::this_thread::get_id();
    workerThreads::run(3,
                       [&](int worker)
                       {
                           ++runs;
                           const auto self = std::this_thread::get_id();
                           if (self == caller && worker != 0)
                               ++callerNotZero;
                           {
                               const std::scoped_lock guard(lock);
                               outer.insert(self);
                               numbers.insert(worker);
                           }
                           workerThreads::run(4,
                                              [&](int nested)
                                              {
                                                  ++nestedRuns;
                                                  if (std::this_thread::get_id() != self)
                                                      ++nestedOnOtherThreads;
                                                  if (nested != 0)
                                                      ++nestedNotZero;
                                              });
                       });
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(outer.size(), 3u);
    EXPECT_TRUE(outer.count(caller) == 1) << "the calling thread works too";
    EXPECT_EQ(numbers, (std::set<int>{0, 1, 2}));
    EXPECT_EQ(callerNotZero, 0);
    EXPECT_EQ(nestedRuns, 3);
    EXPECT_EQ(nestedOnOtherThreads, 0);
    EXPECT_EQ(nestedNotZero, 0);

    // Afterwards the calling thread may share work again.
    std::set<std::thread::id> again;
    workerThreads::run(2,
                       [&](int)
                       {
                           const std::scoped_lock guard(lock);
                           again.insert(std::this_thread::get_id());
                       });
    EXPECT_EQ(again.size(), 2u);
}
