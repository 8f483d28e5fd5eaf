#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class ProgramData;
}

namespace x47390_file
{
// Writes a program file (".snvrprog").
class ProgramFileWriter : public file::FileWriter
{
public:
    explicit ProgramFileWriter(x47390_data::ProgramData* target) : record(target) {}
    ~ProgramFileWriter() override = default;

    int write(const juce::File& file) override;

private:
    x47390_data::ProgramData* record;
};
} // namespace x47390_file
