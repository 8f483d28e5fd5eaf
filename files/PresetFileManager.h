#pragma once

#include "data/Singleton.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <memory>

namespace x47390_data
{
class PresetLibrary;
}

namespace x47390_file
{
// Keeps the installed preset libraries: the folder "Preset Data" beside the preferences file, its index
// "PresetFileInformation.xml" (root "sonavire_PresetInformation", one "Preset" element with "DataID" and
// "File" per library, in installation order) and the import that copies a preset file into the folder.
// Message thread only.
class PresetFileManager : public Singleton<PresetFileManager>, public juce::DeletedAtShutdown
{
public:
    ~PresetFileManager() override;

    static juce::File getPresetFolder();
    static juce::File getIndexFile();

    // Installs a preset file, replacing the installed library of the same DataID (letter case ignored)
    // or adding a new one at the end of the index. False when the file is not a readable preset file,
    // its DataID makes no usable file name, or the copy or the index write fails; then the installed
    // libraries stay as they were.
    bool importPresetFile(const juce::File& file);

    // The index; never null. A broken index file is kept aside as "PresetFileInformation.xml.bak".
    juce::XmlElement* getIndexRoot() const { return indexRoot.get(); }

    // The installed file an index entry names, or an invalid File when its "File" text is missing
    // or unusable as a file name.
    juce::File getInstalledFile(const juce::XmlElement& entry) const;

    // Refills the list with every installed preset library in index order. Stops at the first file
    // that cannot be read and returns its read error (14 for a missing file or an unusable name);
    // the libraries read before it stay in the list. Files are read on several threads at once; the
    // list is filled on the calling thread.
    int reloadPresetLibraries(x47390_data::PresetLibrary& libraries) const;
    // The same for the data centre's preset libraries; on success the preset-data observers are told.
    int reloadPresetLibraries() const;

    // When nothing is installed, installs the factory preset library built into the program.
    // Returns true when it was installed.
    bool installFactoryPresetLibrary();

    // A text made safe as a file name in the preset folder: characters other than ASCII letters,
    // digits, ".", "_", "-" and space become "_". Empty when the result would be empty or start with ".".
    static juce::String makeSafeFileName(const juce::String& text);

    static constexpr const char* presetFolderName = "Preset Data";
    static constexpr const char* indexFileName = "PresetFileInformation.xml";
    static constexpr const char* installedExtension = ".isnvrpreset";
    // Installed libraries are read on up to this many threads at once.
    static constexpr int maximumReadingThreads = 4;

private:
    friend class Singleton<PresetFileManager>;
    PresetFileManager();

    juce::XmlElement* findEntry(const juce::String& dataID) const;
    juce::String makeUniqueFileName(const juce::String& safeDataID) const;
    bool writeIndex() const;

    std::unique_ptr<juce::XmlElement> indexRoot;
};
} // namespace x47390_file
