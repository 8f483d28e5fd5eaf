#pragma once

#include <juce_core/juce_core.h>

namespace file
{
// Saves a file without ever destroying the previous one before the new one is complete: the bytes go
// to a new file in the target's folder, which is then renamed over the target, and the folder is flushed.
class FileReplacer
{
public:
    // Returns a write-error index: 0; 1 when an existing file cannot be replaced (also when its folder
    // takes no new file); 2 when no new file can be made in the target's folder (or the target is a
    // folder, or a chain of links too long to follow); 3 when the bytes cannot be written.
    // On failure the target is unchanged and no temporary file remains. Saving through symbolic links
    // replaces the file at the end of the chain and keeps the links. Temporary files that an ended
    // process left in the folder are removed.
    static int replaceWithData(const juce::File& target, const void* data, size_t size);

    // Removes the temporary files of our naming (".<name>.<pid>-<hex>.tmp") whose process has ended.
    static void removeStaleTemporaries(const juce::File& folder);

    // Whether the name is one of our temporary files, and of which process.
    static bool isTemporaryName(const char* name, int& processId);
};
} // namespace file
