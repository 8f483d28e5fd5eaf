#pragma once

#include <boost/property_tree/ptree.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The unit header record that a user-unit manifest describes: 1024 bytes, little-endian numbers.
// Its first 1020 bytes lead the unit blob that the slot records carry and the instrument receives.
using UnitHeaderRecord = std::array<std::uint8_t, 1024>;

namespace unitheader
{
constexpr size_t moduleWordOffset = 0;
constexpr size_t apiVersionOffset = 2;
constexpr size_t developerIdOffset = 6;
constexpr size_t programIdOffset = 10;
constexpr size_t unitVersionOffset = 14;
constexpr size_t nameOffset = 18;
constexpr size_t nameFieldSize = 14;
constexpr size_t maxNameLength = 13;
constexpr size_t numParamOffset = 32;
constexpr size_t paramsOffset = 36;
constexpr size_t paramSize = 16;
constexpr size_t paramNameOffset = 3;
// Descriptors that fit whole in the record.
constexpr std::uint32_t maxNumParams = (std::tuple_size<UnitHeaderRecord>::value - paramsOffset) / paramSize;
// Bytes of the record that go into the unit blob, and the zero bytes that end the blob.
constexpr size_t blobHeaderSize = 1020;
constexpr size_t blobTrailerSize = 132;
constexpr int oscModuleIndex = 4;
} // namespace unitheader

extern const std::vector<std::string> unitPlatformNames;
extern const std::vector<std::string> unitModuleNames;
extern const std::vector<std::string> unitParamTypeNames;

// First four payload bytes of each module, by module index.
extern const std::string unitPayloadMagics;

// Turns a parsed manifest into a unit header record; nothing when the manifest is invalid, with the
// reason in message. PropertyTree keeps every JSON value as text, so the type and range rules are
// applied to the text.
std::unique_ptr<UnitHeaderRecord> validateUnitManifest(const boost::property_tree::ptree& manifest,
                                                       std::string& message);

// "major.minor-patch" of a packed unit or API version, each number limited to 99.
std::string makeVersionText(std::uint8_t major, std::uint8_t minor, std::uint8_t patch);
