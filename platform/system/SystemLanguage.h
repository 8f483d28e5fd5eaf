#pragma once

#include <juce_core/juce_core.h>

namespace platform
{
// The language of the user's locale: the first non-empty of LC_ALL, LC_MESSAGES and LANG, cut at
// "_", "." or "@" ("ja_JP.UTF-8" gives "ja"). Empty when none is set.
juce::String systemLanguageCode();

// True when systemLanguageCode() is exactly "ja".
bool isSystemLanguageJapanese();
} // namespace platform
