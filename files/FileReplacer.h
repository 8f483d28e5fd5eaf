#pragma once

#include <juce_core/juce_core.h>

namespace file
{
// Saves a file without ever destroying the previous one before the new one is complete: the bytes go
// to a new file in the target's folder, which is then renamed over the target.
class FileReplacer
{
public:
    // Returns a write-error index: 0; 1 when an existing file cannot be replaced (also when its folder
    // takes no new file); 2 when no new file can be made in the target's folder (or the target is a
    // folder); 3 when the bytes cannot be written.
    // On failure the target is unchanged and no temporary file remains.
    static int replaceWithData(const juce::File& target, const void* data, size_t size);
};
} // namespace file
