#pragma once

#include <juce_core/juce_core.h>

#include <vector>

// Collects named byte blocks in memory and writes them as one zip archive.
// Every member carries the same fixed time stamp, so the same members always give the same bytes.
class MemoryBasedZipBuilder
{
public:
    class DataEntry
    {
    public:
        DataEntry() = default;
        DataEntry(const DataEntry&) = default;
        DataEntry(DataEntry&&) noexcept = default;
        DataEntry& operator=(const DataEntry&) = default;
        DataEntry& operator=(DataEntry&&) noexcept = default;
        virtual ~DataEntry() = default;

        juce::String name;
        juce::MemoryBlock data;
        int compressionLevel = 5; // 0 or less stores the bytes as they are
        juce::String storedName;
        juce::uint32 compressedSize = 0;
        juce::uint32 localHeaderOffset = 0;
        juce::uint32 crc32 = 0;
    };

    MemoryBasedZipBuilder() = default;
    virtual ~MemoryBasedZipBuilder() = default;

    // The archive's member name is storedName, or name when storedName is empty.
    void addEntry(const juce::String& name, const juce::MemoryBlock& data, const juce::String& storedName = {});
    // A member of these bytes under its name.
    void addEntry(const juce::String& name, const void* data, size_t size);

    // Writes the whole archive at the target's current position. False when a member cannot be
    // compressed or the archive would not fit the zip format; the target may then hold a partial archive.
    bool writeToStream(juce::OutputStream& target);

    // An upper bound of the archive's size, to reserve the memory before writing it.
    size_t getMaximumArchiveSize() const;

    int getNumEntries() const { return (int) entries.size(); }
    const DataEntry& getEntry(int index) const { return entries[(size_t) index]; }

    // DOS time and date of every member: 1 January 2013, 00:00:00.
    static constexpr juce::uint16 fixedDosTime = 0;
    static constexpr juce::uint16 fixedDosDate = 16929;

private:
    std::vector<DataEntry> entries;
};
