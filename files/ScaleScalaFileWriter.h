#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class TuneScaleData;
}

namespace x47390_file
{
// Exports a user scale as a Scala scale text (".scl", CR LF line ends): 128 degrees in whole cents
// relative to note 0, whose own pitch is written only in a closing comment.
class ScaleScalaFileWriter : public file::FileWriter
{
public:
    explicit ScaleScalaFileWriter(const x47390_data::TuneScaleData* source) : record(source) {}
    ~ScaleScalaFileWriter() override = default;

    int write(const juce::File& file) override;

    // The text below the file-name comment line.
    static juce::MemoryBlock composeText(const x47390_data::TuneScaleData& scale);

private:
    const x47390_data::TuneScaleData* record;
};
} // namespace x47390_file
