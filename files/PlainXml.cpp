#include "files/PlainXml.h"

#include "data/XmlText.h"

#include <cstring>

namespace x47390_file
{
namespace
{
constexpr std::string_view declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
constexpr int maximumDepth = 32;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

bool isNameChar(char c) { return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? (char) (c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

class Parser
{
public:
    Parser(const char* begin, const char* end) : at(begin), stop(end) {}

    bool document(PlainXmlNode& root)
    {
        if ((size_t) (stop - at) < declaration.size() || std::string_view(at, declaration.size()) != declaration)
            return false;
        at += declaration.size();
        skipSpace();
        if (!element(root, 0))
            return false;
        skipSpace();
        return at == stop;
    }

private:
    void skipSpace()
    {
        while (at < stop && isSpace(*at))
            ++at;
    }

    bool name(std::string_view& result)
    {
        const char* start = at;
        if (at == stop || !isNameStart(*at))
            return false;
        while (at < stop && isNameChar(*at))
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
            {
                const auto c = (unsigned char) *at;
                if (c < 0x20 || c == '&' || c == '<' || c == '>')
                    return false;
                ++at;
            }
            if (at == stop)
                return false;
            ++at;
        }
    }

    // A text that every parser reads alike: no markup characters or references, no control characters;
    // one that is only white space is dropped, as the general parser drops it.
    bool text(PlainXmlNode& parent)
    {
        const char* start = at;
        bool onlySpace = true;
        while (at < stop && *at != '<')
        {
            const auto c = (unsigned char) *at;
            if (c == '&' || c == '>' || (c < 0x20 && !isSpace((char) c)))
                return false;
            onlySpace = onlySpace && isSpace((char) c);
            ++at;
        }
        if (onlySpace)
            return true;
        const std::string_view content(start, (size_t) (at - start));
        // White space around a text, or line breaks in it, are kept differently by different parsers.
        if (isSpace(content.front()) || isSpace(content.back()) || content.find_first_of("\r\n\t") != std::string_view::npos)
            return false;
        PlainXmlNode node;
        node.text = content;
        parent.children.push_back(node);
        return true;
    }

    bool element(PlainXmlNode& node, int depth)
    {
        if (depth > maximumDepth || at == stop || *at != '<')
            return false;
        ++at;
        if (!name(node.name) || !attributes())
            return false;
        if (*at == '/')
        {
            ++at;
            if (at == stop || *at != '>')
                return false;
            ++at;
            return true;
        }
        ++at; // '>'
        for (;;)
        {
            if (!text(node))
                return false;
            if (stop - at < 2)
                return false;
            if (at[1] == '/')
            {
                at += 2;
                std::string_view closing;
                if (!name(closing) || closing != node.name)
                    return false;
                skipSpace();
                if (at == stop || *at != '>')
                    return false;
                ++at;
                return true;
            }
            if (!isNameStart(at[1]))
                return false; // a comment, section, declaration or instruction
            node.children.emplace_back();
            if (!element(node.children.back(), depth + 1))
                return false;
        }
    }

    const char* at;
    const char* stop;
};

void appendTexts(const PlainXmlNode& node, std::string& result)
{
    if (node.name.empty())
        result.append(node.text);
    for (const auto& child : node.children)
        appendTexts(child, result);
}
} // namespace

const PlainXmlNode* PlainXmlNode::firstChildNamed(std::string_view childName) const
{
    for (const auto& child : children)
        if (!child.name.empty() && equalsIgnoringCase(child.name, childName))
            return &child;
    return nullptr;
}

bool PlainXmlNode::nameIs(std::string_view otherName) const { return equalsIgnoringCase(name, otherName); }

juce::String PlainXmlNode::getAllSubText() const
{
    std::string result;
    appendTexts(*this, result);
    return juce::String::fromUTF8(result.data(), (int) result.size());
}

std::unique_ptr<PlainXmlNode> parsePlainXml(const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    // Like the general parser, the document ends at a NUL byte.
    if (const auto* nul = static_cast<const char*>(std::memchr(bytes, 0, size)))
        size = (size_t) (nul - bytes);
    if (!data::isValidUtf8(bytes, size))
        return nullptr;
    auto root = std::make_unique<PlainXmlNode>();
    if (!Parser(bytes, bytes + size).document(*root))
        return nullptr;
    return root;
}
} // namespace x47390_file
