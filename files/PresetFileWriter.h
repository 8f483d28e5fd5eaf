#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class PresetData;
}

namespace x47390_file
{
// Writes a preset library as a preset file: its preset information and all 500 programs, whatever
// NumOfProg says.
class PresetFileWriter : public file::FileWriter
{
public:
    explicit PresetFileWriter(const x47390_data::PresetData* source);
    ~PresetFileWriter() override;

    // A write-error index; a failed write leaves a previous file of that name as it was.
    int write(const juce::File& file) override;

private:
    const x47390_data::PresetData* record;
};
} // namespace x47390_file
