#pragma once

#include <juce_core/juce_core.h>

namespace midi
{
// The localised text of a key, safe to call from any thread.
juce::String localisedText(const juce::String& key);
} // namespace midi
