#include "data/ParameterValueFormat.h"

#include <iomanip>
#include <sstream>

namespace
{
std::string formatPadded(int16_t value, int16_t width, bool showPositive)
{
    std::ostringstream stream;
    stream << std::setw(width) << std::setfill('0') << std::internal;
    if (showPositive)
        stream << std::showpos;
    stream << value;
    return stream.str();
}
} // namespace

std::string formatZeroPadded(int16_t value, int16_t width)
{
    return formatPadded(value, width, false);
}

std::string formatSignedZeroPadded(int16_t value, int16_t width)
{
    return formatPadded(value, width, true);
}

const char* const noteNames[noteNameCount] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};

namespace
{
template <int Width> std::string padded(int16_t value)
{
    return formatZeroPadded(value, Width);
}

template <int Width> std::string signedPadded(int16_t value)
{
    return formatSignedZeroPadded(value, Width);
}

std::string oneBased(int16_t value)
{
    // The caller has already added the 1.
    return formatZeroPadded(value, 3);
}

std::string characterText(int16_t value)
{
    return std::string(1, static_cast<char>(value & 0xFF));
}

std::string channelText(int16_t value)
{
    if (value > 16)
        return {};
    if (value == 0)
        return "Global";
    return formatZeroPadded(value, 2);
}

std::string noteText(int16_t value)
{
    if (value < 0)
        return {}; // no pitch class below C -1
    return noteNames[value % 12] + std::to_string(value / 12 - 1);
}

std::string likeText(int16_t value)
{
    return value == 0 ? "---" : "@";
}

std::string switchText(int16_t value)
{
    return value == 0 ? "Off" : "On";
}

int16_t plusOne(int16_t value)
{
    return static_cast<int16_t>(value + 1);
}

int16_t minusOne(int16_t value)
{
    return static_cast<int16_t>(value - 1);
}

template <size_t N> constexpr ParameterValueFormat names(const char* const (&list)[N])
{
    return {nullptr, nullptr, nullptr, list, static_cast<int>(N)};
}

constexpr ParameterValueFormat format(std::string (*formatter)(int16_t))
{
    return {nullptr, nullptr, formatter, nullptr, 0};
}

const char* const enableNames[] = {"Disable", "Enable"};
const char* const categoryNames[] = {"POLY SYNTH", "BASS", "LEAD",        "PAD/STRINGS", "KEY/BELL",
                                     "CHORD",      "ARP",  "COMBINATION", "SFX"};
const char* const effectTypeNames[] = {"OFF", "DELAY", "REVERB"};
const char* const timbreTypeNames[] = {"LAYER", "XFADE", "SPLIT"};
const char* const timbreNames[] = {"MAIN", "(+)", "SUB"};
const char* const waveNames[] = {"SQR", "TRI", "SAW"};
const char* const footNames[] = {"2'", "4'", "8'", "16'"};
const char* const pitchEgTargetNames[] = {"VCO1", "VCO1+2", "VCO2"};
const char* const ringSyncNames[] = {"RING ON", "OFF", "SYNC ON"};
const char* const multiTypeNames[] = {"NOISE", "VPM", "USER"};
const char* const percentNames[] = {"0 %", "50 %", "100%"};
const char* const lfoModeNames[] = {"1-SHOT", "SLOW", "FAST"};
const char* const lfoTargetNames[] = {"CUTOFF", "SHAPE", "PITCH"};
const char* const voiceTypeNames[] = {"POLY", "MONO", "UNISON", "CHORD"};
const char* const assignNames[] = {
    "OFF",          "VOLUME",       "BALANCE",      "PORTAMENTO", "V.SPREAD",      "V.M DEPTH",   "VCO1 PITCH",
    "VCO1 SHAPE",   "VCO2 PITCH",   "VCO2 SHAPE",   "CROSS MOD",  "PITCH EG INT",  "MULTI SHAPE", "VCO1 LEVEL",
    "VCO2 LEVEL",   "MULTI LEVEL",  "CUTOFF",       "RESONANCE",  "CUTOFF EG INT", "A.EG ATTACK", "A.EG DECAY",
    "A.EG SUSTAIN", "A.EG RELEASE", "EG ATTACK",    "EG DECAY",   "EG SUSTAIN",    "EG RELEASE",  "LFO RATE",
    "LFO INT",      "MOD FX SPEED", "MOD FX DEPTH", "DL/RV TIME", "DL/RV DEPTH",   "GATE TIME"};

// The program tunings: 23 preset tunings, the user scales at 128, the user octaves at 134,
// and a numbered name for every other value. Generated once, at compile time.
constexpr int tuningNameCount = 256;
constexpr int tuningNameLength = 16;
constexpr int firstUserScale = 128;
constexpr int firstUserOctave = 134;
constexpr int userTuningCount = 6;
constexpr const char* presetTuningNames[] = {
    "Equal Temp", "Pure Major", "Pure Minor", "Pythagorean", "Werckmeister", "kirnberger", "Slendro", "Pelog",
    "Ionian",     "Dorian",     "Aelian",     "Major Penta", "Minor Penta",  "Reverse",    "XQV001",  "XQV002",
    "XQV003",     "XQV004",     "XQV005",     "XQV006",      "KW001",        "KW002",      "KW003"};
constexpr int presetTuningCount = static_cast<int>(sizeof(presetTuningNames) / sizeof(presetTuningNames[0]));

struct TuningNameText
{
    char text[tuningNameCount][tuningNameLength];
};

constexpr void append(char* out, int& length, const char* text)
{
    while (*text != '\0')
        out[length++] = *text++;
}

// "TUNE" and the 1-based number right-aligned in three characters.
constexpr void appendNumbered(char* out, int& length, int number)
{
    append(out, length, "TUNE");
    out[length++] = number >= 100 ? static_cast<char>('0' + number / 100) : ' ';
    out[length++] = number >= 10 ? static_cast<char>('0' + number / 10 % 10) : ' ';
    out[length++] = static_cast<char>('0' + number % 10);
}

constexpr TuningNameText makeTuningNameText()
{
    TuningNameText names{};
    for (int value = 0; value < tuningNameCount; ++value)
    {
        char* out = names.text[value];
        int length = 0;
        if (value < presetTuningCount)
            append(out, length, presetTuningNames[value]);
        else if (value >= firstUserScale && value < firstUserScale + userTuningCount)
        {
            append(out, length, "UserScale");
            out[length++] = static_cast<char>('1' + value - firstUserScale);
        }
        else if (value >= firstUserOctave && value < firstUserOctave + userTuningCount)
        {
            append(out, length, "UserOctave");
            out[length++] = static_cast<char>('1' + value - firstUserOctave);
        }
        else
            appendNumbered(out, length, value + 1);
    }
    return names;
}

constexpr TuningNameText tuningNameText = makeTuningNameText();

struct TuningNameList
{
    const char* names[tuningNameCount];
};

constexpr TuningNameList makeTuningNameList()
{
    TuningNameList list{};
    for (int value = 0; value < tuningNameCount; ++value)
        list.names[value] = tuningNameText.text[value];
    return list;
}

constexpr TuningNameList tuningNames = makeTuningNameList();

constexpr ParameterValueFormat none = {nullptr, nullptr, nullptr, nullptr, 0};
} // namespace

const ParameterValueFormat parameterValueFormatTable[parameterValueFormatCount] = {
    none,                                                            // 0
    format(padded<2>),                                               // 1
    format(padded<2>),                                               // 2
    format(padded<3>),                                               // 3
    format(padded<3>),                                               // 4
    format(padded<4>),                                               // 5
    format(padded<5>),                                               // 6
    format(padded<5>),                                               // 7
    format(padded<1>),                                               // 8
    format(padded<1>),                                               // 9
    format(padded<2>),                                               // 10
    format(signedPadded<3>),                                         // 11
    format(signedPadded<3>),                                         // 12
    format(signedPadded<3>),                                         // 13
    format(signedPadded<3>),                                         // 14
    format(signedPadded<4>),                                         // 15
    format(signedPadded<4>),                                         // 16
    format(padded<3>),                                               // 17
    {plusOne, minusOne, oneBased, nullptr, 0},                       // 18
    format(characterText),                                           // 19
    names(enableNames),                                              // 20
    names(categoryNames),                                            // 21
    names(effectTypeNames),                                          // 22
    names(timbreTypeNames),                                          // 23
    names(timbreNames),                                              // 24
    format(channelText),                                             // 25
    format(noteText),                                                // 26
    names(waveNames),                                                // 27
    names(footNames),                                                // 28
    names(pitchEgTargetNames),                                       // 29
    names(ringSyncNames),                                            // 30
    names(multiTypeNames),                                           // 31
    names(percentNames),                                             // 32
    names(lfoModeNames),                                             // 33
    names(lfoTargetNames),                                           // 34
    names(voiceTypeNames),                                           // 35
    format(likeText),                                                // 36
    names(assignNames),                                              // 37
    {nullptr, nullptr, nullptr, tuningNames.names, tuningNameCount}, // 38
    format(switchText),                                              // 39
};
