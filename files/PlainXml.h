#pragma once

#include <juce_core/juce_core.h>

#include <memory>
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
    std::vector<PlainXmlNode> children;

    // The first child element of that name, letter case ignored, or null.
    const PlainXmlNode* firstChildNamed(std::string_view childName) const;
    bool nameIs(std::string_view otherName) const;
    // The texts of the whole subtree in document order.
    juce::String getAllSubText() const;
};

std::unique_ptr<PlainXmlNode> parsePlainXml(const void* data, size_t size);
} // namespace x47390_file
