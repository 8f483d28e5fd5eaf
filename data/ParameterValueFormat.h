#pragma once

#include <cstdint>
#include <string>

// How one display format turns a parameter value into text: by a formatter or by a list of
// value names indexed by value - minValue.
struct ParameterValueFormat
{
    int16_t (*toDisplay)(int16_t);
    int16_t (*fromDisplay)(int16_t);
    std::string (*formatter)(int16_t);
    const char* const* valueNames;
    int valueNameCount; // the lookup never reads past it
};

constexpr int parameterValueFormatCount = 40;
extern const ParameterValueFormat parameterValueFormatTable[parameterValueFormatCount];

// Pitch-class names C to B; a natural note ends in a blank.
constexpr int noteNameCount = 12;
extern const char* const noteNames[noteNameCount];

// Decimal digits with '0' inserted after the sign up to the width; never cut.
std::string formatZeroPadded(int16_t value, int16_t width);
// The same with a "+" before zero and positive values.
std::string formatSignedZeroPadded(int16_t value, int16_t width);
