#include "platform/midi/DeliveryWorker.h"

#include <pthread.h>

namespace platform::midi
{
DeliveryWorker::DeliveryWorker(const char* threadName)
{
    thread = std::thread([this, threadName] { run(threadName); });
}

DeliveryWorker::~DeliveryWorker()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
        jobs.clear();
    }
    workChanged.notify_all();
    if (thread.joinable())
    {
        if (isWorkerThread())
            thread.detach();
        else
            thread.join();
    }
}

void DeliveryWorker::post(std::function<void()> job, Clock::time_point due, const void* owner)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (stopping)
            return;
        jobs.emplace(std::make_pair(due, nextSequence++), Job{std::move(job), owner});
    }
    workChanged.notify_one();
}

void DeliveryWorker::post(std::function<void()> job, std::uint32_t delayMs, const void* owner)
{
    post(std::move(job), Clock::now() + std::chrono::milliseconds(delayMs), owner);
}

bool DeliveryWorker::runNowOrPost(std::function<void()> job, const void* owner)
{
    std::unique_lock<std::mutex> guard(lock);
    if (stopping)
        return false;
    if (running || !jobs.empty() || isWorkerThread())
    {
        jobs.emplace(std::make_pair(Clock::now(), nextSequence++), Job{std::move(job), owner});
        guard.unlock();
        workChanged.notify_one();
        return false;
    }
    // Counts as the running job: later posts queue behind it, cancel(owner) waits for it.
    running = true;
    runningOwner = owner;
    guard.unlock();
    job();
    job = nullptr;
    guard.lock();
    finishRunning();
    // The worker sleeps through a job run here; wake it only for what was queued meanwhile.
    if (!jobs.empty())
        workChanged.notify_one();
    return true;
}

void DeliveryWorker::finishRunning()
{
    running = false;
    runningOwner = nullptr;
    jobEnded.notify_all();
}

void DeliveryWorker::cancel(const void* owner)
{
    std::unique_lock<std::mutex> guard(lock);
    for (auto it = jobs.begin(); it != jobs.end();)
    {
        if (it->second.owner == owner)
            it = jobs.erase(it);
        else
            ++it;
    }
    if (!isWorkerThread())
        jobEnded.wait(guard, [&] { return !(running && runningOwner == owner); });
}

void DeliveryWorker::waitForRunningJob()
{
    if (isWorkerThread())
        return;
    std::unique_lock<std::mutex> guard(lock);
    jobEnded.wait(guard, [&] { return !running; });
}

bool DeliveryWorker::waitUntilIdle(int timeoutMs)
{
    std::unique_lock<std::mutex> guard(lock);
    return jobEnded.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return !running && jobs.empty(); });
}

void DeliveryWorker::run(const char* threadName)
{
    pthread_setname_np(pthread_self(), threadName);
    std::unique_lock<std::mutex> guard(lock);
    while (!stopping)
    {
        if (jobs.empty() || running) // running: a job runs on a caller's thread
        {
            workChanged.wait(guard);
            continue;
        }
        auto first = jobs.begin();
        const auto due = first->first.first;
        if (Clock::now() < due)
        {
            workChanged.wait_until(guard, due);
            continue;
        }
        Job job = std::move(first->second);
        jobs.erase(first);
        running = true;
        runningOwner = job.owner;
        guard.unlock();
        job.fn();
        job.fn = nullptr; // captured state goes before the job counts as finished
        guard.lock();
        finishRunning();
    }
}
} // namespace platform::midi
