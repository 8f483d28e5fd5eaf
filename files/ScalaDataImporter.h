#pragma once

#include "files/FileReader.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstdint>

namespace x47390_file
{
// Imports a Scala scale file (".scl") into the user octave or user scale selected in the tuning editor,
// laid out over the keys by the Scala keyboard map (".kbm") imported before, if one is in force.
//
// All import state is static: one scale and one keyboard map for the whole program, shared by every
// importer object, the commands and the tuning import dialog. An import that fails changes nothing:
// the whole file and every key it lays out are checked before the edit buffer or the library is written.
class ScalaDataImporter : public file::FileReader
{
public:
    ScalaDataImporter() = default;
    ~ScalaDataImporter() override = default;

    // 0, 1 (the file cannot be opened) or 32 (the text does not parse, holds fewer pitches than its
    // count or more than 512, or the keyboard map names a degree the scale lacks).
    int read(const juce::File& file) override;

    // Replaces the keyboard map: 0, 1 (the file cannot be opened) or 33 (incomplete or invalid data).
    static int importKeyboardMap(const juce::File& file);

    // No keyboard map in force: map size 0 and the default layout around A 440.
    static void resetKeyboardMapping();

    // Lay the scale read last out linearly over the user scale or user octave of the selected slot.
    static void fillUserScale(int count);
    static void fillUserOctave(int count);

    // Scala files may number their degrees up to these limits; larger files are refused.
    static constexpr int maxPitches = 512;
    static constexpr int mappingTableSize = 256;

    // Name of the keyboard map in force (the file name without its folder); empty when none was imported.
    static juce::String keyboardMapFileName;

    // The imported state, for the tuning import dialog and for tests.
    struct KeyboardMap
    {
        int mapSize = 0; // 0: no keyboard map in force
        std::uint8_t firstNote = 0;
        std::uint8_t lastNote = 0;
        std::uint8_t middleNote = 0;
        int referenceNote = 0;
        float referenceFrequency = 0.0f;
        int octaveDegree = 0;
        std::array<int, mappingTableSize> mapping{};
        float offset = 0.0f; // semitones, from the reference note and frequency
    };

    struct Scale
    {
        int pitchCount = 0;
        std::array<float, maxPitches + 1> pitches{}; // semitones above degree 0; entry 0 stays 0
    };

    static const KeyboardMap& getKeyboardMap() noexcept { return keyboardMap; }
    static const Scale& getScale() noexcept { return scale; }

private:
    static int applyToSelectedSlot();

    static KeyboardMap keyboardMap;
    static Scale scale;

    JUCE_DECLARE_NON_COPYABLE(ScalaDataImporter)
};
} // namespace x47390_file
