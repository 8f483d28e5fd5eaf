#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class PresetData;
}

namespace x47390_file
{
// Reads a preset file (".snvrpreset", ".isnvrpreset"): one preset-information member and 500 programs.
class PresetFileReader : public file::FileReader
{
public:
    explicit PresetFileReader(x47390_data::PresetData* target);
    ~PresetFileReader() override;

    // The codes of the library-type parse, or 22 when the file holds no preset information; then the
    // target is left reset (initial programs, empty information). Other failures leave it untouched.
    int read(const juce::File& file) override;

private:
    x47390_data::PresetData* record;
};
} // namespace x47390_file
