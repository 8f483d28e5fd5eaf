#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace application
{
class LastSavedFileStatusListener
{
public:
    virtual void lastSavedFileChanged(const juce::File& file) = 0;
    virtual ~LastSavedFileStatusListener() = default;
};

// The library file the user works on (none at start). Listeners hear of a change once per burst.
class LastSavedFileStatus : public Singleton<LastSavedFileStatus>,
                            public juce::DeletedAtShutdown,
                            public ListenerHolder<LastSavedFileStatusListener>,
                            private juce::AsyncUpdater
{
public:
    ~LastSavedFileStatus() override;

    const juce::File& getFile() const noexcept { return file; }
    // Files are compared by the platform's rule: on Linux, paths that differ in letter case are different files.
    void setFile(const juce::File& newFile);

private:
    friend class Singleton<LastSavedFileStatus>;
    LastSavedFileStatus() = default;

    void handleAsyncUpdate() override;

    juce::File file;

    JUCE_DECLARE_NON_COPYABLE(LastSavedFileStatus)
};
} // namespace application
