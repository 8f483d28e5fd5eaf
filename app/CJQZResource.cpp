#include "app/CJQZResource.h"

#include "platform/system/SystemFolders.h"

namespace
{
const juce::Identifier textAttribute("Text");

// The table holds a few hundred short texts; a resource far beyond that is not ours.
constexpr juce::int64 maximumResourceSize = 16 * 1024 * 1024;
} // namespace

CJQZResource::CJQZResource()
{
    int size = -1;
    loadResourceFile("LocalizableStrings", "xml", nullptr, 0, &size);
    if (size <= 0)
        return;

    if (bufferCapacity < size)
    {
        buffer.allocate((size_t) size, false);
        bufferCapacity = size;
    }

    int readSize = -1;
    loadResourceFile("LocalizableStrings", "xml", buffer.get(), bufferCapacity, &readSize);
    // The file may have changed between the two calls: take no more than both reads agree on.
    const int length = juce::jmin(size, readSize);
    if (length <= 0)
        return;

    // Text that is not UTF-8 is a malformed table, as is anything that does not parse.
    if (!juce::CharPointer_UTF8::isValidString(buffer.get(), length))
        return;
    table = juce::parseXML(juce::String::createStringFromData(buffer.get(), length));
}

CJQZResource::~CJQZResource() = default;

void CJQZResource::loadResourceFile(const juce::String& name, const juce::String& type, void* destination,
                                    int bufferSize, int* sizeOut)
{
    int size = -1;
    const auto file = platform::localisedResourceFile(name + "." + type);

    if (file.existsAsFile() && file.getSize() <= maximumResourceSize)
    {
        size = (int) file.getSize();

        if (size > 0 && destination != nullptr && bufferSize > 0)
        {
            juce::FileInputStream in(file);
            if (in.openedOk())
            {
                const int wanted = juce::jmin(bufferSize, size);
                const int got = in.read(destination, wanted);
                if (got < wanted)
                    size = juce::jmax(got, 0); // cut short while reading: report what is there
            }
            else
            {
                size = -1;
            }
        }
    }

    if (sizeOut != nullptr)
        *sizeOut = size;
}

juce::String CJQZResource::getString(const juce::String& key) const
{
    if (table == nullptr)
        return {};

    for (auto* child : table->getChildIterator())
        if (child->getTagName().equalsIgnoreCase(key))
            return child->getStringAttribute(textAttribute);

    return {};
}
