#pragma once

#include <juce_core/juce_core.h>

// Where the program keeps its files on Linux.
namespace platform
{
// $XDG_CONFIG_HOME, or ~/.config when it is unset or empty.
juce::File userConfigFolder();

// The program's own folder below userConfigFolder(); not created here.
juce::File applicationPreferencesFolder();

// The folder of the shipped resources: $SONAVIRE_RESOURCES when set, else "Resources" beside the
// executable, else "../share/sonavire-sound-librarian" from the executable's folder.
juce::File resourceFolder();

// A resource file of the given name, preferring the variant of the system language
// ("<lang>.lproj/<name>") when it exists.
juce::File localisedResourceFile(const juce::String& fileName);

// $TMPDIR, or /tmp when it is unset or empty.
juce::File temporaryFolder();
} // namespace platform
