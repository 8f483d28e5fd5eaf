#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The instrument's 23 built-in tunings as user scales, indexed like a program's tuning byte 0 to 22.
// Each template is 128 note entries of 3 bytes (semitone, fraction high 7 bits, fraction low 7 bits).
constexpr int numFactoryScaleTemplates = 23;
constexpr int factoryScaleTemplateSize = 384;

using FactoryScaleTemplate = std::array<std::uint8_t, factoryScaleTemplateSize>;
using FactoryScaleTemplateTable = std::array<FactoryScaleTemplate, numFactoryScaleTemplates>;

extern const FactoryScaleTemplateTable factoryScaleTemplates;
