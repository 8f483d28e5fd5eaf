#pragma once

#include "files/MemoryBasedZipBuilder.h"

#include <juce_core/juce_core.h>

#include <string>
#include <vector>

// User-unit files made by tests: zip archives of a manifest and a payload.
namespace unittest
{
struct Member
{
    juce::String name;
    std::string bytes;
};

inline std::string manifestFor(const std::string& platform, const std::string& module)
{
    return R"({"header": {"platform": ")" + platform + R"(", "module": ")" + module +
           R"(", "api": "1.2-3", "dev_id": 42, "prg_id": 7, "version": "1.0-5", "name": "Test Unit", "num_param": 0}})";
}

inline bool writeUnitFile(const juce::File& file, const std::vector<Member>& members)
{
    MemoryBasedZipBuilder builder;
    for (const auto& member : members)
        builder.addEntry(member.name, juce::MemoryBlock(member.bytes.data(), member.bytes.size()));
    juce::FileOutputStream out(file);
    return out.openedOk() && builder.writeToStream(out);
}

// A valid unit of the instrument for one module name ("osc", "modfx", "delfx", "revfx", ...).
inline bool writeUnitFile(const juce::File& file, const std::string& module)
{
    return writeUnitFile(file, {{"unit/manifest.json", manifestFor("sonavire", module)},
                                {"unit/payload.bin", std::string("UNIT") + std::string(60, '\x5A')}});
}
} // namespace unittest
