#include "midi/LocalisedText.h"

#include "app/CJQZResource.h"

#include <juce_events/juce_events.h>

namespace midi
{
juce::String localisedText(const juce::String& key)
{
    // The lookup is made on the message thread at start-up; a transfer thread never creates it.
    auto* resource = CJQZResource::getInstanceWithoutCreating();
    if (resource == nullptr)
    {
        auto* messageManager = juce::MessageManager::getInstanceWithoutCreating();
        if (messageManager == nullptr || !messageManager->isThisTheMessageThread())
            return {};
        resource = CJQZResource::getInstance();
    }
    return resource->getString(key);
}
} // namespace midi
