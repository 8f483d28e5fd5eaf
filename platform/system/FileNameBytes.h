#pragma once

#include <juce_core/juce_core.h>

#include <string>

// File names on Linux are bytes and need not be UTF-8. A name that is not valid UTF-8 keeps each stray
// byte as one character U+DC80 to U+DCFF (the convention of other toolkits), so that it turns back into
// the very same bytes when the file is opened, replaced or looked at.
namespace platform
{
juce::String fileNameFromBytes(const char* bytes);

// The bytes the name stands for; a name without stray-byte characters gives its UTF-8.
std::string fileNameBytes(const juce::String& name);
inline std::string fileNameBytes(const juce::File& file) { return fileNameBytes(file.getFullPathName()); }
} // namespace platform
