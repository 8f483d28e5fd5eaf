// Any bytes as a program, user-scale or user-octave file (the first byte picks which): a file that
// reads writes back and reads again to the same record; a failed read changes nothing.
#include "files/ProgramFileReader.h"
#include "files/ProgramFileWriter.h"
#include "files/TuneOctFileReader.h"
#include "files/TuneOctFileWriter.h"
#include "files/TuneScaleFileReader.h"
#include "files/TuneScaleFileWriter.h"
#include "fuzz/FuzzSupport.h"

namespace
{
using namespace x47390_file;

template <class Record, class Reader, class Writer, class Same>
void roundTrip(const uint8_t* data, size_t size, const juce::String& extension, Same same)
{
    const auto input = fuzzsupport::writeInput(data, size, extension);
    Record first;
    if (Reader(&first).read(input) != 0)
    {
        fuzzsupport::require(same(first, Record()));
        return;
    }
    const auto output = fuzzsupport::inputFile(extension, "written");
    fuzzsupport::require(Writer(&first).write(output) == 0);
    Record second;
    fuzzsupport::require(Reader(&second).read(output) == 0);
    fuzzsupport::require(same(first, second));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        using namespace x47390_data;
        ProgramData program;
        fuzzsupport::writeSeed(folder, "program", fuzzsupport::writtenFile<ProgramFileWriter>(program, ".snvrprog"), 0);
        TuneScaleData scale;
        fuzzsupport::writeSeed(folder, "scale", fuzzsupport::writtenFile<TuneScaleFileWriter>(scale, ".snvrtuns"), 1);
        TuneOctData octave;
        fuzzsupport::writeSeed(folder, "octave", fuzzsupport::writtenFile<TuneOctFileWriter>(octave, ".snvrtuno"), 2);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    using namespace x47390_data;
    switch (data[0] % 3)
    {
    case 0:
        roundTrip<ProgramData, ProgramFileReader, ProgramFileWriter>(data + 1, size - 1, ".snvrprog",
                                                                    fuzzsupport::sameProgram);
        break;
    case 1:
        roundTrip<TuneScaleData, TuneScaleFileReader, TuneScaleFileWriter>(data + 1, size - 1, ".snvrtuns",
                                                                          fuzzsupport::sameTuneScale);
        break;
    default:
        roundTrip<TuneOctData, TuneOctFileReader, TuneOctFileWriter>(data + 1, size - 1, ".snvrtuno",
                                                                    fuzzsupport::sameTuneOct);
        break;
    }
    return 0;
}
