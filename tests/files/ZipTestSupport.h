#pragma once

#include <juce_core/juce_core.h>

#include <cstring>

namespace ziptest
{
inline juce::uint16 u16At(const juce::MemoryBlock& b, size_t at)
{
    const auto* p = static_cast<const juce::uint8*>(b.getData()) + at;
    return (juce::uint16)(p[0] | (p[1] << 8));
}

inline juce::uint32 u32At(const juce::MemoryBlock& b, size_t at)
{
    return (juce::uint32) u16At(b, at) | ((juce::uint32) u16At(b, at + 2) << 16);
}

inline void putU16(juce::MemoryBlock& b, size_t at, juce::uint32 v)
{
    b[at] = (char) (v & 0xff);
    b[at + 1] = (char) ((v >> 8) & 0xff);
}

inline void putU32(juce::MemoryBlock& b, size_t at, juce::uint32 v)
{
    putU16(b, at, v & 0xffff);
    putU16(b, at + 2, v >> 16);
}

inline juce::MemoryBlock bytesOf(const juce::String& text)
{
    return juce::MemoryBlock(text.toRawUTF8(), std::strlen(text.toRawUTF8()));
}

// Offsets inside an archive, found through its end record.
struct Layout
{
    size_t endRecord = 0;
    size_t directory = 0;
    int count = 0;
};

inline Layout layoutOf(const juce::MemoryBlock& zip)
{
    Layout l;
    for (size_t pos = zip.getSize() - 22 + 1; pos-- > 0;)
        if (u32At(zip, pos) == 0x06054b50)
        {
            l.endRecord = pos;
            break;
        }
    l.count = u16At(zip, l.endRecord + 10);
    l.directory = u32At(zip, l.endRecord + 16);
    return l;
}

// Offset of the central record of member i (0-based).
inline size_t centralRecordOf(const juce::MemoryBlock& zip, int index)
{
    size_t at = layoutOf(zip).directory;
    for (int i = 0; i < index; ++i)
        at += 46 + u16At(zip, at + 28) + u16At(zip, at + 30) + u16At(zip, at + 32);
    return at;
}

// Runs a shell command; returns its exit code, or -1 when it could not start.
inline int runShell(const juce::String& command, juce::String* output = nullptr)
{
    juce::ChildProcess process;
    if (!process.start(juce::StringArray{"sh", "-c", command + " 2>&1"}))
        return -1;
    const auto text = process.readAllProcessOutput();
    if (output != nullptr)
        *output = text;
    process.waitForProcessToFinish(60000);
    return (int) process.getExitCode();
}

inline bool haveTool(const juce::String& name)
{
    return runShell("command -v " + name + " >/dev/null") == 0;
}
} // namespace ziptest
