#include "data/ParameterValueText.h"

#include "data/ParameterTables.h"
#include "data/ParameterValueFormat.h"
#include "data/ProgramData.h"

static_assert(packedProgramSize == x47390_data::programBinarySize);

bool getParameterDescription(const uint8_t*, ParameterKey key, ParameterDescription& out)
{
    if (key.index < 0 || key.group < 0 || key.group >= parameterGroupCount)
        return false;
    const ParameterTable& table = parameterTableList[key.group];
    if (table.rows == nullptr || key.index >= table.count)
        return false;
    out = table.rows[key.index];
    return true;
}

const ParameterDescriptionGetter parameterDescriptionGetters[6] = {
    getParameterDescription, getParameterDescription, getParameterDescription, nullptr, nullptr, nullptr};

int16_t getPackedParameterValue(const uint8_t* data, int section, const ParameterDescription& description)
{
    return getPackedParameterValue(data, packedProgramSize, section, description);
}

int16_t getPackedParameterValue(const uint8_t* data, size_t size, int section, const ParameterDescription& description)
{
    const auto sectionNumber = static_cast<uint16_t>(section);
    if (sectionNumber >= parameterGroupCount)
        return 0;
    const PackedDataSection& range = packedDataSectionTable[sectionNumber];
    const int end = description.byteOffset + description.byteLength;
    if (end > range.size || range.start + end > static_cast<long long>(size))
        return 0;
    if (data == nullptr || description.byteLength > 4)
        return 0;

    // The first byte is the most significant.
    uint32_t v = 0;
    const uint8_t* bytes = data + range.start + description.byteOffset;
    for (int i = 0; i < description.byteLength; ++i)
        v = (v << 8) | bytes[i];

    const int rest = 8 * description.byteLength - (description.bitShift + description.bitWidth);
    if (rest < 0)
        return 0;
    v = rest >= 32 ? 0 : v >> rest;

    const int width = description.bitWidth;
    if (width < 32)
    {
        const uint32_t mask = width == 0 ? 0 : (uint32_t(1) << width) - 1;
        v &= mask;
        if (description.isSigned && width > 0 && (v & (uint32_t(1) << (width - 1))) != 0)
            v |= ~mask;
    }
    return static_cast<int16_t>(v & 0xFFFF);
}

int16_t getPackedParameterValue(const x47390_data::ProgramData& program, int section,
                                const ParameterDescription& description)
{
    return getPackedParameterValue(program.binary.data(), program.binary.size(), section, description);
}

std::string getParameterValueText(const ParameterDescription& description, int value)
{
    if (description.displayFormat < 0 || description.displayFormat >= parameterValueFormatCount)
        return {};
    const ParameterValueFormat& format = parameterValueFormatTable[description.displayFormat];

    auto v = static_cast<int16_t>(value);
    if (v < description.minValue)
        v = description.minValue;
    else if (v > description.maxValue)
        v = description.maxValue;
    if (description.displayFormat == 18)
        v = static_cast<int16_t>(v + 1);

    if (format.formatter != nullptr)
        return format.formatter(v);
    if (format.valueNames != nullptr)
    {
        const int index = v - description.minValue;
        if (index < 0 || index >= format.valueNameCount)
            return {}; // a row whose range is wider than its list of names
        return format.valueNames[index];
    }
    return {};
}
