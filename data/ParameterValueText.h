#pragma once

#include "data/ParameterDescription.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace x47390_data
{
class ProgramData;
}

// Turns one parameter of a program binary into the text a user sees. For one parameter:
// getParameterDescription, then getPackedParameterValue with the key's group as the section,
// then getParameterValueText with the value read.

constexpr size_t packedProgramSize = 336;

// Copies the row the key names into out; false (out untouched) when there is no such row.
// The data argument is unused; it gives the function the signature of the getter table.
bool getParameterDescription(const uint8_t* data, ParameterKey key, ParameterDescription& out);

using ParameterDescriptionGetter = bool (*)(const uint8_t*, ParameterKey, ParameterDescription&);
// Indexed by group; null for the groups without a table.
extern const ParameterDescriptionGetter parameterDescriptionGetters[6];

// The row's value read from a whole program binary (packedProgramSize bytes), or 0 when it
// cannot be read.
int16_t getPackedParameterValue(const uint8_t* data, int section, const ParameterDescription& description);
// The same for a buffer of the given size: a value that does not lie inside it reads as 0.
int16_t getPackedParameterValue(const uint8_t* data, size_t size, int section, const ParameterDescription& description);

// The row's value read from a program record's binary.
int16_t getPackedParameterValue(const x47390_data::ProgramData& program, int section,
                                const ParameterDescription& description);

// The value clamped into the row's range and shown in the row's display format.
std::string getParameterValueText(const ParameterDescription& description, int value);
