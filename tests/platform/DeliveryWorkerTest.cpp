#include "platform/midi/DeliveryWorker.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>

using platform::midi::DeliveryWorker;

namespace
{
constexpr int waitMs = testsupport::hangMs;

// The order in which jobs ran, and on which thread.
struct Journal
{
    void add(const std::string& entry)
    {
        std::lock_guard<std::mutex> guard(lock);
        text += entry;
    }

    std::string get()
    {
        std::lock_guard<std::mutex> guard(lock);
        return text;
    }

    std::mutex lock;
    std::string text;
};
} // namespace

TEST(DeliveryWorker, RunsAJobAtOnceOnTheCallersThreadWhenIdle)
{
    DeliveryWorker worker("TestWorker");
    std::thread::id ranOn;
    worker.runNowOrPost([&] { ranOn = std::this_thread::get_id(); });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_TRUE(worker.waitUntilIdle(0));
}

TEST(DeliveryWorker, QueuesBehindARunningJobSoTheOrderIsKept)
{
    DeliveryWorker worker("TestWorker");
    Journal journal;
    std::promise<void> started, release;
    std::atomic<bool> laterOnWorker{false};
    worker.post(
        [&]
        {
            started.set_value();
            release.get_future().wait();
            journal.add("a");
        });
    started.get_future().wait();
    worker.runNowOrPost(
        [&]
        {
            journal.add("b");
            laterOnWorker = worker.isWorkerThread();
        });
    EXPECT_EQ(journal.get(), ""); // nothing ran on the caller's thread
    release.set_value();
    ASSERT_TRUE(worker.waitUntilIdle(waitMs));
    EXPECT_EQ(journal.get(), "ab");
    EXPECT_TRUE(laterOnWorker);
}

// While a job runs on a caller's thread, the worker keeps its queue: jobs posted meanwhile run after it.
TEST(DeliveryWorker, HoldsTheQueueWhileAJobRunsOnACallersThread)
{
    DeliveryWorker worker("TestWorker");
    Journal journal;
    std::promise<void> started, release;
    auto releaseFuture = release.get_future().share();
    std::thread caller(
        [&]
        {
            worker.runNowOrPost(
                [&]
                {
                    started.set_value();
                    releaseFuture.wait();
                    journal.add("inline ");
                },
                &journal);
        });
    started.get_future().wait();
    worker.post([&] { journal.add("posted "); });
    worker.runNowOrPost([&] { journal.add("second "); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(journal.get(), "");

    // cancel() of the running job's owner waits for it to end.
    std::atomic<bool> cancelled{false};
    std::thread canceller(
        [&]
        {
            worker.cancel(&journal);
            cancelled = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(cancelled);

    release.set_value();
    caller.join();
    canceller.join();
    EXPECT_TRUE(cancelled);
    ASSERT_TRUE(worker.waitUntilIdle(waitMs));
    EXPECT_EQ(journal.get(), "inline posted second ");
}

TEST(DeliveryWorker, AJobPostingFromTheWorkerIsQueuedNotNested)
{
    DeliveryWorker worker("TestWorker");
    Journal journal;
    worker.post(
        [&]
        {
            worker.runNowOrPost([&] { journal.add("inner "); });
            journal.add("outer ");
        });
    ASSERT_TRUE(worker.waitUntilIdle(waitMs));
    EXPECT_EQ(journal.get(), "outer inner ");
}
