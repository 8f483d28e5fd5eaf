#pragma once

#include <juce_core/juce_core.h>

#include <vector>

namespace x47390_file
{
// Builds a Scala text file (scale or keyboard map) from text entries: a first comment line naming the
// file, then each entry's bytes in order. Files are written whole and replace an older file only once
// complete.
class TextScalaFileWriter
{
public:
    class FileInformation
    {
    public:
        explicit FileInformation(const juce::String& fileName) : name(fileName) {}
        virtual ~FileInformation() = default;

        juce::String name;
    };

    class DataEntry
    {
    public:
        DataEntry(const juce::String& entryName, const juce::MemoryBlock& bytes) : name(entryName), text(bytes) {}
        DataEntry(const DataEntry&) = default;
        DataEntry& operator=(const DataEntry&) = default;
        virtual ~DataEntry() = default;

        juce::String name; // for the caller's bookkeeping; never written
        juce::MemoryBlock text;
    };

    TextScalaFileWriter() = default;
    virtual ~TextScalaFileWriter() = default;

    // A scale text, and a keyboard-map text.
    void addScaleDataEntry(const juce::String& name, const juce::MemoryBlock& text);
    void addDataEntry(const juce::String& name, const juce::MemoryBlock& text);

    // Write one file from the scale texts or the keyboard-map texts; return a write-error index.
    int writeScaleEntries(const juce::File& file);
    int writeEntries(const juce::File& file);

    // Appends one entry's bytes to the text being built; false when an append fails.
    static bool copyDataEntry(const DataEntry& entry, juce::MemoryOutputStream& out);

    const std::vector<FileInformation>& getScaleFileInformation() const noexcept { return scaleFileInformation; }

private:
    static int writeText(const juce::File& file, const std::vector<DataEntry>& entries);

    std::vector<FileInformation> fileInformation; // never filled
    std::vector<FileInformation> scaleFileInformation;
    std::vector<DataEntry> scaleEntries;
    std::vector<DataEntry> entries;

    JUCE_DECLARE_NON_COPYABLE(TextScalaFileWriter)
};
} // namespace x47390_file
