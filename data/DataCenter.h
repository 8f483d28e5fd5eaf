#pragma once

#include "data/LibraryData.h"
#include "data/PresetData.h"
#include "data/Singleton.h"
#include "data/UserData.h"

#include <juce_events/juce_events.h>

namespace x47390_data
{
// The single owner of the library the user edits, the preset libraries and the user-unit slots.
// Message thread only; users take references and never copy it.
class DataCenter : public Singleton<DataCenter>, public juce::DeletedAtShutdown
{
public:
    ~DataCenter() override = default;

    LibraryData& getLibraryData() noexcept { return library; }
    PresetLibrary& getPresetLibrary() noexcept { return presetLibrary; }
    UserData& getUserData() noexcept { return userData; }

private:
    friend class Singleton<DataCenter>;
    DataCenter() = default;

    // Destroyed in reverse: user data, then preset libraries, then the library.
    LibraryData library;
    PresetLibrary presetLibrary;
    UserData userData;

    JUCE_DECLARE_NON_COPYABLE(DataCenter)
};
} // namespace x47390_data
