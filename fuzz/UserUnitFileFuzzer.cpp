// Any bytes as a user-unit file of each instrument kind: validated or refused, never half-read.
#include "data/UserData.h"
#include "files/UserUnitFileReader.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File& folder) {
        (void) folder; // no writer of unit files: scripts/fuzz.sh adds a unit built by the tests
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const extensions[] = {".snvrunit", ".drvnzqunit", ".fncsrlunit"};
    const auto input = fuzzsupport::writeInput(data + 1, size - 1, extensions[data[0] % 3]);

    x47390_data::UserUnitData unit;
    if (x47390_file::UserUnitFileReader(&unit).read(input) != 0)
        fuzzsupport::require(unit.unitData.isEmpty());
    return 0;
}
