// Writes the factory preset library with the program's own preset writer, at build time:
// 500 programs made from the initial program, under our own names.
#include "data/PresetData.h"
#include "files/PresetFileWriter.h"

#include <cstdio>
#include <memory>

namespace
{
// Short words, so that "<colour> <kind> <n>" fits the 12-character program name.
const char* const colours[] = {"Warm", "Glass", "Dusty", "Neon", "Amber", "Frost", "Iron", "Silk", "Pale", "Deep"};
const char* const kinds[] = {"Pad", "Lead", "Bass", "Keys", "Bell", "Arp", "Poly", "Sub", "Wire", "Horn"};
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <output .snvrpreset>\n", argv[0]);
        return 2;
    }

    auto preset = std::make_unique<x47390_data::PresetData>();
    auto& information = preset->information;
    information.dataID = "SNVR-FACTORY-0001";
    information.name = "Factory Library";
    information.author = "sonavire Sound Librarian";
    information.copyright = "Free to use and share";
    information.date = "2026-12-10";
    information.prefix = "F";
    information.version = 1;
    information.numOfProg = x47390_data::PresetData::numPrograms;

    int number = 0;
    for (auto& program : preset->programs)
    {
        const char* colour = colours[(number / 50) % 10];
        const char* kind = kinds[(number / 5) % 10];
        program.binary = x47390_data::initProgramTemplate;
        program.setName(juce::String(colour) + " " + kind + " " + juce::String(number % 5 + 1));
        program.information.programmer = "Factory";
        program.information.comment = "A starting point for " + juce::String(kind).toLowerCase() + " sounds.";
        program.updateHash();
        ++number;
    }

    const juce::File output(juce::File::getCurrentWorkingDirectory().getChildFile(juce::String::fromUTF8(argv[1])));
    const int result = x47390_file::PresetFileWriter(preset.get()).write(output);
    if (result != 0)
    {
        std::fprintf(stderr, "could not write %s (write error %d)\n", argv[1], result);
        return 1;
    }
    return 0;
}
