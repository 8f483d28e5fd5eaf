#include "data/XmlSafetyScanner.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace data
{
namespace
{
// XML name characters, ASCII only: the parser ends a name at other characters where we could not follow
// it, so names with any other character are refused.
bool isNameStartCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

bool isNameCharacter(char c)
{
    return isNameStartCharacter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int digitValue(char c, bool hexadecimal)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (hexadecimal && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (hexadecimal && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

bool XmlSafetyScanner::isSafe(const char* text, std::size_t size)
{
    // XML allows no control characters but tab, CR and LF; the parser can loop forever on one in a name.
    for (std::size_t i = 0; i < size; ++i)
    {
        const auto c = (unsigned char) text[i];
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    }
    return XmlSafetyScanner(text, size).scanDocument();
}

XmlSafetyScanner::XmlSafetyScanner(const char* textToScan, std::size_t sizeToScan)
    : text(textToScan), size(sizeToScan)
{
}

bool XmlSafetyScanner::scanDocument()
{
    bool rootStarted = false;
    while (position < size)
    {
        const auto c = text[position];
        if (c == '&')
        {
            if (!scanReference())
                return false;
        }
        else if (c != '<')
            ++position;
        else if (startsWith("<!--"))
            skipPast(4, "-->");
        else if (startsWith("<![CDATA["))
            skipPast(9, "]]>");
        else if (startsWith("<!"))
            return false; // a document type declaration: the parser expands its entities recursively
        else if (startsWith("<?"))
        {
            // Inside an element the parser skips it, then steps back to read text and loops forever.
            if (rootStarted)
                return false;
            skipPast(2, "?>");
        }
        else if (startsWith("</"))
        {
            depth = depth > 0 ? depth - 1 : 0;
            skipPast(2, ">");
        }
        else
        {
            rootStarted = true;
            if (!scanStartTag())
                return false;
        }
    }
    return true;
}

bool XmlSafetyScanner::scanStartTag()
{
    ++position;
    skipSpace();
    if (!skipName())
        return false;
    for (;;)
    {
        skipSpace();
        if (startsWith("/>"))
        {
            position += 2;
            return true;
        }
        if (at(position) == '>')
        {
            // The parser recurses once per open element.
            ++position;
            return ++depth <= maximumDepth;
        }
        if (!skipName())
            return false;
        skipSpace();
        if (at(position) != '=')
            return false;
        ++position;
        skipSpace();
        if (!scanQuotedValue())
            return false;
    }
}

bool XmlSafetyScanner::scanQuotedValue()
{
    const auto quote = at(position);
    if (quote != '"' && quote != '\'')
        return false;
    ++position;
    while (position < size)
    {
        const auto c = text[position];
        if (c == quote)
        {
            ++position;
            return true;
        }
        // The parser reads an unknown reference up to the next ';' wherever it is, past the closing quote.
        if (c == '&')
        {
            if (!scanReference())
                return false;
        }
        else
            ++position;
    }
    return false;
}

bool XmlSafetyScanner::scanReference()
{
    ++position;
    for (const auto* name : {"amp;", "lt;", "gt;", "quot;", "apos;"})
    {
        if (startsWith(name))
        {
            position += std::strlen(name);
            return true;
        }
    }
    if (at(position) != '#')
        return false;
    ++position;
    const bool hexadecimal = at(position) == 'x' || at(position) == 'X';
    if (hexadecimal)
        ++position;

    // The parser takes at most 8 hexadecimal or 12 decimal digits; past them it skips a character.
    std::uint32_t value = 0;
    int digits = 0;
    for (int digit; (digit = digitValue(at(position), hexadecimal)) >= 0; ++position)
    {
        if (++digits > (hexadecimal ? 8 : 12))
            return false;
        value = value * (hexadecimal ? 16u : 10u) + (std::uint32_t) digit;
        if (value > 0x10FFFF)
            return false;
    }
    if (digits == 0 || value == 0 || at(position) != ';')
        return false;
    ++position;
    return true;
}

bool XmlSafetyScanner::skipName()
{
    if (!isNameStartCharacter(at(position)))
        return false;
    while (isNameCharacter(at(position)))
        ++position;
    return true;
}

void XmlSafetyScanner::skipSpace()
{
    while (isSpace(at(position)))
        ++position;
}

void XmlSafetyScanner::skipPast(std::size_t openerLength, const char* terminator)
{
    position += openerLength;
    const auto length = std::strlen(terminator);
    for (; position + length <= size; ++position)
    {
        if (std::memcmp(text + position, terminator, length) == 0)
        {
            position += length;
            return;
        }
    }
    position = size;
}

bool XmlSafetyScanner::startsWith(const char* prefix) const
{
    const auto length = std::strlen(prefix);
    return size - position >= length && std::memcmp(text + position, prefix, length) == 0;
}
} // namespace data
