#include "files/MemoryBasedZipBuilder.h"
#include "files/WorkerThreads.h"
#include "files/ZipCrc32.h"

#include <zlib.h>

#include <atomic>
#include <cstring>
#include <limits>

namespace
{
constexpr juce::uint32 localHeaderSignature = 0x04034b50;
constexpr juce::uint32 centralHeaderSignature = 0x02014b50;
constexpr juce::uint32 endRecordSignature = 0x06054b50;
constexpr juce::uint16 versionNeeded = 10;
constexpr juce::uint16 versionMadeBy = 20;
constexpr juce::uint16 methodStored = 0;
constexpr juce::uint16 methodDeflated = 8;

// Little-endian header bytes, gathered and written in one go; one buffer serves every header.
class HeaderBytes
{
public:
    void clear() { bytes.clear(); }

    void u16(juce::uint32 v)
    {
        bytes.push_back((char) (v & 0xff));
        bytes.push_back((char) ((v >> 8) & 0xff));
    }

    void u32(juce::uint32 v)
    {
        u16(v & 0xffff);
        u16(v >> 16);
    }

    void raw(const void* data, size_t size)
    {
        bytes.insert(bytes.end(), static_cast<const char*>(data), static_cast<const char*>(data) + size);
    }

    void writeTo(juce::OutputStream& out) const { out.write(bytes.data(), bytes.size()); }

private:
    std::vector<char> bytes;
};

// Below this much data to deflate a second thread costs more than it saves.
constexpr size_t deflatedBytesPerThread = 32 * 1024;

// One raw deflate stream (no zlib header or trailer), reset between members.
class RawDeflater
{
public:
    RawDeflater() = default;
    ~RawDeflater()
    {
        if (initialised)
            deflateEnd(&stream);
    }

    // Room enough for the deflated bytes of size bytes at any level.
    static size_t bound(size_t size) { return deflateBound(nullptr, (uLong) size) + 16; }

    // Makes the stream for this level, unless it has one already; false when zlib cannot.
    bool prepare(int level)
    {
        if (initialised && level == currentLevel)
            return true;
        if (initialised)
            deflateEnd(&stream);
        stream = {};
        initialised = deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        currentLevel = level;
        return initialised;
    }

    // Deflates into out, which only grows, and sets outSize.
    bool compress(const juce::MemoryBlock& in, int level, juce::MemoryBlock& out, size_t& outSize)
    {
        if (initialised && level == currentLevel)
        {
            if (deflateReset(&stream) != Z_OK)
                return false;
        }
        else if (!prepare(level))
        {
            return false;
        }

        if (in.getSize() > std::numeric_limits<uInt>::max() / 2)
            return false;

        const auto bound = deflateBound(&stream, (uLong) in.getSize()) + 16;
        out.ensureSize(bound, false);
        stream.next_in = static_cast<Bytef*>(const_cast<void*>(in.getData()));
        stream.avail_in = (uInt) in.getSize();
        stream.next_out = static_cast<Bytef*>(out.getData());
        stream.avail_out = (uInt) bound;
        if (deflate(&stream, Z_FINISH) != Z_STREAM_END)
            return false;
        outSize = stream.total_out;
        return true;
    }

private:
    z_stream stream{};
    bool initialised = false;
    int currentLevel = 0;
};
} // namespace

void MemoryBasedZipBuilder::addEntry(const juce::String& name, const juce::MemoryBlock& data,
                                     const juce::String& storedName)
{
    addEntry(storedName.isNotEmpty() ? storedName : name, data.getData(), data.getSize());
    entries.back().name = name;
}

void MemoryBasedZipBuilder::addEntry(const juce::String& name, const void* data, size_t size)
{
    auto& entry = entries.emplace_back();
    entry.name = name;
    entry.data.replaceAll(data, size);
    entry.storedName = name;
}

size_t MemoryBasedZipBuilder::getMaximumArchiveSize() const
{
    size_t size = 22;
    for (const auto& e : entries)
    {
        // Deflate adds at most 5 bytes per 16 KiB block and a few bytes at the end; headers take 76 + 2 names.
        const auto n = e.data.getSize();
        size += n + n / 16384 * 5 + 64 + 76 + 2 * (size_t) e.storedName.getNumBytesAsUTF8();
    }
    return size;
}

bool MemoryBasedZipBuilder::writeToStream(juce::OutputStream& target)
{
    constexpr juce::int64 limit32 = std::numeric_limits<juce::uint32>::max();
    if (entries.size() > 0xffff)
        return false;

    const auto start = target.getPosition();

    auto writeCommonFields = [](HeaderBytes& h, const DataEntry& e, size_t nameSize)
    {
        h.u16(versionNeeded);
        h.u16(0); // no flags: names go out as their UTF-8 bytes without the UTF-8 flag
        h.u16(e.compressionLevel > 0 ? methodDeflated : methodStored);
        h.u16(fixedDosTime);
        h.u16(fixedDosDate);
        h.u32(e.crc32);
        h.u32(e.compressedSize);
        h.u32((juce::uint32) e.data.getSize());
        h.u16((juce::uint32) nameSize);
        h.u16(0);
    };

    for (auto& e : entries)
        if (e.storedName.getNumBytesAsUTF8() > 0xffff || (juce::int64) e.data.getSize() > limit32)
            return false;

    // Every member's checksum and deflated bytes first, on a few threads at once when there is enough to
    // share; each member comes out the same on any thread.
    std::vector<juce::MemoryBlock> bodies(entries.size());
    std::vector<size_t> bodySizes(entries.size());
    size_t toDeflate = 0;
    for (const auto& e : entries)
        toDeflate += e.compressionLevel > 0 ? e.data.getSize() : 0;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    const int workers = workerThreads::countFor(toDeflate, deflatedBytesPerThread);
    // The streams and output blocks are made here: a worker's own allocations would each set up a heap.
    std::vector<RawDeflater> deflaters((size_t) workers);
    int firstLevel = 0;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (entries[i].compressionLevel <= 0)
            continue;
        if (firstLevel == 0)
            firstLevel = juce::jlimit(1, 9, entries[i].compressionLevel);
        bodies[i].ensureSize(RawDeflater::bound(entries[i].data.getSize()), false);
    }
    if (firstLevel > 0)
        for (auto& deflater : deflaters)
            if (!deflater.prepare(firstLevel))
                return false;
    workerThreads::run(workers,
                       [&](int worker)
                       {
                           auto& deflater = deflaters[(size_t) worker];
                           for (size_t i = next++; i < entries.size() && !failed; i = next++)
                           {
                               auto& e = entries[i];
                               e.crc32 = zipCrc32Of(e.data);
                               bodySizes[i] = e.data.getSize();
                               if (e.compressionLevel > 0
                                   && !deflater.compress(e.data, juce::jlimit(1, 9, e.compressionLevel), bodies[i],
                                                         bodySizes[i]))
                                   failed = true;
                           }
                       });
    if (failed)
        return false;

    HeaderBytes h;
    for (size_t i = 0; i < entries.size(); ++i)
    {
        auto& e = entries[i];
        const void* body = e.compressionLevel > 0 ? bodies[i].getData() : e.data.getData();
        const size_t bodySize = bodySizes[i];

        const auto offset = target.getPosition() - start;
        if ((juce::int64) bodySize > limit32 || offset > limit32)
            return false;
        e.compressedSize = (juce::uint32) bodySize;
        e.localHeaderOffset = (juce::uint32) offset;

        const auto nameSize = e.storedName.getNumBytesAsUTF8();
        h.clear();
        h.u32(localHeaderSignature);
        writeCommonFields(h, e, nameSize);
        h.raw(e.storedName.toRawUTF8(), nameSize);
        h.writeTo(target);
        target.write(body, bodySize);
    }

    const auto directoryStart = target.getPosition();
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const auto& e = entries[i];
        const auto nameSize = e.storedName.getNumBytesAsUTF8();
        h.clear();
        h.u32(centralHeaderSignature);
        h.u16(versionMadeBy);
        writeCommonFields(h, e, nameSize);
        h.u16(0); // comment length
        h.u16(0); // disk number start
        h.u16(0); // internal attributes
        h.u32(0); // external attributes
        h.u32(e.localHeaderOffset);
        h.raw(e.storedName.toRawUTF8(), nameSize);
        h.writeTo(target);
    }
    const auto directoryEnd = target.getPosition();
    if (directoryEnd - start > limit32)
        return false;

    HeaderBytes end;
    end.u32(endRecordSignature);
    end.u16(0);
    end.u16(0);
    end.u16((juce::uint32) entries.size() & 0xffff);
    end.u16((juce::uint32) entries.size() & 0xffff);
    end.u32((juce::uint32)(directoryEnd - directoryStart));
    end.u32((juce::uint32)(directoryStart - start));
    end.u16(0);
    end.writeTo(target);
    return true;
}
