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
    changed.notify_all();
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
    changed.notify_all();
}

void DeliveryWorker::post(std::function<void()> job, std::uint32_t delayMs, const void* owner)
{
    post(std::move(job), Clock::now() + std::chrono::milliseconds(delayMs), owner);
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
        changed.wait(guard, [&] { return !(running && runningOwner == owner); });
}

void DeliveryWorker::waitForRunningJob()
{
    if (isWorkerThread())
        return;
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return !running; });
}

bool DeliveryWorker::waitUntilIdle(int timeoutMs)
{
    std::unique_lock<std::mutex> guard(lock);
    return changed.wait_for(guard, std::chrono::milliseconds(timeoutMs), [&] { return !running && jobs.empty(); });
}

void DeliveryWorker::run(const char* threadName)
{
    pthread_setname_np(pthread_self(), threadName);
    std::unique_lock<std::mutex> guard(lock);
    while (!stopping)
    {
        if (jobs.empty())
        {
            changed.wait(guard);
            continue;
        }
        auto first = jobs.begin();
        const auto due = first->first.first;
        if (Clock::now() < due)
        {
            changed.wait_until(guard, due);
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
        running = false;
        runningOwner = nullptr;
        changed.notify_all();
    }
}
} // namespace platform::midi
