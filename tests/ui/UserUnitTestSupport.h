#pragma once

#include "data/UserData.h"
#include "tests/ui/ListTestSupport.h"
#include "files/MemoryBasedZipBuilder.h"

#include <cstring>
#include <map>
#include <string>

namespace unittest
{
// A slot entry as loading a unit file builds it: module word, API version, unit version and name in
// the header, a payload of 64 bytes starting with that header.
template <class Entry = x47390_data::UserOscData>
Entry unitEntry(int module, juce::uint32 api, juce::uint32 version, const char* name, int state = 2)
{
    juce::MemoryBlock payload(64, true);
    auto* bytes = static_cast<juce::uint8*>(payload.getData());
    bytes[0] = (juce::uint8) module;
    for (int i = 0; i < 4; ++i)
    {
        bytes[2 + i] = (juce::uint8) (api >> (8 * i));
        bytes[14 + i] = (juce::uint8) (version >> (8 * i));
    }
    std::memcpy(bytes + 18, name, std::min<size_t>(std::strlen(name), 14));
    Entry entry;
    entry.setLoadedUnit(payload);
    entry.state = state;
    return entry;
}

// An oscillator entry told apart by its name.
inline x47390_data::UserOscData namedOsc(const juce::String& name)
{
    return unitEntry(4, 0x010000, 0x010200, name.toRawUTF8());
}
// Writes a user-unit file of the sonavire for a module ("osc", "modfx", "delfx", "revfx") whose unit
// carries the given name.
inline bool writeUnitFile(const juce::File& file, const std::string& module, const std::string& name)
{
    static const std::map<std::string, std::string> magics{
        {"modfx", "UMOD"}, {"delfx", "UDEL"}, {"revfx", "UREV"}, {"osc", "UOSC"}};
    const std::string manifest = R"({"header": {"platform": "sonavire", "module": ")" + module
                                 + R"(", "api": "1.2-3", "dev_id": 42, "prg_id": 7, "version": "1.0-5", "name": ")"
                                 + name + R"(", "num_param": 0}})";
    const std::string payload = magics.at(module) + std::string(60, 'Z');
    MemoryBasedZipBuilder builder;
    builder.addEntry("unit/manifest.json", juce::MemoryBlock(manifest.data(), manifest.size()));
    builder.addEntry("unit/payload.bin", juce::MemoryBlock(payload.data(), payload.size()));
    file.deleteFile();
    juce::FileOutputStream out(file);
    return out.openedOk() && builder.writeToStream(out);
}

// The list fixture with oscillator slots that hold units named after their slot ("U0" to "U15").
class OscillatorSlotsFixture : public ListFixture
{
protected:
    static void fillOscillators()
    {
        for (int slot = 0; slot < 16; ++slot)
            userData().oscillators[(size_t) slot] = namedOsc("U" + juce::String(slot));
    }

    // The unit names in the given slots.
    static std::vector<juce::String> oscNames(std::initializer_list<int> slots)
    {
        std::vector<juce::String> names;
        for (int slot : slots)
            names.push_back(userData().oscillators[(size_t) slot].getUnitName());
        return names;
    }

    // The names of the given units, to compare with oscNames.
    static std::vector<juce::String> names(std::initializer_list<int> units)
    {
        std::vector<juce::String> result;
        for (int unit : units)
            result.push_back("U" + juce::String(unit));
        return result;
    }
};
} // namespace unittest
