#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class TuneScaleData;
}

namespace x47390_file
{
// Reads the notes of the first user scale of a file, ours or a sibling instrument's; the texts stay.
class TuneScaleFileReader : public file::FileReader
{
public:
    explicit TuneScaleFileReader(x47390_data::TuneScaleData* target) : record(target) {}
    ~TuneScaleFileReader() override = default;

    int read(const juce::File& file) override;

private:
    x47390_data::TuneScaleData* record;
};
} // namespace x47390_file
