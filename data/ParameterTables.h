#pragma once

#include "data/ParameterDescription.h"

#include <array>

// The program parameter definition tables. All of it is constant data; the code that
// reads it is in ParameterValueText.

struct ParameterTable
{
    const ParameterDescription* rows; // null for a group without a table
    int count;
};

// A byte range of the program binary.
struct PackedDataSection
{
    int16_t start;
    int16_t size;
};

constexpr int programParameterCount = 50;
constexpr int timbreParameterCount = 63;
constexpr int footerParameterCount = 4;
constexpr int tuneOctParameterCount = 36;
constexpr int tuneScaleParameterCount = 192;
constexpr int parameterGroupCount = 6;

// Groups: 0 the common part, 1 the main timbre, 2 the sub timbre (both timbres share one table).
extern const ParameterTable parameterTableList[parameterGroupCount];
extern const PackedDataSection packedDataSectionTable[parameterGroupCount];

extern const ParameterDescription programParameterTable[programParameterCount];
extern const ParameterDescription timbreParameterTable[timbreParameterCount];
extern const ParameterDescription footerParameterTable[footerParameterCount];
// The note layout of a user octave and a user scale (semitone, fraction high, fraction low).
extern const std::array<ParameterDescription, tuneOctParameterCount> tuneOctParameterTable;
extern const std::array<ParameterDescription, tuneScaleParameterCount> tuneScaleParameterTable;
extern const ParameterDescription defaultParameterDescription;
