#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class TuneOctData;
}

namespace x47390_file
{
// Reads the notes of the first user octave of a file, ours or a sibling instrument's; the texts stay.
class TuneOctFileReader : public file::FileReader
{
public:
    explicit TuneOctFileReader(x47390_data::TuneOctData* target) : record(target) {}
    ~TuneOctFileReader() override = default;

    int read(const juce::File& file) override;

private:
    x47390_data::TuneOctData* record;
};
} // namespace x47390_file
