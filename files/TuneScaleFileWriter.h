#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class TuneScaleData;
}

namespace x47390_file
{
// Writes a user-scale file (".snvrtuns").
class TuneScaleFileWriter : public file::FileWriter
{
public:
    explicit TuneScaleFileWriter(x47390_data::TuneScaleData* target) : record(target) {}
    ~TuneScaleFileWriter() override = default;

    int write(const juce::File& file) override;

private:
    x47390_data::TuneScaleData* record;
};
} // namespace x47390_file
