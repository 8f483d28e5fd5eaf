#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class TuneOctData;
}

namespace x47390_file
{
// Writes a user-octave file (".snvrtuno").
class TuneOctFileWriter : public file::FileWriter
{
public:
    explicit TuneOctFileWriter(x47390_data::TuneOctData* target) : record(target) {}
    ~TuneOctFileWriter() override = default;

    int write(const juce::File& file) override;

private:
    x47390_data::TuneOctData* record;
};
} // namespace x47390_file
