// Any byte stream, split into packets by the input itself, through the MIDI parser and the reply
// classification: whole messages only, never a read past one.
#include "midi/AnalyzedInformation.h"
#include "platform/midi/MidiByteParser.h"

#include <juce_core/juce_core.h>

#include <cstdlib>

namespace
{
struct Classifier : platform::midi::MidiByteParser::Handler
{
    void shortMessageReceived(const std::uint8_t* data, size_t size) override
    {
        if (size < 1 || size > 3)
            std::abort();
        (void) data;
    }

    void sysExReceived(const std::uint8_t* data, size_t size) override
    {
        if (size < 2 || data[0] != 0xF0 || data[size - 1] != 0xF7
            || size > platform::midi::MidiByteParser::maxSysExSize)
            std::abort();
        // A private copy, so the sanitizer sees any read past the message.
        std::vector<std::uint8_t> message(data, data + size);
        (void) x47390_midi::AnalyzedInformation::analyze(message.data(), (int) message.size(), 0x0135);
    }
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (const char* folder = std::getenv("SONAVIRE_FUZZ_SEEDS"); folder != nullptr && *folder != 0)
    {
        // A packet length byte, then an identity reply, a product message and a note between them.
        const juce::File target(juce::String::fromUTF8(folder));
        target.createDirectory();
        const uint8_t seed[] = {0x05, 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x7D, 0x35, 0x01, 0x00, 0x00, 0x01, 0x00,
                                0x01, 0x00, 0xF7, 0x90, 0x3C, 0x40, 0xF0, 0x7D, 0x30, 0x00, 0x01, 0x35,
                                0x23, 0xF8, 0xF7};
        target.getChildFile("messages").replaceWithData(seed, sizeof(seed));
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte sets the packet length, so the parser meets every split.
    if (size == 0)
        return 0;
    const size_t packet = (size_t) (data[0] % 16) + 1;
    platform::midi::MidiByteParser parser;
    Classifier classifier;
    for (size_t offset = 1; offset < size; offset += packet)
        parser.parse(data + offset, std::min(packet, size - offset), classifier);

    // Every input also goes to the classification whole, as if it were one message.
    std::vector<std::uint8_t> whole(data + 1, data + size);
    (void) x47390_midi::AnalyzedInformation::analyze(whole.data(), (int) whole.size(), 0x0135);
    return 0;
}
