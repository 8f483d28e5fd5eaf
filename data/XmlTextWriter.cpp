#include "data/XmlTextWriter.h"

#include <array>
#include <cstring>

namespace data
{
namespace
{
constexpr std::string_view newLine = "\r\n";
// An attribute that starts after this many characters of a tag's line goes on a line of its own.
constexpr size_t attributeWrapLength = 60;

// The characters written as they are; everything else is a reference.
constexpr std::array<bool, 256> makePlainCharacters()
{
    std::array<bool, 256> plain{};
    for (int c = 'a'; c <= 'z'; ++c)
        plain[(size_t) c] = true;
    for (int c = 'A'; c <= 'Z'; ++c)
        plain[(size_t) c] = true;
    for (int c = '0'; c <= '9'; ++c)
        plain[(size_t) c] = true;
    for (const char c : std::string_view(" .,;:-()_+=?!$#@[]/|*%~{}'\\"))
        plain[(size_t) c] = true;
    return plain;
}

constexpr auto plainCharacters = makePlainCharacters();

// The toolkit's own test for a text its parser drops.
bool onlyWhitespace(const char* utf8)
{
    for (juce::CharPointer_UTF8 t(utf8); !t.isEmpty(); ++t)
        if (!t.isWhitespace())
            return false;
    return true;
}
} // namespace

void appendEscapedXml(std::string& out, const char* utf8, bool inAttribute)
{
    const char* at = utf8;
    for (;;)
    {
        const char* run = at;
        while (plainCharacters[(juce::uint8) *at])
            ++at;
        out.append(run, (size_t) (at - run));
        if (*at == 0)
            return;

        juce::CharPointer_UTF8 t(at);
        const auto c = t.getAndAdvance();
        at = t.getAddress();
        if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '\n' && !inAttribute)
            out += '\n';
        else
            out.append("&#").append(std::to_string((int) c)).append(";"); // a CR too: the parser reads a bare one as a line feed
    }
}

XmlTextWriter::XmlTextWriter(std::string& target) : out(target)
{
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>").append(newLine).append(newLine);
}

void XmlTextWriter::beginChild(std::string_view name)
{
    size_t indent = 0;
    if (!open_.empty())
    {
        auto& parent = open_.back();
        if (!parent.hasChildren)
            out += '>';
        parent.hasChildren = true;
        out.append(newLine);
        indent = parent.indent + 2;
    }
    out.append(indent, ' ');
    out.append("<").append(name);
    open_.push_back({name, indent, 0, false});
}

void XmlTextWriter::open(std::string_view name) { beginChild(name); }

void XmlTextWriter::attribute(std::string_view name, int value)
{
    auto& element = open_.back();
    if (element.attributeLineLength > attributeWrapLength)
    {
        out.append(newLine);
        out.append(element.indent + element.name.size() + 1, ' ');
        element.attributeLineLength = 0;
    }
    const auto start = out.size();
    out.append(" ").append(name).append("=\"").append(std::to_string(value)).append("\"");
    element.attributeLineLength += out.size() - start;
}

void XmlTextWriter::textElement(std::string_view name, const char* utf8)
{
    beginChild(name);
    out += '>';
    // The parser drops a text of nothing but white space, but keeps a character data section.
    if (*utf8 != 0 && onlyWhitespace(utf8))
        out.append("<![CDATA[").append(utf8).append("]]>");
    else
        appendEscapedXml(out, utf8, false);
    out.append("</").append(name).append(">");
    open_.pop_back();
}

void XmlTextWriter::close()
{
    const auto element = open_.back();
    open_.pop_back();
    if (!element.hasChildren)
    {
        out += "/>";
    }
    else
    {
        out.append(newLine);
        out.append(element.indent, ' ');
        out.append("</").append(element.name).append(">");
    }
    if (open_.empty())
        out.append(newLine);
}
} // namespace data
