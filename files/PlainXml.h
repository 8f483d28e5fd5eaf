#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace x47390_file
{
// The XML the program's own writers give: a declaration, elements with plain attributes and texts, no
// comments, references, sections or instructions. Such a document reads here as a light tree, many
// times faster than through the general parser; any other form is refused (null) and goes through the
// general parser, which reads it to the same result. The tree points into the bytes, which must outlive it.
struct PlainXmlNode
{
    std::string_view name; // empty for a text
    std::string_view text; // a text's characters
    const PlainXmlNode* firstChild = nullptr;
    const PlainXmlNode* nextSibling = nullptr;

    // The first child element of that name, letter case ignored, or null.
    const PlainXmlNode* firstChildNamed(std::string_view childName) const;
    bool nameIs(std::string_view otherName) const;
    // The texts of the whole subtree in document order.
    juce::String getAllSubText() const;

    template <class Fn>
    void forEachChildElement(Fn&& fn) const
    {
        for (const auto* child = firstChild; child != nullptr; child = child->nextSibling)
            if (!child->name.empty())
                fn(*child);
    }
};

// Holds the nodes of one document at a time; parsing again reuses their storage, so reading hundreds of
// small documents in turn allocates nothing after the first.
class PlainXmlDocument
{
public:
    // The root element, or null when the bytes are not in the plain form. Earlier trees become invalid.
    const PlainXmlNode* parse(const void* data, size_t size);

private:
    struct Links
    {
        std::uint32_t firstChild = 0; // 0: none (the root is nobody's child)
        std::uint32_t nextSibling = 0;
    };

    std::vector<PlainXmlNode> nodes;
    std::vector<Links> links;

    friend class PlainXmlParser;
};
} // namespace x47390_file
