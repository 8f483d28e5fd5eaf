// sonavire-simulator: serves a simulated instrument on a MIDI bridge socket, so the program can
// be run against it with SONAVIRE_MIDI_BRIDGE=<socket path>.
#include "tools/simulator/BridgeInstrumentServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{
volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int)
{
    stopRequested = 1;
}

void usage(std::FILE* out = stderr)
{
    std::fprintf(out,
                 "usage: sonavire-simulator <socket path> [options]\n"
                 "Serves a simulated sonavire on a Unix socket at the path. The program talks to it in place\n"
                 "of the ALSA sequencer when started with SONAVIRE_MIDI_BRIDGE set to the same path:\n"
                 "  sonavire-simulator /tmp/sonavire.sock\n"
                 "  SONAVIRE_MIDI_BRIDGE=/tmp/sonavire.sock sonavire-sound-librarian\n"
                 "Options:\n"
                 "  --name <text>            device name sent on connection (default sonavire)\n"
                 "  --channel <0-15>         the instrument's MIDI channel\n"
                 "  --reply-delay <ms>       delay of every answer\n"
                 "  --manufacturer <n>       identity: manufacturer byte (default 0x7D)\n"
                 "  --family <n>             identity: family code (default 0x0135)\n"
                 "  --member <n>             identity: member code (default 0)\n"
                 "  --revision <a,b,c,d>     identity: bytes 10 to 13 (default 1,1,0,0)\n"
                 "  --realtime               put F8 and FE bytes inside longer answers\n"
                 "  --chunk <n>              write answers in pieces of n bytes\n"
                 "  --fault <kind>:<n>:<f>   the n-th message of a kind (0: every one) gets fault f:\n"
                 "                           nak, silence, truncated, usererror, duplicated or\n"
                 "                           misnumbered; kinds:\n"
                 "                           identityRequest searchRequest programRequest liveSetRequest\n"
                 "                           scaleRequest octaveRequest programWrite scaleWrite octaveWrite\n"
                 "                           liveSetWrite currentProgram currentScale currentOctave\n"
                 "                           userSlotHeaderRequest userSlotMove userSlotClear userSlotUpload\n"
                 "  --stop-at <kind>:<n>     from the n-th message of a kind on, answer nothing at all\n"
                 "  --late <kind>:<n>:<ms>   answer the n-th message of a kind ms later than the others\n");
}

bool parseFault(const std::string& text, simulator::SimulatedInstrument& instrument)
{
    const auto first = text.find(':');
    const auto second = text.find(':', first == std::string::npos ? first : first + 1);
    if (first == std::string::npos || second == std::string::npos)
        return false;
    simulator::MessageKind kind;
    if (!simulator::messageKindFromString(text.substr(0, first), kind))
        return false;
    const int nth = std::atoi(text.substr(first + 1, second - first - 1).c_str());
    const std::string name = text.substr(second + 1);
    simulator::Fault fault;
    if (name == "nak")
        fault = simulator::Fault::nak;
    else if (name == "silence")
        fault = simulator::Fault::silence;
    else if (name == "truncated")
        fault = simulator::Fault::truncated;
    else if (name == "usererror")
        fault = simulator::Fault::userError;
    else if (name == "duplicated")
        fault = simulator::Fault::duplicated;
    else if (name == "misnumbered")
        fault = simulator::Fault::misnumbered;
    else
        return false;
    instrument.injectFault(kind, nth, fault);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        usage(stdout);
        return 0;
    }
    if (argc < 2 || argv[1][0] == '-')
    {
        usage();
        return 2;
    }
    const std::string path = argv[1];
    std::string name = "sonavire";
    size_t chunk = 0;
    simulator::SimulatedInstrument instrument;
    auto identity = instrument.getIdentity();

    for (int i = 2; i < argc; ++i)
    {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        const char* value = hasValue ? argv[i + 1] : "";
        if (option == "--realtime")
        {
            instrument.setRealTimeBytesInReplies(true);
            continue;
        }
        if (!hasValue)
        {
            usage();
            return 2;
        }
        ++i;
        if (option == "--name")
            name = value;
        else if (option == "--channel")
            instrument.setChannel(std::atoi(value));
        else if (option == "--reply-delay")
            instrument.setReplyDelayMs((std::uint32_t) std::strtoul(value, nullptr, 0));
        else if (option == "--manufacturer")
            identity.manufacturer = (std::uint8_t) std::strtoul(value, nullptr, 0);
        else if (option == "--family")
            identity.family = (int) std::strtol(value, nullptr, 0);
        else if (option == "--member")
            identity.member = (int) std::strtol(value, nullptr, 0);
        else if (option == "--revision")
        {
            unsigned a = 0, b = 0, c = 0, d = 0;
            if (std::sscanf(value, "%u,%u,%u,%u", &a, &b, &c, &d) != 4)
            {
                usage();
                return 2;
            }
            identity.revision = {{(std::uint8_t) a, (std::uint8_t) b, (std::uint8_t) c, (std::uint8_t) d}};
        }
        else if (option == "--chunk")
            chunk = (size_t) std::strtoul(value, nullptr, 0);
        else if (option == "--stop-at")
        {
            const std::string text = value;
            const auto colon = text.find(':');
            simulator::MessageKind kind;
            if (colon == std::string::npos || !simulator::messageKindFromString(text.substr(0, colon), kind))
            {
                usage();
                return 2;
            }
            instrument.stopAnsweringAt(kind, std::atoi(text.substr(colon + 1).c_str()));
        }
        else if (option == "--late")
        {
            const std::string text = value;
            const auto first = text.find(':');
            const auto second = first == std::string::npos ? first : text.find(':', first + 1);
            simulator::MessageKind kind;
            if (second == std::string::npos || !simulator::messageKindFromString(text.substr(0, first), kind))
            {
                usage();
                return 2;
            }
            instrument.answerLate(kind, std::atoi(text.substr(first + 1, second - first - 1).c_str()),
                                  (std::uint32_t) std::strtoul(text.substr(second + 1).c_str(), nullptr, 0));
        }
        else if (option == "--fault")
        {
            if (!parseFault(value, instrument))
            {
                usage();
                return 2;
            }
        }
        else
        {
            usage();
            return 2;
        }
    }
    instrument.setIdentity(identity);

    simulator::BridgeInstrumentServer server(instrument, path, name);
    server.setWriteChunkSize(chunk);
    if (!server.start())
    {
        std::fprintf(stderr, "sonavire-simulator: cannot listen at %s\n", path.c_str());
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("sonavire-simulator: serving \"%s\" at %s\n", name.c_str(), path.c_str());
    std::fflush(stdout);
    while (!stopRequested)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    server.stop();
    return 0;
}
