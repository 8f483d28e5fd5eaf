#pragma once

#include "data/Singleton.h"

#include <juce_data_structures/juce_data_structures.h>
#include <juce_events/juce_events.h>

namespace application
{
// The one undo manager through which every edit of the library runs. Objects that listen to it
// create it before they register themselves for deletion at shutdown, so it is deleted after them.
class ApplicationUndoManager : public juce::UndoManager,
                               public Singleton<ApplicationUndoManager>,
                               public juce::DeletedAtShutdown
{
public:
    ~ApplicationUndoManager() override = default;

private:
    friend class Singleton<ApplicationUndoManager>;
    ApplicationUndoManager() : juce::UndoManager(30000, 30) {}

    JUCE_DECLARE_NON_COPYABLE(ApplicationUndoManager)
};
} // namespace application
