#pragma once

#include <juce_core/juce_core.h>

namespace file
{
// The extensions of the system's files, shared by file choosers, the command line, drops, readers and writers.
namespace FileExtension
{
inline constexpr const char* library = ".snvrlib";
inline constexpr const char* program = ".snvrprog";
inline constexpr const char* tuneScale = ".snvrtuns";
inline constexpr const char* dorvantinTuneScale = ".drvntuns";
inline constexpr const char* quintavalTuneScale = ".qntvtuns";
inline constexpr const char* dorvantinZqTuneScale = ".drvnzqtuns";
inline constexpr const char* tuneOct = ".snvrtuno";
inline constexpr const char* dorvantinTuneOct = ".drvntuno";
inline constexpr const char* quintavalTuneOct = ".qntvtuno";
inline constexpr const char* dorvantinZqTuneOct = ".drvnzqtuno";
inline constexpr const char* olderEditorLibrary = ".snvre_all";
inline constexpr const char* preset = ".snvrpreset";
inline constexpr const char* installedPreset = ".isnvrpreset";
inline constexpr const char* scalaScale = ".scl";
inline constexpr const char* scalaKeyboardMap = ".kbm";
inline constexpr const char* userUnit = ".snvrunit";
inline constexpr const char* dorvantinZqUserUnit = ".drvnzqunit";
inline constexpr const char* fncsrlUserUnit = ".fncsrlunit";
} // namespace FileExtension

// Gives a chosen file name the extension its kind requires.
class FileExtensionChecker
{
public:
    // The extension may be given with or without its leading ".".
    explicit FileExtensionChecker(const juce::String& extension);
    virtual ~FileExtensionChecker() = default;

    // The file of the same folder named the given name without its extension, plus the kept extension.
    // A name's extension follows its last "." unless that "." is the name's first character.
    juce::File getFileWithExtension(const juce::File& file) const;

    const juce::String& getExtension() const { return extension; }

private:
    juce::String extension;
};
} // namespace file
