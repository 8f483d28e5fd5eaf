// Any text as a Scala scale or keyboard map (the first byte picks which, and the slot): an import that
// fails leaves the library's tuning slot as it was.
#include "data/DataCenter.h"
#include "data/TuningSelection.h"
#include "files/ScalaDataImporter.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise([](const juce::File&) {}); // the script adds the real Scala files
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    using x47390_file::ScalaDataImporter;
    const uint8_t selector = data[0];
    currentTuningSlot = (std::uint8_t) (selector % 12);

    if (selector & 0x80)
    {
        const auto map = fuzzsupport::writeInput(data + 1, size - 1, ".kbm");
        const int result = ScalaDataImporter::importKeyboardMap(map);
        fuzzsupport::require(result == 0 || result == 1 || result == 33);
        return 0;
    }

    auto& library = x47390_data::DataCenter::getInstance()->getLibraryData();
    const int slot = currentTuningSlot;
    auto slotBytes = [&]
    {
        if (slot < 6)
        {
            const auto& notes = library.getTuneOctData(slot).notes;
            return std::vector<uint8_t>(notes.begin(), notes.end());
        }
        const auto& notes = library.getTuneScaleData(slot - 6).notes;
        return std::vector<uint8_t>(notes.begin(), notes.end());
    };
    const auto before = slotBytes();

    const auto scale = fuzzsupport::writeInput(data + 1, size - 1, ".scl");
    const int result = ScalaDataImporter().read(scale);
    fuzzsupport::require(result == 0 || result == 1 || result == 32);
    const auto after = slotBytes();
    if (result != 0)
        fuzzsupport::require(after == before);
    for (auto byte : after)
        fuzzsupport::require(byte < 0x80); // every note byte stays a MIDI data byte
    return 0;
}
