#pragma once

#include "data/Singleton.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <memory>

namespace x47390_preferences
{
// The user's settings: one XML document kept in memory for the whole run, read from
// "PreferencesData.xml" in the preferences folder on first use and written back when the
// store is deleted at shutdown and when save() is called. Message thread only.
//
// Each setting is a child element of the root whose tag name is the key (matched ignoring
// case, first match wins) and whose attribute "Value" holds the value.
class PreferencesData : public Singleton<PreferencesData>, public juce::DeletedAtShutdown
{
public:
    ~PreferencesData() override;

    // The preferences file; its folder is created (with missing parents) when absent.
    static juce::File getPreferencesFile();
    // The folder of the preferences file, created when absent.
    static juce::File getPreferencesFolder();

    juce::XmlElement* getOrCreateEntry(const juce::String& key);

    void setValue(const juce::String& key, const juce::String& value);
    void setIntValue(const juce::String& key, int value);
    void setBoolValue(const juce::String& key, bool value);

    // Only when no entry matches the key, even one without a value.
    void setDefaultValue(const juce::String& key, const juce::String& value);
    void setDefaultBoolValue(const juce::String& key, bool value);

    juce::String getValue(const juce::String& key, const juce::String& defaultValue) const;
    int getIntValue(const juce::String& key, int defaultValue) const;
    bool getBoolValue(const juce::String& key, bool defaultValue) const;

    // Writes the document; a failure leaves the previous file as it was and is not reported.
    void save();

    const juce::XmlElement& getRoot() const { return *root; }

private:
    friend class Singleton<PreferencesData>;
    PreferencesData();

    juce::XmlElement* findEntry(const juce::String& key) const;
    const juce::String* findValue(const juce::String& key) const;

    std::unique_ptr<juce::XmlElement> root;
};
} // namespace x47390_preferences
