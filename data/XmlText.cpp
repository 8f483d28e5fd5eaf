#include "data/XmlText.h"

#include "data/XmlSafetyScanner.h"

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

juce::String toDocumentText(const juce::XmlElement& element)
{
    return element.toString();
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

bool isValidUtf8(const void* data, size_t size)
{
    const auto* bytes = static_cast<const juce::uint8*>(data);
    size_t i = 0;
    while (i < size)
    {
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
