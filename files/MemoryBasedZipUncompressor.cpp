#include "files/MemoryBasedZipUncompressor.h"
#include "files/WorkerThreads.h"
#include "files/ZipCrc32.h"
#include "platform/system/RegularFileInputStream.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

namespace
{
// Reads the stream into the block, up to limit bytes; false when the memory cannot be had.
bool readAtMost(juce::InputStream& in, reusedStorage::Bytes& block, size_t limit)
{
    // Room for the size the file has now and one byte more, so that a file that grew shows.
    size_t room = std::min((size_t) std::max<juce::int64>(0, in.getTotalLength()) + 1, limit);
    if (block.allocate(room) == nullptr)
        return false;
    size_t filled = 0;
    for (;;)
    {
        const auto read = in.read(block.data() + filled, (int) std::min<size_t>(room - filled, 1 << 30));
        if (read <= 0)
            break;
        filled += (size_t) read;
        if (filled >= limit)
            break;
        if (filled == room)
        {
            room = std::min(room * 2, limit);
            if (block.grow(room) == nullptr)
                return false;
        }
    }
    block.truncate(filled);
    return true;
}

constexpr juce::uint32 localHeaderSignature = 0x04034b50;
constexpr juce::uint32 centralHeaderSignature = 0x02014b50;
constexpr juce::uint32 endRecordSignature = 0x06054b50;
constexpr size_t endRecordSize = 22;
constexpr size_t centralRecordSize = 46;
constexpr size_t localHeaderSize = 30;
constexpr size_t endRecordSearchWindow = 1024; // room for an archive comment
constexpr juce::uint16 flagEncrypted = 1;
constexpr juce::uint16 methodStored = 0;
constexpr juce::uint16 methodDeflated = 8;

juce::uint16 u16(const juce::uint8* p)
{
    return (juce::uint16)(p[0] | (p[1] << 8));
}

juce::uint32 u32(const juce::uint8* p)
{
    return (juce::uint32) p[0] | ((juce::uint32) p[1] << 8) | ((juce::uint32) p[2] << 16) | ((juce::uint32) p[3] << 24);
}

juce::Time dosTimeToTime(juce::uint16 time, juce::uint16 date)
{
    const int year = 1980 + (date >> 9);
    const int month = juce::jlimit(1, 12, (date >> 5) & 15);
    const int day = juce::jlimit(1, 31, date & 31);
    const int hours = juce::jlimit(0, 23, time >> 11);
    const int minutes = juce::jlimit(0, 59, (time >> 5) & 63);
    const int seconds = juce::jlimit(0, 59, (time & 31) * 2);
    return juce::Time(year, month - 1, day, hours, minutes, seconds, 0, true);
}

juce::String decodeName(const juce::uint8* p, size_t size)
{
    const auto* text = reinterpret_cast<const char*>(p);
    if (juce::CharPointer_UTF8::isValidString(text, (int) size))
        return juce::String::fromUTF8(text, (int) size);
    // Not UTF-8: older tools write names in a single-byte code page; keep the bytes readable. Built in one
    // go: appending a character at a time copies the whole name each time.
    std::wstring name(p, p + size);
    return juce::String(name.c_str());
}

// One raw inflate stream, reset between members.
struct RawInflater
{
    RawInflater() { initialised = inflateInit2(&stream, -15) == Z_OK; }
    ~RawInflater()
    {
        if (initialised)
            inflateEnd(&stream);
    }

    // Inflates exactly expectedSize bytes into out, which has room for one more; more or fewer, or broken
    // data, is a failure.
    bool inflateExactly(const juce::uint8* in, juce::uint32 inSize, juce::uint32 expectedSize, juce::uint8* out)
    {
        if (!initialised || inflateReset(&stream) != Z_OK)
            return false;
        // The spare byte shows a member that inflates to more than its directory record says.
        stream.next_in = const_cast<Bytef*>(in);
        stream.avail_in = inSize;
        stream.next_out = out;
        stream.avail_out = expectedSize + 1;
        const int status = inflate(&stream, Z_FINISH);
        return status == Z_STREAM_END && stream.total_out == expectedSize;
    }

    z_stream stream{};
    bool initialised = false;
};
} // namespace

MemoryBasedZipUncompressor::MemoryBasedZipUncompressor(const juce::File& file)
{
    platform::RegularFileInputStream in(file);
    if (!in.openedOk())
    {
        refused = in.getStatus() == platform::RegularFileInputStream::Status::refused;
        return;
    }
    if (in.getTotalLength() > maximumArchiveSize)
    {
        damaged = true;
        return;
    }

    // The size may have changed since it was asked: read at most one byte beyond the limit.
    if (!readAtMost(in, archive, maximumArchiveSize + 1))
        return;
    if ((juce::int64) archive.size() > maximumArchiveSize)
    {
        archive.release();
        damaged = true;
        return;
    }
    readDirectory();
}

MemoryBasedZipUncompressor::MemoryBasedZipUncompressor(const juce::MemoryBlock& archiveBytes)
{
    if ((juce::int64) archiveBytes.getSize() > maximumArchiveSize)
    {
        damaged = true;
        return;
    }
    if (archive.allocate(archiveBytes.getSize()) == nullptr)
        return;
    std::memcpy(archive.data(), archiveBytes.getData(), archiveBytes.getSize());
    readDirectory();
}

void MemoryBasedZipUncompressor::readDirectory()
{
    const auto* bytes = archive.data();
    const size_t length = archive.size();
    if (length < endRecordSize)
        return;

    // The end record is near the end, behind at most a short comment. Prefer the one whose comment
    // reaches exactly to the end of the file, since a comment may itself hold the signature bytes.
    const size_t lowest =
        length > endRecordSearchWindow + endRecordSize ? length - endRecordSearchWindow - endRecordSize : 0;
    size_t found = length;
    for (size_t pos = length - endRecordSize + 1; pos-- > lowest;)
    {
        if (u32(bytes + pos) != endRecordSignature)
            continue;
        if (pos + endRecordSize + u16(bytes + pos + 20) == length)
        {
            found = pos;
            break;
        }
        if (found == length)
            found = pos;
    }
    if (found == length)
        return;

    const size_t count = u16(bytes + found + 10);
    const size_t directoryOffset = u32(bytes + found + 16);
    if (directoryOffset >= found)
    {
        damaged = count > 0 || directoryOffset != found;
        return;
    }

    // The directory runs from its offset up to the end record.
    const auto* directory = bytes + directoryOffset;
    const size_t directorySize = found - directoryOffset;
    size_t at = 0;
    juce::uint32 lastDosStamp = 0;
    juce::Time lastTime;
    entries.reserve(count);
    while (entries.size() < count)
    {
        if (directorySize - at < centralRecordSize || u32(directory + at) != centralHeaderSignature)
            break;
        const auto* record = directory + at;
        const size_t nameLength = u16(record + 28);
        if (centralRecordSize + nameLength > directorySize - at)
            break;

        Entry entry;
        entry.flags = u16(record + 8);
        entry.method = u16(record + 10);
        entry.compressed = entry.method != methodStored;
        // Converting local time reads the time zone each time; members usually share one stamp.
        const auto dosStamp = (juce::uint32) u16(record + 12) | ((juce::uint32) u16(record + 14) << 16);
        if (entries.empty() || dosStamp != lastDosStamp)
            lastTime = dosTimeToTime(u16(record + 12), u16(record + 14));
        lastDosStamp = dosStamp;
        entry.modificationTime = lastTime;
        entry.crc32 = u32(record + 16);
        entry.compressedSize = u32(record + 20);
        entry.uncompressedSize = u32(record + 24);
        entry.localHeaderOffset = u32(record + 42);
        entry.name = decodeName(record + centralRecordSize, nameLength);
        entries.push_back(std::move(entry));

        at += centralRecordSize + nameLength + u16(record + 30) + u16(record + 32);
        if (at > directorySize)
            break; // the last record's extra field or comment runs past the directory
    }
    // A directory that holds fewer records than its end record counts is damaged.
    if (entries.size() < count || at > directorySize)
        damaged = true;
}

int MemoryBasedZipUncompressor::findEntryIndex(const juce::String& name) const
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].name == name)
            return (int) i;
    return -1;
}

namespace
{
// Below this much inflated data a second thread costs more than it saves.
constexpr size_t inflatedBytesPerThread = 128 * 1024;

bool isFolder(const MemoryBasedZipUncompressor::Entry& entry) { return entry.name.endsWithChar('/'); }

// Inflates one member into out, which has room for its size and one byte more.
juce::Result extractMember(const reusedStorage::Bytes& archive, const MemoryBasedZipUncompressor::Entry& entry,
                           juce::uint8* out, RawInflater& inflater)
{
    const auto* bytes = archive.data();
    const juce::uint64 length = archive.size();
    const juce::uint64 headerAt = entry.localHeaderOffset;

    if (headerAt + localHeaderSize > length || u32(bytes + headerAt) != localHeaderSignature)
        return juce::Result::fail("Bad local header: " + entry.name);
    // The local header's own name and extra lengths count here; they may differ from the directory's.
    const juce::uint64 dataAt = headerAt + localHeaderSize + u16(bytes + headerAt + 26) + u16(bytes + headerAt + 28);
    if (dataAt + entry.compressedSize > length)
        return juce::Result::fail("Member runs past the archive: " + entry.name);
    if ((entry.flags & flagEncrypted) != 0)
        return juce::Result::fail("Encrypted member: " + entry.name);

    if (entry.method == methodStored)
    {
        if (entry.compressedSize != entry.uncompressedSize)
            return juce::Result::fail("Stored member size mismatch: " + entry.name);
        std::memcpy(out, bytes + dataAt, entry.compressedSize);
    }
    else if (entry.method == methodDeflated)
    {
        if (!inflater.inflateExactly(bytes + dataAt, entry.compressedSize, entry.uncompressedSize, out))
            return juce::Result::fail("Member does not inflate to its size: " + entry.name);
    }
    else
    {
        return juce::Result::fail("Unsupported compression method: " + entry.name);
    }

    if (zipCrc32Of(out, entry.uncompressedSize) != entry.crc32)
        return juce::Result::fail("CRC mismatch: " + entry.name);
    return juce::Result::ok();
}
} // namespace

void MemoryBasedZipUncompressor::dropMembers()
{
    members.clear();
    memberSlots.clear();
    memberStore.release();
}

size_t MemoryBasedZipUncompressor::slotOf(std::string_view name) const
{
    // FNV-1a; the table is a power of two in size and never more than half full.
    juce::uint64 hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ (juce::uint8) c) * 1099511628211ull;
    const size_t mask = memberSlots.size() - 1;
    for (size_t slot = (size_t) hash & mask;; slot = (slot + 1) & mask)
    {
        const auto taken = memberSlots[slot];
        if (taken == 0 || members[taken - 1].first == name)
            return slot;
    }
}

juce::Result MemoryBasedZipUncompressor::inflateAllEntries()
{
    dropMembers();
    if (damaged)
        return juce::Result::fail("Failed to open the zip file for reading");

    juce::int64 total = 0;
    for (const auto& entry : entries)
        if (!isFolder(entry))
            total += entry.uncompressedSize;
    if (total > maximumUncompressedSize)
        return juce::Result::fail("The zip file's members are too large");

    // One block for all. Each member is followed by a spare byte of its own that shows a member inflating
    // too far; members inflated side by side never write into each other's places.
    std::vector<size_t> positions(entries.size());
    size_t at = 0;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        positions[i] = at;
        if (!isFolder(entries[i]))
            at += entries[i].uncompressedSize + 1;
    }
    if (memberStore.allocate(at + 1) == nullptr)
        return juce::Result::fail("The zip file's members are too large");

    // The members inflate on a few threads at once when there is enough to share; each member's place is
    // its own. The first damaged member in the archive's order gives the error, as it would on one thread.
    std::atomic<size_t> next{0};
    std::atomic<size_t> firstFailure{entries.size()};
    const int workers = workerThreads::countFor((size_t) total, inflatedBytesPerThread);
    std::vector<RawInflater> inflaters((size_t) workers);
    workerThreads::run(workers,
                       [&](int worker)
                       {
                           auto& inflater = inflaters[(size_t) worker];
                           for (size_t i = next++; i < entries.size(); i = next++)
                           {
                               if (isFolder(entries[i]) || i > firstFailure)
                                   continue;
                               if (extractMember(archive, entries[i], memberStore.data() + positions[i], inflater)
                                       .failed())
                                   for (auto failed = firstFailure.load();
                                        i < failed && !firstFailure.compare_exchange_weak(failed, i);)
                                   {
                                   }
                           }
                       });
    if (const size_t failed = firstFailure; failed < entries.size())
    {
        const auto result =
            extractMember(archive, entries[failed], memberStore.data() + positions[failed], inflaters.front());
        dropMembers();
        return result;
    }

    members.reserve(entries.size());
    size_t slots = 16;
    while (slots < entries.size() * 2)
        slots *= 2;
    memberSlots.assign(slots, 0);
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const auto& entry = entries[i];
        if (isFolder(entry))
            continue;
        // A later member of a name already seen is checked like every other, but never found.
        const std::string_view name(entry.name.toRawUTF8(), entry.name.getNumBytesAsUTF8());
        const auto slot = slotOf(name);
        if (memberSlots[slot] == 0)
        {
            members.push_back({name, MemberBytes{memberStore.data() + positions[i], entry.uncompressedSize}});
            memberSlots[slot] = (juce::uint32) members.size();
        }
    }
    return juce::Result::ok();
}

const MemoryBasedZipUncompressor::MemberBytes* MemoryBasedZipUncompressor::findMember(std::string_view name) const
{
    if (memberSlots.empty())
        return nullptr;
    const auto taken = memberSlots[slotOf(name)];
    return taken != 0 ? &members[taken - 1].second : nullptr;
}

juce::Result MemoryBasedZipUncompressor::uncompressAllEntries()
{
    uncompressedData.clear();
    const auto result = inflateAllEntries();
    if (result.failed())
        return result;
    for (const auto& [name, bytes] : members)
        uncompressedData.emplace(juce::String::fromUTF8(name.data(), (int) name.size()),
                                 juce::MemoryBlock(bytes.data, bytes.size));
    return juce::Result::ok();
}
