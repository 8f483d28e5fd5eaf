#pragma once

#include "data/Singleton.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

namespace x47390_application
{
// The user-interface language and typeface, settled once at start-up.
class CurrentLanguageModel : public Singleton<CurrentLanguageModel>, public juce::DeletedAtShutdown
{
public:
    // 1 when the system language is Japanese, otherwise 0.
    int language = 0;
    juce::String typefaceName;

private:
    friend class Singleton<CurrentLanguageModel>;
    CurrentLanguageModel() = default;
};
} // namespace x47390_application
