#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <memory>
#include <string_view>
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

    // Archives larger than this, or whose members inflate to more than this in all, are refused. A full
    // library is about 300 KB, and 500 KB inflated: the limits leave room for long texts, while opening the
    // largest archive they let through stays well under a second and under 100 MB.
    static constexpr juce::int64 maximumArchiveSize = 8 * 1024 * 1024;
    static constexpr juce::int64 maximumUncompressedSize = 8 * 1024 * 1024;

    // Reads the archive's directory. Never fails: a missing, unreadable, oversized or non-zip file
    // gives an empty entry list. Only a regular file is read (see platform::RegularFileInputStream).
    explicit MemoryBasedZipUncompressor(const juce::File& archive);
    explicit MemoryBasedZipUncompressor(const juce::MemoryBlock& archiveBytes);
    virtual ~MemoryBasedZipUncompressor() = default;

    int getNumEntries() const { return (int) entries.size(); }
    const Entry& getEntry(int index) const { return entries[(size_t) index]; }

    // Index of the first entry of exactly this name (case-sensitive), else -1.
    int findEntryIndex(const juce::String& name) const;

    // Where a member's inflated bytes are.
    struct MemberBytes
    {
        const juce::uint8* data = nullptr;
        size_t size = 0;
    };

    // Inflates every member (folders aside) into one block, where findMember finds them; the first member
    // of a name wins. Fails, holding no member, when the archive or any member is damaged or too large.
    juce::Result inflateAllEntries();

    // The bytes of the member of exactly this name (UTF-8, case-sensitive) after inflateAllEntries, else null.
    const MemberBytes* findMember(std::string_view name) const;

    // As inflateAllEntries, and copies every member into uncompressedData.
    juce::Result uncompressAllEntries();

    // True when the file looked like an archive but could not be used (too large, damaged directory).
    bool isDamaged() const { return damaged; }

    // True when the file exists but could not be opened: no permission, or not a regular file.
    bool wasRefused() const { return refused; }

    std::vector<Entry> entries;
    std::map<juce::String, juce::MemoryBlock> uncompressedData;

private:
    void readDirectory();
    void dropMembers();
    // The position in members of the member of that name, or of the free slot where it belongs.
    size_t slotOf(std::string_view name) const;

    juce::MemoryBlock archive;
    bool damaged = false;
    bool refused = false;
    // Every member's bytes back to back; the members by first appearance of their names, and an open
    // hash table of their positions (plus one; 0 is a free slot) for the look-up by name.
    std::unique_ptr<juce::uint8[]> memberStore;
    std::vector<std::pair<std::string_view, MemberBytes>> members;
    std::vector<juce::uint32> memberSlots;
};
