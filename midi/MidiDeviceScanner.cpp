#include "midi/MidiDeviceScanner.h"

namespace midi
{
// One opened source with its own parser, so answers split over packets are reassembled.
class MidiDeviceScanner::Input : public platform::midi::MidiInputCallback,
                                 private platform::midi::MidiByteParser::Handler
{
public:
    Input(MidiDeviceScanner& scanner, int deviceIndex) : owner(scanner), index(deviceIndex) {}
    ~Input() override { port.reset(); } // the port goes first: no delivery after this

    bool open(platform::midi::MidiClient& client)
    {
        port = client.openInput(index, *this);
        return port != nullptr;
    }

private:
    void midiBytesReceived(const std::uint8_t* data, size_t size) override { parser.parse(data, size, *this); }
    void shortMessageReceived(const std::uint8_t*, size_t) override {}
    void sysExReceived(const std::uint8_t* data, size_t size) override { owner.answerReceived(index, data, size); }

    MidiDeviceScanner& owner;
    const int index;
    platform::midi::MidiByteParser parser;
    std::unique_ptr<platform::midi::MidiInputPort> port;
};

MidiDeviceScanner::MidiDeviceScanner(std::shared_ptr<platform::midi::MidiBackend> midiBackend)
    : juce::Thread("MidiDeviceScannerThread"),
      backend(midiBackend != nullptr ? std::move(midiBackend) : platform::midi::MidiBackend::getDefault())
{
    if (backend != nullptr)
        client = backend->createClient("MidiDeviceScanner");
}

MidiDeviceScanner::~MidiDeviceScanner()
{
    signalThreadShouldExit();
    notify();
    stopThread(4000);
    cancelPendingUpdate();
    closeDevices();
    client.reset();
}

std::vector<std::uint8_t> MidiDeviceScanner::makeSearchRequest(int outputIndex)
{
    return {0xF0, 0x7D, 0x50, 0x00, (std::uint8_t)(outputIndex & 0x7F), 0xF7};
}

bool MidiDeviceScanner::startScan(int familyCode, int memberCode)
{
    if (state != State::idle)
        return false;

    timeoutMs = defaultTimeoutMs;
    wantedFamily = familyCode;
    wantedMember = memberCode;
    isFound = false;
    foundInputIndex = -1;
    foundOutputIndex = -1;
    {
        std::lock_guard<std::mutex> guard(answerLock);
        accepting = false;
        answered = false;
        answerInput = answerOutput = -1;
    }
    state = State::running;

    juce::Thread::sleep(100); // lets a device that has just appeared settle

    inputDeviceNames.clear();
    outputDeviceNames.clear();
    if (client != nullptr)
    {
        for (int i = 0, n = client->getNumSources(); i < n; ++i)
            if (auto name = client->getSourceName(i))
                inputDeviceNames.add(name->device + " - " + name->endpoint);
        for (int i = 0, n = client->getNumDestinations(); i < n; ++i)
            if (auto name = client->getDestinationName(i))
                outputDeviceNames.add(name->device + " - " + name->endpoint);

        if (!inputDeviceNames.isEmpty() && !outputDeviceNames.isEmpty())
        {
            for (int i = 0; i < inputDeviceNames.size(); ++i)
            {
                auto input = std::make_unique<Input>(*this, i);
                if (input->open(*client)) // a device that does not open takes no part
                    inputs.push_back(std::move(input));
            }
            for (int j = 0; j < outputDeviceNames.size(); ++j)
                if (auto port = client->openOutput(j))
                    outputs.emplace_back(std::move(port), j);
        }
    }

    if (inputs.empty() || outputs.empty())
    {
        // Nothing to ask: the search ends at once (and closes what did open).
        state = State::ending;
        triggerAsyncUpdate();
        return true;
    }

    {
        std::lock_guard<std::mutex> guard(answerLock);
        accepting = true;
    }
    wait(0);                  // forget a wake-up left over from an earlier search
    juce::Thread::sleep(100); // the ports just opened settle before the requests go out
    startThread();
    return true;
}

void MidiDeviceScanner::run()
{
    for (auto& [port, index] : outputs)
    {
        const auto request = makeSearchRequest(index);
        port->sendSysEx(request.data(), request.size(), nullptr);
    }

    wait(timeoutMs); // an answer wakes the thread early

    {
        std::lock_guard<std::mutex> guard(answerLock);
        accepting = false;
    }
    state = State::ending;
    triggerAsyncUpdate();
}

void MidiDeviceScanner::answerReceived(int inputIndex, const std::uint8_t* d, size_t size)
{
    if (size != 15 || d[0] != 0xF0 || d[1] != 0x7D || d[2] != 0x50 || d[3] != 0x01)
        return;
    const int family = (d[6] & 0x7F) + 256 * (d[7] & 0x7F);
    const int member = (d[8] & 0x7F) + 256 * (d[9] & 0x7F);
    if (family != wantedFamily || (wantedMember != -1 && member != wantedMember))
        return;
    {
        std::lock_guard<std::mutex> guard(answerLock);
        if (!accepting || answered)
            return; // the first matching answer wins
        answered = true;
        answerInput = inputIndex;
        answerOutput = d[5] & 0x7F;
    }
    notify();
}

void MidiDeviceScanner::handleAsyncUpdate()
{
    stopThread(1000); // it has posted this as its last act
    {
        // The result becomes visible on the message thread only, once the search has ended.
        std::lock_guard<std::mutex> guard(answerLock);
        accepting = false;
        isFound = answered;
        foundInputIndex = answerInput;
        foundOutputIndex = answerOutput;
    }
    closeDevices();
    state = State::idle;
    callListeners([](MidiDeviceScannerListener& listener) { listener.scanFinished(); });
}

void MidiDeviceScanner::closeDevices()
{
    while (!inputs.empty())
        inputs.pop_back(); // last first
    while (!outputs.empty())
        outputs.pop_back();
}
} // namespace midi
