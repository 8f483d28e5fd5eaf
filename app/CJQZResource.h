#pragma once

#include "data/Singleton.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <memory>

// The localised texts of the program, looked up by key in "LocalizableStrings.xml" of the
// resource folder (the variant of the system language when there is one). Read once when the
// lookup is made; read-only afterwards, so the communication threads may call getString too,
// once the start-up has created it on the message thread.
class CJQZResource : public Singleton<CJQZResource>, public juce::DeletedAtShutdown
{
public:
    ~CJQZResource() override;

    // The "Text" attribute of the first element whose tag name equals the key ignoring case;
    // empty when there is no table, no such element or no such attribute.
    juce::String getString(const juce::String& key) const;

    // Reads the resource file "<name>.<type>". Stores its size, or -1 when it cannot be found or
    // read, in sizeOut (when given) and, when a buffer is given, copies up to bufferSize bytes of it.
    static void loadResourceFile(const juce::String& name, const juce::String& type, void* buffer, int bufferSize,
                                 int* sizeOut);

private:
    friend class Singleton<CJQZResource>;
    CJQZResource();

    std::unique_ptr<juce::XmlElement> table;
    juce::HeapBlock<char> buffer;
    int bufferCapacity = 0;
};
