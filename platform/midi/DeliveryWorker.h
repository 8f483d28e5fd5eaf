#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace platform::midi
{
// One thread that runs posted jobs in the order of their due time (posting order among equal
// times). The backends use it for deliveries and send completions, so these run on a thread
// of the backend as they would with a real MIDI system.
class DeliveryWorker
{
public:
    using Clock = std::chrono::steady_clock;

    explicit DeliveryWorker(const char* threadName);
    ~DeliveryWorker(); // pending jobs are dropped; a running one is waited for

    // owner tags the job so cancel() can drop it.
    void post(std::function<void()> job, Clock::time_point due, const void* owner = nullptr);
    void post(std::function<void()> job, std::uint32_t delayMs = 0, const void* owner = nullptr);

    // Runs the job at once on the calling thread when no job is pending or running, else posts it
    // behind the others. Spares a thread hand-over for each message when sends do not overlap.
    // True when the job ran here.
    bool runNowOrPost(std::function<void()> job, const void* owner = nullptr);

    // Drops the pending jobs of owner and waits for one of its jobs that is running, unless
    // called from the worker itself.
    void cancel(const void* owner);

    // Waits until no job is running (any owner), unless called from the worker itself.
    void waitForRunningJob();

    // Waits until no job is pending or running; false when the timeout passed first.
    bool waitUntilIdle(int timeoutMs);

    bool isWorkerThread() const noexcept { return std::this_thread::get_id() == thread.get_id(); }

private:
    void run(const char* threadName);

    struct Job
    {
        std::function<void()> fn;
        const void* owner = nullptr;
    };

    void finishRunning(); // with the lock held

    std::mutex lock;
    std::condition_variable workChanged; // the worker waits here: jobs came, or a job ended
    std::condition_variable jobEnded;    // callers of cancel() and the waits wait here
    std::map<std::pair<Clock::time_point, std::uint64_t>, Job> jobs;
    std::uint64_t nextSequence = 0;
    bool running = false;
    const void* runningOwner = nullptr;
    bool stopping = false;
    std::thread thread;
};
} // namespace platform::midi
