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

// A valid unit of the instrument for one module: "global", "modfx", "delfx", "revfx" or "osc". Its payload
// starts with the module's magic word.
inline bool writeUnitFile(const juce::File& file, const std::string& module)
{
    const std::vector<std::pair<std::string, std::string>> magics{
        {"global", "UGLB"}, {"modfx", "UMOD"}, {"delfx", "UDEL"}, {"revfx", "UREV"}, {"osc", "UOSC"}};
    std::string magic;
    for (const auto& [name, word] : magics)
        if (name == module)
            magic = word;
    return writeUnitFile(file, {{"unit/manifest.json", manifestFor("sonavire", module)},
                                {"unit/payload.bin", magic + std::string(60, '\x5A')}});
}
} // namespace unittest
