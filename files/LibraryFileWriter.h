#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class LibraryData;
}

namespace x47390_file
{
// Writes a library file: the live set, 500 programs, 6 user scales and 6 user octaves.
class LibraryFileWriter : public file::FileWriter
{
public:
    explicit LibraryFileWriter(x47390_data::LibraryData* target) : record(target) {}
    ~LibraryFileWriter() override = default;

    int write(const juce::File& file) override;

private:
    x47390_data::LibraryData* record;
};
} // namespace x47390_file
