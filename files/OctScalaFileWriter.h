#pragma once

#include "files/FileWriter.h"

namespace x47390_data
{
class TuneOctData;
}

namespace x47390_file
{
// Exports a user octave as a Scala scale text (".scl", CR LF line ends): 12 degrees in whole cents
// relative to the first note, whose own pitch is written only in a closing comment.
class OctScalaFileWriter : public file::FileWriter
{
public:
    explicit OctScalaFileWriter(const x47390_data::TuneOctData* source) : record(source) {}
    ~OctScalaFileWriter() override = default;

    int write(const juce::File& file) override;

    // The text below the file-name comment line.
    static juce::MemoryBlock composeText(const x47390_data::TuneOctData& octave);

private:
    const x47390_data::TuneOctData* record;
};
} // namespace x47390_file
