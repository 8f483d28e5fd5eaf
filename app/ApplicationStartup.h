#pragma once

#include <juce_core/juce_core.h>

#include <array>

// The one-time set-up of the application state, run by the application object before the main
// window exists: preference defaults, the application-wide objects in their fixed order, the debug
// markers, the text styles, the MIDI port settings, the factory presets on first use, the Japanese
// standard words, the undo limits, the library and the preset libraries. Returns the result of the
// preset reload (a read-error code), which the start-up does not show.
int initializeApplicationState();

// Copies the port preferences into the MIDI device manager (start-up and the preferences command).
void applyMidiPortPreferences();

// Sets the program-list font heights from "ProgramListHeight" and tells the list views. A stored row
// height outside the range the preferences dialog offers is first brought into it.
void applyProgramListFontHeight();

namespace x47390_application
{
// The row heights the preferences dialog offers run from 20 to 40.
constexpr int minimumProgramListHeight = 20;
constexpr int maximumProgramListHeight = 40;

// The program-list font height of a row height: 0.6 of it, truncated.
int getProgramListFontHeight(int rowHeight);

struct PreferenceDefault
{
    const char* key;
    const char* value;
};

// The defaults written at start-up for absent keys, in the order a first start writes them.
extern const std::array<PreferenceDefault, 8> preferenceDefaults;

struct TextStyle
{
    const char* key;
    int sizeStep; // 1 to 6, an index into the font library's height steps counted from 1
};

// The named text styles registered at start-up, in order; a key registered twice keeps its first font.
extern const std::array<TextStyle, 34> textStyles;

// The styles whose height follows the program-list row height.
extern const std::array<const char*, 13> programListTextStyles;

// The toolkit's standard words in Japanese, in the toolkit's translation text form.
juce::String getJapaneseTranslationText();

// The marker files in the preferences folder that switch on the developer and debug features.
constexpr const char* developerModeMarkerFile = "DeveloperMode_47390.txt";
constexpr const char* debugModeMarkerFile = "DebugMode.txt";
} // namespace x47390_application
