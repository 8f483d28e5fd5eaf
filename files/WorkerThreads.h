#pragma once

#include <cstddef>
#include <functional>

// A few threads that share one task for a moment, such as the members of an archive or the files of a
// folder. Each runs the task once; the task takes its pieces of work from a shared counter until none
// are left.
namespace workerThreads
{
// How many threads are worth it for this much work, when each should have at least workEach of it: at
// least one, at most maximum and the cores the machine has.
int countFor(size_t work, size_t workEach, int maximum = 4);

// Runs the task on count threads at once, the calling thread among them, and returns when every one has
// returned; each gets its own number, from 0 (the calling thread) up to count - 1, so that what a task
// needs can be made beforehand on the calling thread (a new thread's first allocation sets up a heap
// of its own). Fewer threads run when the system gives no more. Inside a task, the task of a nested
// call runs on its calling thread alone, as number 0, so that nested work does not multiply the threads.
void run(int count, const std::function<void(int worker)>& task);
} // namespace workerThreads
