#pragma once

#include <juce_core/juce_core.h>

namespace file
{
// Write-error indices: positions in the shell's write-error key table (0 = no error).
namespace WriteError
{
enum
{
    noError = 0,
    deleteFile = 1, // an existing file could not be replaced
    openFile = 2,   // no file could be created beside the target
    writeData = 3   // the data could not be built or written
};
} // namespace WriteError

// Writes a record to a file. A failed write leaves any previous file of that name as it was.
class FileWriter
{
public:
    virtual ~FileWriter() = default;
    virtual int write(const juce::File& file) = 0;
};
} // namespace file
