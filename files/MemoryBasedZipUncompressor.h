#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <vector>

// Reads a zip archive into memory: lists its central directory, then inflates every member into a map
// from member name to bytes. Archive and members are bounded, and a member whose size or CRC-32 does not
// match its directory record makes the whole archive unreadable, so damaged bytes never reach a caller.
class MemoryBasedZipUncompressor
{
public:
    struct Entry
    {
        juce::String name;
        juce::uint32 uncompressedSize = 0;
        juce::Time modificationTime;
        juce::uint32 localHeaderOffset = 0;
        juce::uint32 compressedSize = 0;
        bool compressed = false;
        juce::uint16 method = 0;
        juce::uint16 flags = 0;
        juce::uint32 crc32 = 0;
    };

    // Archives larger than this, or whose members inflate to more than this in all, are refused.
    static constexpr juce::int64 maximumArchiveSize = 64 * 1024 * 1024;
    static constexpr juce::int64 maximumUncompressedSize = 64 * 1024 * 1024;

    // Reads the archive's directory. Never fails: a missing, unreadable, oversized or non-zip file
    // gives an empty entry list.
    explicit MemoryBasedZipUncompressor(const juce::File& archive);
    explicit MemoryBasedZipUncompressor(const juce::MemoryBlock& archiveBytes);
    virtual ~MemoryBasedZipUncompressor() = default;

    int getNumEntries() const { return (int) entries.size(); }
    const Entry& getEntry(int index) const { return entries[(size_t) index]; }

    // Index of the first entry of exactly this name (case-sensitive), else -1.
    int findEntryIndex(const juce::String& name) const;

    // Inflates every member (folders aside) into uncompressedData; the first member of a name wins.
    // Fails, leaving uncompressedData empty, when the archive or any member is damaged or too large.
    juce::Result uncompressAllEntries();

    // True when the file looked like an archive but could not be used (too large, damaged directory).
    bool isDamaged() const { return damaged; }

    std::vector<Entry> entries;
    std::map<juce::String, juce::MemoryBlock> uncompressedData;

private:
    void readDirectory();

    juce::MemoryBlock archive;
    bool damaged = false;
};
