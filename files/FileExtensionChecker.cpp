#include "files/FileExtensionChecker.h"

namespace file
{
FileExtensionChecker::FileExtensionChecker(const juce::String& ext)
    : extension(ext.startsWithChar('.') ? ext : "." + ext)
{
}

juce::File FileExtensionChecker::getFileWithExtension(const juce::File& file) const
{
    auto name = file.getFileName();
    const int dot = name.lastIndexOfChar('.');
    if (dot > 0)
        name = name.substring(0, dot);
    return file.getParentDirectory().getChildFile(name + extension);
}
} // namespace file
