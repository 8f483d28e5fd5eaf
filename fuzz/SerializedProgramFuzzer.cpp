// Any bytes as a program in its clipboard form: a successful read serialises back to a form that
// reads to the same program; a failed read leaves the program unchanged.
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        x47390_data::ProgramData program;
        program.information.programmer = "Seed";
        fuzzsupport::writeSeed(folder, "program", program.serialize());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    x47390_data::ProgramData first;
    data::SerializedData bytes(data, size);
    if (!first.deserialize(bytes))
    {
        fuzzsupport::require(fuzzsupport::sameProgram(first, x47390_data::ProgramData()));
        return 0;
    }
    x47390_data::ProgramData second;
    fuzzsupport::require(second.deserialize(first.serialize()));
    fuzzsupport::require(fuzzsupport::sameProgram(first, second));
    return 0;
}
