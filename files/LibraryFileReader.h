#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class LibraryData;
}

namespace x47390_file
{
// Reads a library file (".snvrlib") into a fresh library record; also takes a program or tuning file.
class LibraryFileReader : public file::FileReader
{
public:
    explicit LibraryFileReader(x47390_data::LibraryData* target) : record(target) {}
    ~LibraryFileReader() override = default;

    int read(const juce::File& file) override;

private:
    x47390_data::LibraryData* record;
};
} // namespace x47390_file
