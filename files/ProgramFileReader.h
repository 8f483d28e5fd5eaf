#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class ProgramData;
}

namespace x47390_file
{
// Reads the first program of a library-type file (".snvrprog", or a library's program 0).
class ProgramFileReader : public file::FileReader
{
public:
    explicit ProgramFileReader(x47390_data::ProgramData* target) : record(target) {}
    ~ProgramFileReader() override = default;

    int read(const juce::File& file) override;

private:
    x47390_data::ProgramData* record;
};
} // namespace x47390_file
