#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
// Reads a regular file and nothing else. The file is opened without waiting and checked after opening:
// a FIFO without a writer would block the open for good, a device may never end, and a folder is no file.
// Names are taken by their bytes (fileNameBytes).
class RegularFileInputStream : public juce::InputStream
{
public:
    enum class Status
    {
        open,
        missing, // nothing of that name, or a folder on the way is missing
        refused  // it exists but cannot be read (permissions), or it is not a regular file
    };

    explicit RegularFileInputStream(const juce::File& file);
    ~RegularFileInputStream() override;

    Status getStatus() const { return status; }
    bool openedOk() const { return status == Status::open; }

    juce::int64 getTotalLength() override { return size; }
    bool isExhausted() override { return position >= size; }
    int read(void* destination, int bytes) override;
    juce::int64 getPosition() override { return position; }
    bool setPosition(juce::int64 newPosition) override;

private:
    int fd = -1;
    Status status = Status::missing;
    juce::int64 size = 0;
    juce::int64 position = 0;
};

// Whether the file can be opened as a regular file for reading.
bool isReadableRegularFile(const juce::File& file);
} // namespace platform
