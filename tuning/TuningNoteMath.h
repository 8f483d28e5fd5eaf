#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

// The arithmetic of the tuning editor, free of any component: how a 3-byte note entry (semitone,
// fraction high 7 bits, fraction low 7 bits; the fraction counts 1/16384 of a semitone) is shown as a
// note and whole cents, how edited values are stored back, how notes are named and typed.
namespace TuningEditor
{
// User octaves store semitones -12..23 above the key's own C, user scales absolute notes 0..127.
enum class TuningKind
{
    octave,
    scale
};

int lowestShownNote(TuningKind kind);  // -12 or 0
int highestShownNote(TuningKind kind); // 23 or 127

// What the two sliders of one note show.
struct ShownNote
{
    int note = 0;
    int cents = 0;              // -50..49
    bool negativeCents = false; // shown as the next semitone up with negative cents
    bool heldAtLimit = false;   // the pitch lies outside what the sliders can show
};

// A note as the sliders show it. A pitch beyond the note range is held at the nearest note the sliders
// can show (49 cents above the highest, 0 cents on the lowest) and marked, so the caller can store the
// shown pair whole once the user edits that note.
ShownNote showEntry(const std::uint8_t* entry, TuningKind kind);

// The 14-bit fraction stored for a cents value; negative cents give the fraction above the semitone
// below. Values below -100 give 0, values of 100 or more 16383.
int fractionForCents(int cents);

// Writes the fraction bytes of an entry for the cents; the semitone byte is left alone. Returns the
// negative-cents flag.
bool storeCents(std::uint8_t* entry, int cents);

// Writes the semitone byte for a shown note: a note shown with negative cents borrows from the semitone
// below, except at the lowest note.
void storeNote(std::uint8_t* entry, int note, bool negativeCents, TuningKind kind);

// A template's semitone offset from middle C, folded into the octave range -12..23.
int foldIntoOctaveRange(int offset);

// Note names: "C#4" style for absolute notes 0..127, "-C#", " C#", "+C#" for octave-relative -12..23.
juce::String noteText(double value, bool relativeOctave);
int noteValueFromText(const juce::String& text, bool relativeOctave);

// Whether a text typed into a value box may be parsed: note sliders take note names, every other
// slider digits, "#" and "-". Octave-relative texts have at most three characters.
bool isAcceptedTypedText(const juce::String& text, bool noteSlider, bool relativeOctave);
} // namespace TuningEditor
