#pragma once

#include <cstddef>

namespace data
{
// JUCE's XML parser overflows the stack, loops forever or expands without bound on some hostile documents
// (deep nesting, a processing instruction inside an element, a control character in a name, entity
// declarations, a reference that runs past the end of a quoted value). This scanner reads the text the way
// that parser tokenises it and passes only documents it takes safely: plain XML with ASCII names, the
// predefined and numeric character references, comments, CDATA, processing instructions before the root
// element only, no document type declaration, and at most 256 levels of nesting.
class XmlSafetyScanner
{
public:
    static constexpr int maximumDepth = 256;

    static bool isSafe(const char* text, std::size_t size);

private:
    XmlSafetyScanner(const char* text, std::size_t size);

    bool scanDocument();
    bool scanStartTag();
    bool scanQuotedValue();
    bool scanReference();
    bool skipName();
    void skipSpace();
    void skipPast(std::size_t openerLength, const char* terminator);
    bool startsWith(const char* prefix) const;
    char at(std::size_t index) const { return index < size ? text[index] : 0; }

    const char* text;
    std::size_t size;
    std::size_t position = 0;
    int depth = 0;
};
} // namespace data
