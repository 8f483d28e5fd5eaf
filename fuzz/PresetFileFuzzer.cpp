// Any bytes as a preset file: a file that reads writes back and reads again to the same library.
#include "files/PresetFileReader.h"
#include "files/PresetFileWriter.h"
#include "fuzz/FuzzSupport.h"

namespace
{
bool samePreset(const x47390_data::PresetData& a, const x47390_data::PresetData& b)
{
    const auto& x = a.information;
    const auto& y = b.information;
    if (x.dataID != y.dataID || x.name != y.name || x.author != y.author || x.copyright != y.copyright
        || x.date != y.date || x.prefix != y.prefix || x.version != y.version || x.numOfProg != y.numOfProg)
        return false;
    for (size_t i = 0; i < a.programs.size(); ++i)
        if (!fuzzsupport::sameProgram(a.programs[i], b.programs[i]))
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        auto preset = std::make_unique<x47390_data::PresetData>();
        preset->information.dataID = "SeedPresets";
        preset->information.name = "Seed";
        preset->information.version = 1;
        preset->information.numOfProg = 500;
        fuzzsupport::writeSeed(folder, "preset",
                               fuzzsupport::writtenFile<x47390_file::PresetFileWriter, const x47390_data::PresetData>(*preset, ".snvrpreset"));
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace x47390_file;
    const auto input = fuzzsupport::writeInput(data, size, ".snvrpreset");
    auto first = std::make_unique<x47390_data::PresetData>();
    if (PresetFileReader(first.get()).read(input) != 0)
        return 0;

    const auto output = fuzzsupport::inputFile(".snvrpreset", "written");
    fuzzsupport::require(PresetFileWriter(first.get()).write(output) == 0);
    auto second = std::make_unique<x47390_data::PresetData>();
    fuzzsupport::require(PresetFileReader(second.get()).read(output) == 0);
    fuzzsupport::require(samePreset(*first, *second));
    return 0;
}
