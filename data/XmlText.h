#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <string>

namespace data
{
// Element names of the documents we read are matched without regard to letter case.
bool tagNameIs(const juce::XmlElement& element, juce::StringRef name);

// The first child element of that name (letter case ignored), or null.
const juce::XmlElement* firstChildNamed(const juce::XmlElement& parent, juce::StringRef name);

// A document in JUCE's default text form: declaration, empty line, two-space indent, CR LF line ends.
juce::String toDocumentText(const juce::XmlElement& element);

// A new element whose only child is a text node, so that an empty text is written as an open and a close tag.
juce::XmlElement* addTextChild(juce::XmlElement& parent, const juce::String& name, const juce::String& text);

// Reads the Programmer and Comment children of an information document; a missing child keeps its text.
void readInformationTexts(const juce::XmlElement& root, juce::String& programmer, juce::String& comment);

// Root element with Programmer and Comment children in that order.
std::unique_ptr<juce::XmlElement> createInformationXml(const juce::String& rootName, const juce::String& programmer,
                                                       const juce::String& comment);

// The document createInformationXml gives, in toDocumentText's form, appended to out without a tree.
void appendInformationDocument(std::string& out, const char* rootName, const juce::String& programmer,
                               const juce::String& comment);

// Strict UTF-8 (no overlong forms, no surrogates, nothing beyond U+10FFFF).
bool isValidUtf8(const void* data, size_t size);

// Parses the UTF-8 bytes of a document up to the first NUL. Null when the bytes are not valid UTF-8, are
// not XML the parser takes safely (see XmlSafetyScanner) or hold no root element.
std::unique_ptr<juce::XmlElement> parseDocumentBytes(const void* data, size_t size);
} // namespace data
