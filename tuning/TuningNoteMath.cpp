#include "tuning/TuningNoteMath.h"

#include "data/ParameterValueFormat.h"

namespace TuningEditor
{
namespace
{
int signExtend7(int byte)
{
    byte &= 0x7F;
    return byte >= 64 ? byte - 128 : byte;
}

int fractionOf(const std::uint8_t* entry)
{
    return (entry[1] & 0x7F) * 128 + (entry[2] & 0x7F);
}

bool isNoteLetter(juce::juce_wchar c)
{
    return (c >= 'A' && c <= 'G') || (c >= 'a' && c <= 'g');
}

// Semitones of the natural notes A..G above C.
int naturalOf(juce::juce_wchar letter)
{
    static constexpr int byLetter[7] = {9, 11, 0, 2, 4, 5, 7};
    return byLetter[juce::CharacterFunctions::toUpperCase(letter) - 'A'];
}

bool containsChar(const char* set, juce::juce_wchar c)
{
    for (const char* p = set; *p != 0; ++p)
        if ((juce::juce_wchar) *p == c)
            return true;
    return false;
}
} // namespace

int lowestShownNote(TuningKind kind)
{
    return kind == TuningKind::octave ? -12 : 0;
}

int highestShownNote(TuningKind kind)
{
    return kind == TuningKind::octave ? 23 : 127;
}

ShownNote showEntry(const std::uint8_t* entry, TuningKind kind)
{
    ShownNote shown;
    const int t = fractionOf(entry) * 100 + 8192;
    const int rounded = t >> 14; // cents rounded half up, 0..100
    shown.negativeCents = t > 819199;
    shown.cents = shown.negativeCents ? rounded - 100 : rounded;

    const int semitone = kind == TuningKind::octave ? signExtend7(entry[0]) : (entry[0] & 0x7F);
    shown.note = semitone + (shown.negativeCents ? 1 : 0);

    if (shown.note > highestShownNote(kind))
    {
        shown = {highestShownNote(kind), 49, false, true};
    }
    else if (shown.note < lowestShownNote(kind))
    {
        shown = {lowestShownNote(kind), 0, false, true};
    }
    return shown;
}

int fractionForCents(int cents)
{
    const bool negative = cents < 0;
    const int c = 16384 * (negative ? cents + 100 : cents);
    if (c < 0)
        return 0;
    if (c >= 1638400)
        return 16383;
    return (c + 50) / 100;
}

bool storeCents(std::uint8_t* entry, int cents)
{
    // Far outside the sliders' range the product below would not fit; such values store as the limits.
    cents = juce::jlimit(-1000, 1000, cents);
    const int f = fractionForCents(cents);
    entry[1] = (std::uint8_t)((f >> 7) & 0x7F);
    entry[2] = (std::uint8_t)(f & 0x7F);
    return cents < 0;
}

void storeNote(std::uint8_t* entry, int note, bool negativeCents, TuningKind kind)
{
    if (kind == TuningKind::octave)
    {
        const int borrow = (note > lowestShownNote(kind) && negativeCents) ? 1 : 0;
        entry[0] = (std::uint8_t)((note - borrow) & 0x7F);
        return;
    }
    const int m = note & 0x7F;
    const int borrow = (m != 0 && negativeCents) ? 1 : 0;
    entry[0] = (std::uint8_t)(m - borrow);
}

int foldIntoOctaveRange(int offset)
{
    while (offset > 23)
        offset -= 12;
    while (offset < -12)
        offset += 12;
    return offset;
}

juce::String noteText(double value, bool relativeOctave)
{
    const double truncated = value < -1.0e6 ? -1.0e6 : (value > 1.0e6 ? 1.0e6 : value);
    const int n = (int) truncated;
    if (relativeOctave)
    {
        const int r = juce::jlimit(-12, 23, n);
        if (r < 0)
            return juce::String("-") + noteNames[r + 12];
        if (r >= 12)
            return juce::String("+") + noteNames[r - 12];
        return juce::String(" ") + noteNames[r];
    }
    const int a = juce::jlimit(0, 127, n);
    return juce::String(noteNames[a % 12]) + juce::String(a / 12 - 1);
}

int noteValueFromText(const juce::String& text, bool relativeOctave)
{
    bool sharp = false, minus = false, plus = false, haveLetter = false;
    int note = 0;
    int octave = 0;
    for (auto p = text.getCharPointer(); !p.isEmpty(); ++p)
    {
        const auto c = *p;
        if (c == '#')
            sharp = true;
        else if (c == '-')
            minus = minus || !plus;
        else if (c == '+')
            plus = plus || !minus;
        else if (isNoteLetter(c))
        {
            if (!haveLetter)
                note = naturalOf(c);
            haveLetter = true;
        }
        else if (!relativeOctave && c >= '0' && c <= '9')
            // Saturates: no octave number that long means anything, and it must not overflow.
            octave = juce::jmin(100000, octave * 10 + (int) (c - '0'));
    }
    if (!haveLetter)
        return 0;
    if (sharp && note != 4 && note != 11)
        ++note;

    if (relativeOctave)
        return juce::jlimit(-12, 23, minus ? note - 12 : (plus ? note + 12 : note));
    const int signedOctave = minus ? -octave : octave;
    return juce::jlimit(0, 127, note + (signedOctave + 1) * 12);
}

bool isAcceptedTypedText(const juce::String& text, bool noteSlider, bool relativeOctave)
{
    static constexpr const char* letters = "ABCDEFGabcdefg#";
    if (relativeOctave && text.length() >= 4)
        return false;

    int index = 0;
    for (auto p = text.getCharPointer(); !p.isEmpty(); ++p, ++index)
    {
        const auto c = *p;
        bool accepted;
        if (!noteSlider)
            accepted = containsChar("0123456789#-", c);
        else if (relativeOctave)
            accepted = containsChar(letters, c) || (index == 0 && (c == '+' || c == '-'));
        else
            accepted = index == 0 ? containsChar(letters, c) : containsChar("0123456789-#", c);
        if (!accepted)
            return false;
    }
    return true;
}
} // namespace TuningEditor
