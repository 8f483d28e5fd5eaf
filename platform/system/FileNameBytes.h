#pragma once

#include <juce_core/juce_core.h>

#include <cstring>
#include <string>
#include <vector>

// File names on Linux are bytes and need not be UTF-8. A name that is not valid UTF-8 keeps each stray
// byte as one character U+DC80 to U+DCFF (the convention of other toolkits), so that it turns back into
// the very same bytes when the file is opened, replaced or looked at.
// (Header only: the toolkit's drop handling uses it too.)
namespace platform
{
namespace fileNameDetail
{
inline constexpr juce::juce_wchar strayByteBase = 0xDC00;

inline bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at p (no overlong forms, surrogates or values beyond
// U+10FFFF), or 0.
inline size_t sequenceLength(const unsigned char* p, size_t left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF)
        length = 2;
    else if (c >= 0xE0 && c <= 0xEF)
    {
        length = 3;
        if (c == 0xE0)
            low = 0xA0;
        else if (c == 0xED)
            high = 0x9F;
    }
    else if (c >= 0xF0 && c <= 0xF4)
    {
        length = 4;
        if (c == 0xF0)
            low = 0x90;
        else if (c == 0xF4)
            high = 0x8F;
    }
    if (length == 0 || left < length || p[1] < low || p[1] > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (!isContinuation(p[i]))
            return 0;
    return length;
}

inline juce::juce_wchar decode(const unsigned char* p, size_t length)
{
    if (length == 1)
        return p[0];
    juce::juce_wchar value = p[0] & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        value = (value << 6) | (p[i] & 0x3F);
    return value;
}
} // namespace fileNameDetail

// The name of a file as its bytes give it.
inline juce::String fileNameFromBytes(const char* text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const size_t size = std::strlen(text);
    std::vector<juce::juce_wchar> characters;
    characters.reserve(size + 1);
    bool stray = false;
    for (size_t at = 0; at < size;)
    {
        if (const auto length = fileNameDetail::sequenceLength(bytes + at, size - at); length > 0)
        {
            characters.push_back(fileNameDetail::decode(bytes + at, length));
            at += length;
        }
        else
        {
            characters.push_back(fileNameDetail::strayByteBase + bytes[at++]);
            stray = true;
        }
    }
    if (!stray)
        return juce::String::fromUTF8(text, (int) size);
    characters.push_back(0);
    return juce::String(juce::CharPointer_UTF32(characters.data()));
}

// The bytes the name stands for; a name without stray-byte characters gives its UTF-8.
inline std::string fileNameBytes(const juce::String& name)
{
    std::string bytes;
    bytes.reserve(name.getNumBytesAsUTF8());
    for (auto p = name.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        if (c >= fileNameDetail::strayByteBase + 0x80 && c <= fileNameDetail::strayByteBase + 0xFF)
        {
            bytes += (char) (c - fileNameDetail::strayByteBase);
            continue;
        }
        char utf8[4];
        const auto length = juce::CharPointer_UTF8::getBytesRequiredFor(c);
        juce::CharPointer_UTF8(utf8).write(c);
        bytes.append(utf8, length);
    }
    return bytes;
}

inline std::string fileNameBytes(const juce::File& file) { return fileNameBytes(file.getFullPathName()); }

// The name as it is shown: each stray byte as the replacement character, which every font draws.
inline juce::String displayedFileName(const juce::String& name)
{
    juce::String shown;
    shown.preallocateBytes(name.getNumBytesAsUTF8());
    for (auto p = name.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        const bool stray = c >= fileNameDetail::strayByteBase + 0x80 && c <= fileNameDetail::strayByteBase + 0xFF;
        shown += stray ? (juce::juce_wchar) 0xFFFD : c;
    }
    return shown;
}

// The bytes a file URI's path stands for: each "%" and two hexadecimal digits is that byte, everything else
// itself ("+" included).
inline std::string percentDecodedBytes(const juce::String& text)
{
    const auto* p = text.toRawUTF8();
    std::string bytes;
    for (; *p != 0; ++p)
    {
        const int high = p[0] == '%' ? juce::CharacterFunctions::getHexDigitValue((juce::juce_wchar) p[1]) : -1;
        const int low = high >= 0 ? juce::CharacterFunctions::getHexDigitValue((juce::juce_wchar) p[2]) : -1;
        if (low < 0)
        {
            bytes += *p;
            continue;
        }
        bytes += (char) (high * 16 + low);
        p += 2;
    }
    return bytes;
}
} // namespace platform
