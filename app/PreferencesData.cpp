#include "app/PreferencesData.h"

#include "data/XmlText.h"
#include "files/FileReplacer.h"

#include "platform/system/RegularFileInputStream.h"
#include "platform/system/SystemFolders.h"

#include <limits>

namespace x47390_preferences
{
namespace
{
const juce::Identifier valueAttribute("Value");

// A preferences file is a few hundred bytes; anything far larger is not ours.
constexpr juce::int64 maximumFileSize = 4 * 1024 * 1024;

std::unique_ptr<juce::XmlElement> readDocument(const juce::File& file)
{
    // Only a regular file: a FIFO of that name would hold the start for good.
    platform::RegularFileInputStream in(file);
    if (!in.openedOk() || in.getTotalLength() <= 0 || in.getTotalLength() > maximumFileSize)
        return nullptr;
    // Read through the checked parser, so a damaged file cannot hang or crash the start.
    juce::MemoryBlock bytes;
    if ((juce::int64) in.readIntoMemoryBlock(bytes, maximumFileSize + 1) > maximumFileSize)
        return nullptr;
    return data::parseDocumentBytes(bytes.getData(), bytes.getSize());
}

// What saves that a crash cut short left behind: ours, and those of earlier versions, which saved through
// "PreferencesData_temp<hex>.xml". Only one instance runs, so none of these is being written now.
void removeStaleTemporaries(const juce::File& folder)
{
    file::FileReplacer::removeStaleTemporaries(folder);
    for (const auto& entry :
         juce::RangedDirectoryIterator(folder, false, "PreferencesData_temp*.xml", juce::File::findFiles))
    {
        const auto name = entry.getFile().getFileNameWithoutExtension().fromFirstOccurrenceOf("_temp", false, false);
        if (name.isNotEmpty() && name.containsOnly("0123456789abcdef"))
            entry.getFile().deleteFile();
    }
}

bool isSpace(juce::juce_wchar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Decimal like the C library's reading: leading space, optional sign, digits up to the first
// other character, 0 without digits. Values beyond the int range saturate.
int parseDecimal(const juce::String& text)
{
    auto p = text.getCharPointer();
    while (isSpace(*p))
        ++p;

    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (p.getAndAdvance() == '-');

    juce::int64 value = 0;
    constexpr juce::int64 limit = (juce::int64) std::numeric_limits<int>::max() + 1;
    while (*p >= '0' && *p <= '9')
    {
        value = juce::jmin(limit, value * 10 + (juce::int64)(p.getAndAdvance() - '0'));
    }

    if (negative)
        return (int) juce::jmax((juce::int64) std::numeric_limits<int>::min(), -value);
    return (int) juce::jmin((juce::int64) std::numeric_limits<int>::max(), value);
}
} // namespace

PreferencesData::PreferencesData()
{
    removeStaleTemporaries(getPreferencesFolder());
    root = readDocument(getPreferencesFile());
    if (root == nullptr)
        root = std::make_unique<juce::XmlElement>("PreferencesData");
}

PreferencesData::~PreferencesData()
{
    save();
}

juce::File PreferencesData::getPreferencesFolder()
{
    const auto folder = platform::applicationPreferencesFolder();
    if (!folder.isDirectory())
        folder.createDirectory();
    return folder;
}

juce::File PreferencesData::getPreferencesFile()
{
    return getPreferencesFolder().getChildFile("PreferencesData.xml");
}

juce::XmlElement* PreferencesData::findEntry(const juce::String& key) const
{
    for (auto* child : root->getChildIterator())
        if (child->getTagName().equalsIgnoreCase(key))
            return child;
    return nullptr;
}

const juce::String* PreferencesData::findValue(const juce::String& key) const
{
    if (auto* entry = findEntry(key); entry != nullptr && entry->hasAttribute(valueAttribute))
        return &entry->getStringAttribute(valueAttribute);
    return nullptr;
}

juce::XmlElement* PreferencesData::getOrCreateEntry(const juce::String& key)
{
    if (auto* entry = findEntry(key))
        return entry;
    return root->createNewChildElement(key);
}

void PreferencesData::setValue(const juce::String& key, const juce::String& value)
{
    getOrCreateEntry(key)->setAttribute(valueAttribute, value);
}

void PreferencesData::setIntValue(const juce::String& key, int value)
{
    setValue(key, juce::String(value));
}

void PreferencesData::setBoolValue(const juce::String& key, bool value)
{
    setValue(key, value ? "1" : "0");
}

void PreferencesData::setDefaultValue(const juce::String& key, const juce::String& value)
{
    if (findEntry(key) == nullptr)
        setValue(key, value);
}

void PreferencesData::setDefaultBoolValue(const juce::String& key, bool value)
{
    if (findEntry(key) == nullptr)
        setBoolValue(key, value);
}

juce::String PreferencesData::getValue(const juce::String& key, const juce::String& defaultValue) const
{
    const auto* value = findValue(key);
    return value != nullptr ? *value : defaultValue;
}

int PreferencesData::getIntValue(const juce::String& key, int defaultValue) const
{
    const auto* value = findValue(key);
    return value != nullptr ? parseDecimal(*value) : defaultValue;
}

bool PreferencesData::getBoolValue(const juce::String& key, bool defaultValue) const
{
    const auto* value = findValue(key);
    if (value == nullptr)
        return defaultValue;

    auto p = value->getCharPointer();
    while (isSpace(*p))
        ++p;
    const auto first = *p;
    return first == '1' || first == 't' || first == 'T' || first == 'y' || first == 'Y';
}

void PreferencesData::save()
{
    const auto text = root->toString(); // the library's default form: 60-column wrap, CR LF
    // The file is replaced only once the whole document is on disk.
    file::FileReplacer::replaceWithData(getPreferencesFile(), text.toRawUTF8(), text.getNumBytesAsUTF8());
}
} // namespace x47390_preferences
