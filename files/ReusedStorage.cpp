#include "files/ReusedStorage.h"

#include <cstring>
#include <new>

namespace reusedStorage
{
namespace
{
struct Spare
{
    std::unique_ptr<juce::uint8[]> storage;
    size_t capacity = 0;
};

// A reader holds two blocks at a time (the archive and its members); more are never needed.
constexpr size_t sparesKept = 4;

std::vector<Spare>& spares()
{
    static thread_local std::vector<Spare> kept;
    return kept;
}

void keep(std::unique_ptr<juce::uint8[]> storage, size_t capacity)
{
    auto& kept = spares();
    if (storage == nullptr || capacity > largestKept)
        return;
    if (kept.size() < sparesKept)
    {
        kept.push_back({std::move(storage), capacity});
        return;
    }
    // Full: a larger block serves every file a smaller one does.
    auto smallest = std::min_element(kept.begin(), kept.end(),
                                     [](const Spare& a, const Spare& b) { return a.capacity < b.capacity; });
    if (smallest->capacity < capacity)
        *smallest = {std::move(storage), capacity};
}
} // namespace

bool Bytes::takeStorage(size_t size)
{
    // The smallest spare that is large enough.
    auto& kept = spares();
    auto best = kept.end();
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->capacity >= size && (best == kept.end() || it->capacity < best->capacity))
            best = it;
    if (best != kept.end())
    {
        storage = std::move(best->storage);
        capacity = best->capacity;
        kept.erase(best);
        return true;
    }
    // Rounded up, so that a slightly larger file next time still fits.
    const auto rounded = (size + 65535) & ~(size_t) 65535;
    storage.reset(new (std::nothrow) juce::uint8[rounded]);
    capacity = storage != nullptr ? rounded : 0;
    return storage != nullptr;
}

juce::uint8* Bytes::allocate(size_t size)
{
    used = 0;
    if (size > capacity)
    {
        release();
        if (!takeStorage(size))
            return nullptr;
    }
    used = size;
    return storage.get();
}

juce::uint8* Bytes::grow(size_t size)
{
    if (size > capacity)
    {
        auto held = std::move(storage);
        const auto heldCapacity = capacity;
        if (!takeStorage(size))
        {
            storage = std::move(held);
            capacity = heldCapacity;
            return nullptr;
        }
        if (used > 0)
            std::memcpy(storage.get(), held.get(), used);
        keep(std::move(held), heldCapacity);
    }
    used = std::max(used, size);
    return storage.get();
}

void Bytes::release()
{
    keep(std::move(storage), capacity);
    storage.reset();
    capacity = 0;
    used = 0;
}
} // namespace reusedStorage
