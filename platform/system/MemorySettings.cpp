#include "platform/system/MemorySettings.h"

#include <malloc.h>

namespace platform
{
void keepFreedMemoryForReuse()
{
    // Blocks below 16 MB come from the heap, and up to 32 MB of free heap is kept.
    mallopt(M_MMAP_THRESHOLD, 16 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 32 * 1024 * 1024);
}
} // namespace platform
