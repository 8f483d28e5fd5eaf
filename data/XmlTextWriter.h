#pragma once

#include <juce_core/juce_core.h>

#include <string>
#include <string_view>
#include <vector>

namespace data
{
// Writes a document straight from the values, in exactly the text form toDocumentText gives for the
// same element tree: a library file holds a thousand small documents, and building each tree first
// costs more than writing its text. Elements hold either child elements or one text, never both.
class XmlTextWriter
{
public:
    // Appends to target, starting with the declaration and the empty line.
    explicit XmlTextWriter(std::string& target);

    // Opens an element; its attributes follow before anything else.
    void open(std::string_view name);
    void attribute(std::string_view name, int value);
    // A child element holding only this text (an empty text still gives an open and a close tag).
    void textElement(std::string_view name, const char* utf8);
    void textElement(std::string_view name, const juce::String& text) { textElement(name, text.toRawUTF8()); }
    // Closes the innermost open element; closing the root ends the document.
    void close();

private:
    struct Open
    {
        std::string_view name;
        size_t indent;
        size_t attributeLineLength;
        bool hasChildren;
    };

    // A new child of the innermost element begins on its own line.
    void beginChild(std::string_view name);

    std::string& out;
    std::vector<Open> open_;
};

// Appends the text as the documents' writer escapes it (in an attribute value, a line feed too).
void appendEscapedXml(std::string& out, const char* utf8, bool inAttribute);
} // namespace data
