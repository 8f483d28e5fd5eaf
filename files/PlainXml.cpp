#include "files/PlainXml.h"

#include "data/XmlText.h"

#include <array>
#include <cstring>

namespace x47390_file
{
namespace
{
constexpr std::string_view declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr int maximumDepth = 32;

// What each byte may be, looked up once per byte.
enum : std::uint8_t
{
    space = 1,          // ' ', '\t', '\r', '\n'
    nameStart = 2,      // letters and '_'
    nameChar = 4,       // name starts, digits, '-', '.'
    badInText = 8,      // '&', '>', control characters but the white space ones
    badInAttribute = 16, // '&', '<', '>', every control character
    breakOrTab = 32      // '\t', '\r', '\n'
};

constexpr std::array<std::uint8_t, 256> makeClasses()
{
    std::array<std::uint8_t, 256> classes{};
    for (int c = 0; c < 0x20; ++c)
        classes[(size_t) c] = badInText | badInAttribute;
    for (const char c : {'\t', '\r', '\n'})
        classes[(size_t) c] = badInAttribute | space | breakOrTab;
    classes[' '] = space;
    for (int c = 'a'; c <= 'z'; ++c)
        classes[(size_t) c] = nameStart | nameChar;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[(size_t) c] = nameStart | nameChar;
    classes['_'] = nameStart | nameChar;
    for (int c = '0'; c <= '9'; ++c)
        classes[(size_t) c] = nameChar;
    classes['-'] = nameChar;
    classes['.'] = nameChar;
    classes['&'] = badInText | badInAttribute;
    classes['>'] = badInText | badInAttribute;
    classes['<'] = badInAttribute;
    return classes;
}

constexpr auto classes = makeClasses();

bool is(char c, std::uint8_t kind) { return (classes[(std::uint8_t) c] & kind) != 0; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? (char) (c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    if (a == b)
        return true; // names are mostly written as they are asked for
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

void appendTexts(const PlainXmlNode& node, std::string& result)
{
    if (node.name.empty())
        result.append(node.text);
    for (const auto* child = node.firstChild; child != nullptr; child = child->nextSibling)
        appendTexts(*child, result);
}
} // namespace

class PlainXmlParser
{
public:
    PlainXmlParser(PlainXmlDocument& target, const char* begin, const char* end)
        : nodes(target.nodes), links(target.links), at(begin), stop(end)
    {
    }

    bool document()
    {
        if ((size_t) (stop - at) < declaration.size() || std::memcmp(at, declaration.data(), declaration.size()) != 0)
            return false;
        at += declaration.size();
        skipSpace();
        nodes.emplace_back();
        links.emplace_back();
        if (!element(0, 0))
            return false;
        skipSpace();
        return at == stop;
    }

private:
    // Hangs a new node under its parent after the last child so far. Nodes are named by their position
    // while the storage may still move.
    std::uint32_t newChild(std::uint32_t parent, std::uint32_t& lastChild)
    {
        const auto child = (std::uint32_t) nodes.size();
        nodes.emplace_back();
        links.emplace_back();
        if (lastChild == 0)
            links[parent].firstChild = child;
        else
            links[lastChild].nextSibling = child;
        lastChild = child;
        return child;
    }

    void skipSpace()
    {
        while (at < stop && is(*at, space))
            ++at;
    }

    bool name(std::string_view& result)
    {
        const char* start = at;
        if (at == stop || !is(*at, nameStart))
            return false;
        ++at;
        while (at < stop && is(*at, nameChar))
            ++at;
        result = std::string_view(start, (size_t) (at - start));
        return true;
    }

    // Attributes are checked but not kept: the readers take nothing from them.
    bool attributes()
    {
        for (;;)
        {
            const char* before = at;
            skipSpace();
            if (at == stop)
                return false;
            if (*at == '>' || *at == '/')
                return true;
            std::string_view attribute;
            if (at == before || !name(attribute) || at == stop || *at != '=')
                return false;
            ++at;
            if (at == stop || *at != '"')
                return false;
            ++at;
            while (at < stop && *at != '"')
                if (is(*at++, badInAttribute))
                    return false;
            if (at == stop)
                return false;
            ++at;
        }
    }

    // A text that every parser reads alike: no markup characters or references, no control characters;
    // one that is only white space is dropped, as the general parser drops it.
    bool text(std::uint32_t parent, std::uint32_t& lastChild)
    {
        const char* start = at;
        std::uint8_t seen = 0;
        std::uint8_t everyByte = space;
        for (; at < stop && *at != '<'; ++at)
        {
            const auto kind = classes[(std::uint8_t) *at];
            seen |= kind;
            everyByte &= kind;
        }
        if ((seen & badInText) != 0)
            return false;
        if (start == at || everyByte == space)
            return true;
        const std::string_view content(start, (size_t) (at - start));
        // White space around a text, or line breaks or tabs in it, are kept differently by different parsers.
        if ((seen & breakOrTab) != 0 || is(content.front(), space) || is(content.back(), space))
            return false;
        nodes[newChild(parent, lastChild)].text = content;
        return true;
    }

    bool element(std::uint32_t index, int depth)
    {
        if (depth > maximumDepth || at == stop || *at != '<')
            return false;
        ++at;
        std::string_view elementName;
        if (!name(elementName) || !attributes())
            return false;
        nodes[index].name = elementName;
        if (*at == '/')
        {
            ++at;
            if (at == stop || *at != '>')
                return false;
            ++at;
            return true;
        }
        ++at; // '>'
        std::uint32_t lastChild = 0;
        for (;;)
        {
            if (!text(index, lastChild))
                return false;
            if (stop - at < 2)
                return false;
            if (at[1] == '/')
            {
                // The closing tag: the same name, then '>' after optional white space.
                at += 2;
                const auto size = elementName.size();
                if ((size_t) (stop - at) <= size || std::memcmp(at, elementName.data(), size) != 0 || is(at[size], nameChar))
                    return false;
                at += size;
                skipSpace();
                if (at == stop || *at != '>')
                    return false;
                ++at;
                return true;
            }
            if (!is(at[1], nameStart))
                return false; // a comment, section, declaration or instruction
            if (!element(newChild(index, lastChild), depth + 1))
                return false;
        }
    }

    std::vector<PlainXmlNode>& nodes;
    std::vector<PlainXmlDocument::Links>& links;
    const char* at;
    const char* stop;
};

const PlainXmlNode* PlainXmlNode::firstChildNamed(std::string_view childName) const
{
    for (const auto* child = firstChild; child != nullptr; child = child->nextSibling)
        if (!child->name.empty() && equalsIgnoringCase(child->name, childName))
            return child;
    return nullptr;
}

bool PlainXmlNode::nameIs(std::string_view otherName) const { return equalsIgnoringCase(name, otherName); }

juce::String PlainXmlNode::getAllSubText() const
{
    // Most elements hold one text or none.
    if (firstChild == nullptr)
        return name.empty() ? juce::String::fromUTF8(text.data(), (int) text.size()) : juce::String();
    if (firstChild->name.empty() && firstChild->firstChild == nullptr && firstChild->nextSibling == nullptr)
        return juce::String::fromUTF8(firstChild->text.data(), (int) firstChild->text.size());
    std::string result;
    appendTexts(*this, result);
    return juce::String::fromUTF8(result.data(), (int) result.size());
}

const PlainXmlNode* PlainXmlDocument::parse(const void* data, size_t size)
{
    nodes.clear();
    links.clear();
    const auto* bytes = static_cast<const char*>(data);
    // Like the general parser, the document ends at a NUL byte.
    if (const auto* nul = static_cast<const char*>(std::memchr(bytes, 0, size)))
        size = (size_t) (nul - bytes);
    if (!data::isValidUtf8(bytes, size))
        return nullptr;
    if (!PlainXmlParser(*this, bytes, bytes + size).document())
    {
        nodes.clear();
        links.clear();
        return nullptr;
    }
    // The tree is linked once its storage stays put.
    auto* base = nodes.data();
    for (size_t i = 0; i < nodes.size(); ++i)
    {
        base[i].firstChild = links[i].firstChild != 0 ? base + links[i].firstChild : nullptr;
        base[i].nextSibling = links[i].nextSibling != 0 ? base + links[i].nextSibling : nullptr;
    }
    return base;
}
} // namespace x47390_file
