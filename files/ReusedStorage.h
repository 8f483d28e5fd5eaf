#pragma once

#include <juce_core/juce_core.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

// Storage that a reader hands on to the next reader on the same thread. Reading a library-type file takes
// a few blocks of some hundred kilobytes (the archive, its members, the program entries); left to the
// allocator, those may go back to the system after each file and be faulted in again for the next, so
// the speed of reading would depend on how the allocator is set up.
namespace reusedStorage
{
// Blocks larger than this (an unusually large archive) go back to the allocator after all.
constexpr size_t largestKept = 4 * 1024 * 1024;

// A byte block. Its storage comes from the thread's spares where one is large enough.
class Bytes
{
public:
    Bytes() = default;
    Bytes(const Bytes&) = delete;
    Bytes& operator=(const Bytes&) = delete;
    ~Bytes() { release(); }

    // Room for size bytes; what the block held before is lost. Null when the memory cannot be had.
    juce::uint8* allocate(size_t size);
    // Room for size bytes, the bytes held so far kept. Null (and the block as it was) when the memory
    // cannot be had.
    juce::uint8* grow(size_t size);
    // Keeps only the first size bytes.
    void truncate(size_t size) { used = std::min(used, size); }
    juce::uint8* data() const { return storage.get(); }
    size_t size() const { return used; }
    // Hands the storage back to the thread's spares.
    void release();

private:
    // Moves a spare that holds at least size bytes, or a new block, into storage; false without memory.
    bool takeStorage(size_t size);

    std::unique_ptr<juce::uint8[]> storage;
    size_t capacity = 0;
    size_t used = 0;
};

// An empty vector, with the capacity of the last one given back on this thread.
template <class T>
std::vector<T>& spareVector()
{
    static thread_local std::vector<T> spare;
    return spare;
}

template <class T>
std::vector<T> takeVector()
{
    return std::exchange(spareVector<T>(), {});
}

template <class T>
void giveBackVector(std::vector<T>& used)
{
    used.clear();
    if (used.capacity() * sizeof(T) <= largestKept && used.capacity() > spareVector<T>().capacity())
        spareVector<T>() = std::move(used);
}
} // namespace reusedStorage
