#include "data/XmlText.h"

#include "data/XmlSafetyScanner.h"
#include "data/XmlTextWriter.h"

#include <cstdint>
#include <cstring>

namespace data
{
bool tagNameIs(const juce::XmlElement& element, juce::StringRef name)
{
    return element.getTagName().equalsIgnoreCase(name);
}

const juce::XmlElement* firstChildNamed(const juce::XmlElement& parent, juce::StringRef name)
{
    for (auto* child : parent.getChildIterator())
        if (tagNameIs(*child, name))
            return child;
    return nullptr;
}

namespace
{
void writeEscaped(juce::MemoryOutputStream& out, const juce::String& text, bool inAttribute)
{
    std::string escaped;
    appendEscapedXml(escaped, text.toRawUTF8(), inAttribute);
    out.write(escaped.data(), escaped.size());
}

constexpr const char* newLine = "\r\n";
constexpr int attributeWrapLength = 60;

void writeElement(juce::MemoryOutputStream& out, const juce::XmlElement& element, int indent)
{
    out.writeRepeatedByte(' ', (size_t) indent);
    out << '<' << element.getTagName();
    const auto attributeIndent = (size_t) (indent + element.getTagName().length() + 1);
    int lineLength = 0;
    for (int i = 0; i < element.getNumAttributes(); ++i)
    {
        if (lineLength > attributeWrapLength)
        {
            out << newLine;
            out.writeRepeatedByte(' ', attributeIndent);
            lineLength = 0;
        }
        const auto start = out.getPosition();
        out << ' ' << element.getAttributeName(i) << "=\"";
        writeEscaped(out, element.getAttributeValue(i), true);
        out << '"';
        lineLength += (int) (out.getPosition() - start);
    }

    if (element.getFirstChildElement() == nullptr)
    {
        out << "/>";
        return;
    }
    out << '>';
    bool lastWasText = false;
    for (const auto* child : element.getChildIterator())
    {
        if (child->isTextElement())
        {
            const auto& text = child->getText();
            // The parser drops a text of nothing but white space, but keeps a character data section.
            if (text.isNotEmpty() && !text.containsNonWhitespaceChars())
                out << "<![CDATA[" << text << "]]>";
            else
                writeEscaped(out, text, false);
            lastWasText = true;
        }
        else
        {
            if (!lastWasText)
                out << newLine;
            writeElement(out, *child, lastWasText ? 0 : indent + 2);
            lastWasText = false;
        }
    }
    if (!lastWasText)
    {
        out << newLine;
        out.writeRepeatedByte(' ', (size_t) indent);
    }
    out << "</" << element.getTagName() << '>';
}
} // namespace

// The library's default form, except that a carriage return in a text is written as a reference and a
// text of only white space as a character data section: written plainly, the parser turns the first into
// a line feed and drops the second.
juce::String toDocumentText(const juce::XmlElement& element)
{
    juce::MemoryOutputStream out(2048);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" << newLine << newLine;
    writeElement(out, element, 0);
    out << newLine;
    return out.toUTF8();
}

juce::XmlElement* addTextChild(juce::XmlElement& parent, const juce::String& name, const juce::String& text)
{
    auto* child = parent.createNewChildElement(name);
    child->addTextElement(text);
    return child;
}

void readInformationTexts(const juce::XmlElement& root, juce::String& programmer, juce::String& comment)
{
    if (auto* element = firstChildNamed(root, "Programmer"))
        programmer = element->getAllSubText();
    if (auto* element = firstChildNamed(root, "Comment"))
        comment = element->getAllSubText();
}

std::unique_ptr<juce::XmlElement> createInformationXml(const juce::String& rootName, const juce::String& programmer,
                                                       const juce::String& comment)
{
    auto root = std::make_unique<juce::XmlElement>(rootName);
    addTextChild(*root, "Programmer", programmer);
    addTextChild(*root, "Comment", comment);
    return root;
}

void appendInformationDocument(std::string& out, const char* rootName, const juce::String& programmer,
                               const juce::String& comment)
{
    XmlTextWriter xml(out);
    xml.open(rootName);
    xml.textElement("Programmer", programmer);
    xml.textElement("Comment", comment);
    xml.close();
}

bool isValidUtf8(const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*>(data);
    size_t i = 0;
    while (i < size)
    {
        // Runs of ASCII, the bulk of most documents, eight bytes at a time.
        while (size - i >= 8)
        {
            std::uint64_t eight;
            std::memcpy(&eight, bytes + i, 8);
            if ((eight & 0x8080808080808080ull) != 0)
                break;
            i += 8;
        }
        if (i == size)
            break;
        const auto lead = bytes[i];
        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        int extra = 0;
        juce::uint32 minimum = 0, code = 0;
        if ((lead & 0xE0) == 0xC0)
            extra = 1, minimum = 0x80, code = lead & 0x1Fu;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2, minimum = 0x800, code = lead & 0x0Fu;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3, minimum = 0x10000, code = lead & 0x07u;
        else
            return false;

        if (size - i <= (size_t) extra)
            return false;

        for (int k = 1; k <= extra; ++k)
        {
            const auto next = bytes[i + (size_t) k];
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3Fu);
        }

        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;

        i += (size_t) extra + 1;
    }
    return true;
}

std::unique_ptr<juce::XmlElement> parseDocumentBytes(const void* data, size_t size)
{
    const auto* bytes = static_cast<const char*>(data);
    size_t length = 0;
    while (length < size && bytes[length] != 0)
        ++length;

    if (!isValidUtf8(bytes, length) || !XmlSafetyScanner::isSafe(bytes, length))
        return nullptr;

    return juce::XmlDocument::parse(juce::String::fromUTF8(bytes, (int) length));
}
} // namespace data
