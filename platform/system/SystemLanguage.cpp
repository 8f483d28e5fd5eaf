#include "platform/system/SystemLanguage.h"

#include <cstdlib>

namespace platform
{
juce::String systemLanguageCode()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == 0)
            continue;

        const auto locale = juce::String::fromUTF8(value);
        const auto end = locale.indexOfAnyOf("_.@");
        return end < 0 ? locale : locale.substring(0, end);
    }
    return {};
}

bool isSystemLanguageJapanese()
{
    return systemLanguageCode() == "ja";
}
} // namespace platform
