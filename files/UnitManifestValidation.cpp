#include "files/UnitManifestValidation.h"

#include <boost/regex.hpp>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

const std::vector<std::string> unitPlatformNames{"sonavire", "dorvantin-zq", "fennoc-sirelle"};
const std::vector<std::string> unitModuleNames{"global", "modfx", "delfx", "revfx", "osc"};
const std::vector<std::string> unitParamTypeNames{"%", ""};
const std::string unitPayloadMagics = "UGLBUMODUDELUREVUOSC";

namespace
{
using boost::property_tree::ptree;

// A value must be a plain JSON value: an object or array where text is expected does not convert.
std::optional<std::string> leafText(const ptree& node)
{
    if (!node.empty())
        return std::nullopt;
    return node.data();
}

std::optional<std::string> textAt(const ptree& tree, const char* path)
{
    const auto child = tree.get_child_optional(path);
    if (!child)
        return std::nullopt;
    return leafText(*child);
}

// Decimal digits only, as JSON writes a non-negative integer; no sign, fraction or exponent.
std::optional<std::uint64_t> parseDigits(const std::string& text, std::uint64_t limit)
{
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text)
    {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> parseUnsigned32(const std::string& text)
{
    const auto value = parseDigits(text, std::numeric_limits<std::uint32_t>::max());
    if (!value)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::optional<int> parseInt(const std::string& text)
{
    if (!text.empty() && text[0] == '-')
    {
        const auto magnitude =
            parseDigits(text.substr(1), static_cast<std::uint64_t>(std::numeric_limits<int>::max()) + 1);
        if (!magnitude)
            return std::nullopt;
        return static_cast<int>(-static_cast<std::int64_t>(*magnitude));
    }
    const auto value = parseDigits(text, static_cast<std::uint64_t>(std::numeric_limits<int>::max()));
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

void putLE16(UnitHeaderRecord& record, size_t offset, std::uint32_t value)
{
    record[offset] = static_cast<std::uint8_t>(value & 0xFF);
    record[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void putLE32(UnitHeaderRecord& record, size_t offset, std::uint32_t value)
{
    putLE16(record, offset, value & 0xFFFF);
    putLE16(record, offset + 2, value >> 16);
}

int indexIn(const std::vector<std::string>& names, const std::string& text)
{
    const auto found = std::find(names.begin(), names.end(), text);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

// "major.minor-patch", each 0 to 99, packed as major << 16 | minor << 8 | patch.
std::optional<std::uint32_t> parseVersion(const std::string& text)
{
    static const boost::regex pattern("([0-9]+)[.]([0-9]+)-([0-9]+)");
    boost::smatch match;
    if (!boost::regex_match(text, match, pattern))
        return std::nullopt;
    std::uint32_t packed = 0;
    for (int group = 1; group <= 3; ++group)
    {
        const auto number = parseInt(match.str(group));
        if (!number || *number > 99)
            return std::nullopt;
        packed = (packed << 8) | static_cast<std::uint32_t>(*number);
    }
    return packed;
}

// Printable ASCII, at least one character; longer names keep their first 13.
std::optional<std::string> parseName(const std::string& text)
{
    static const boost::regex pattern("([\\x20-\\x7E]+)");
    if (!boost::regex_match(text, pattern))
        return std::nullopt;
    return text.substr(0, unitheader::maxNameLength);
}

void putName(UnitHeaderRecord& record, size_t offset, const std::string& name)
{
    std::copy(name.begin(), name.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
    record[offset + name.size()] = 0;
}

bool fail(std::string& message, const std::string& text)
{
    message = text;
    return false;
}

bool validateParameters(const ptree& manifest, std::uint32_t numParams, UnitHeaderRecord& record, std::string& message)
{
    const auto params = manifest.get_child_optional("header.params");
    if (!params)
        return fail(message, "Missing header.params.");
    if (params->size() != numParams)
        return fail(message, "The number of parameters does not match header.num_param.");

    size_t offset = unitheader::paramsOffset;
    for (const auto& element : *params)
    {
        const ptree& descriptor = element.second;
        if (descriptor.size() != 4)
            return fail(message, "A parameter does not have exactly four values.");

        std::optional<std::string> values[4];
        int position = 0;
        for (const auto& value : descriptor)
            values[position++] = leafText(value.second);

        const auto name = values[0] ? parseName(*values[0]) : std::nullopt;
        if (!name)
            return fail(message, "Invalid parameter name.");
        const auto minimum = values[1] ? parseInt(*values[1]) : std::nullopt;
        if (!minimum || *minimum < -100 || *minimum > 100)
            return fail(message, "Invalid parameter minimum.");
        const auto maximum = values[2] ? parseInt(*values[2]) : std::nullopt;
        if (!maximum || *maximum < -100 || *maximum > 100)
            return fail(message, "Invalid parameter maximum.");
        const int type = values[3] ? indexIn(unitParamTypeNames, *values[3]) : -1;
        if (type < 0)
            return fail(message, "Invalid parameter type.");

        record[offset] = static_cast<std::uint8_t>(static_cast<std::int8_t>(*minimum));
        record[offset + 1] = static_cast<std::uint8_t>(static_cast<std::int8_t>(*maximum));
        record[offset + 2] = static_cast<std::uint8_t>(type == 1 ? 2 : (*minimum < 0 ? 1 : 0));
        // A 13-character name's terminator lands on the next descriptor's first byte, which that
        // descriptor then overwrites; the last one stays inside the record.
        putName(record, offset + unitheader::paramNameOffset, *name);
        offset += unitheader::paramSize;
    }
    return true;
}

bool validateInto(const ptree& manifest, UnitHeaderRecord& record, std::string& message)
{
    const auto platformText = textAt(manifest, "header.platform");
    const int platform = platformText ? indexIn(unitPlatformNames, *platformText) : -1;
    if (platform < 0)
        return fail(message, "Invalid or missing header.platform.");

    const auto moduleText = textAt(manifest, "header.module");
    const int module = moduleText ? indexIn(unitModuleNames, *moduleText) : -1;
    if (module < 0)
        return fail(message, "Invalid or missing header.module.");
    putLE16(record, unitheader::moduleWordOffset,
            (static_cast<std::uint32_t>(platform + 1) << 8) | static_cast<std::uint32_t>(module));

    const auto apiText = textAt(manifest, "header.api");
    const auto api = apiText ? parseVersion(*apiText) : std::nullopt;
    if (!api)
        return fail(message, "Invalid or missing header.api.");
    putLE32(record, unitheader::apiVersionOffset, *api);

    const auto developerText = textAt(manifest, "header.dev_id");
    const auto developer = developerText ? parseUnsigned32(*developerText) : std::nullopt;
    if (!developer)
        return fail(message, "Invalid or missing header.dev_id.");
    putLE32(record, unitheader::developerIdOffset, *developer);

    const auto programText = textAt(manifest, "header.prg_id");
    const auto program = programText ? parseUnsigned32(*programText) : std::nullopt;
    if (!program)
        return fail(message, "Invalid or missing header.prg_id.");
    putLE32(record, unitheader::programIdOffset, *program);

    const auto versionText = textAt(manifest, "header.version");
    const auto version = versionText ? parseVersion(*versionText) : std::nullopt;
    if (!version)
        return fail(message, "Invalid or missing header.version.");
    putLE32(record, unitheader::unitVersionOffset, *version);

    const auto nameText = textAt(manifest, "header.name");
    const auto name = nameText ? parseName(*nameText) : std::nullopt;
    if (!name)
        return fail(message, "Invalid or missing header.name.");
    putName(record, unitheader::nameOffset, *name);

    if (module != unitheader::oscModuleIndex)
        return true;

    const auto numParamText = textAt(manifest, "header.num_param");
    const auto numParams = numParamText ? parseUnsigned32(*numParamText) : std::nullopt;
    if (!numParams)
        return fail(message, "Invalid or missing header.num_param.");
    // More descriptors than the record holds would run past its end.
    if (*numParams > unitheader::maxNumParams)
        return fail(message, "Too many parameters.");
    putLE32(record, unitheader::numParamOffset, *numParams);
    if (*numParams == 0)
        return true;
    return validateParameters(manifest, *numParams, record, message);
}
} // namespace

std::unique_ptr<UnitHeaderRecord> validateUnitManifest(const boost::property_tree::ptree& manifest,
                                                       std::string& message)
{
    try
    {
        auto record = std::make_unique<UnitHeaderRecord>();
        record->fill(0);
        if (!validateInto(manifest, *record, message))
            return nullptr;
        message.clear();
        return record;
    }
    catch (const std::exception& e)
    {
        message = e.what();
    }
    catch (...)
    {
        message = "Unknown error while validating the manifest.";
    }
    return nullptr;
}

std::string makeVersionText(std::uint8_t major, std::uint8_t minor, std::uint8_t patch)
{
    const auto limited = [](std::uint8_t value) { return static_cast<unsigned>(std::min<std::uint8_t>(value, 99)); };
    char text[16];
    std::snprintf(text, sizeof(text), "%u.%02u-%u", limited(major), limited(minor), limited(patch));
    return text;
}
