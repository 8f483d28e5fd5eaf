#pragma once

#include <cstdint>

// What a parameter is; kept with each row for callers that edit values by kind.
enum class ParameterKind : int32_t
{
    None = 0,
    Number = 1,
    Character = 2,
    Choice = 3,
    Switch = 4,
};

// One row of the program parameter tables: where a sound parameter lies in the program
// binary, which values it may have and how it is shown. Rows are constant data, so the
// names are string literals and a copy is a plain value.
struct ParameterDescription
{
    const char* name;
    const char* shortName;
    const char* thirdName;
    int16_t minValue;
    int16_t maxValue;
    uint16_t auxValue;
    uint8_t auxFlag;
    uint16_t byteOffset; // from the start of the row's section
    uint8_t byteLength;
    uint8_t bitShift; // bits skipped at the most significant end
    uint8_t bitWidth;
    bool isSigned;
    ParameterKind kind;
    int32_t displayFormat; // index into parameterValueFormatTable
    bool (*predicate)();
};

// Names one row: the group selects the table and the program section, the index the row.
struct ParameterKey
{
    int16_t group;
    int16_t index;
};
