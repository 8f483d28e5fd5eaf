#include "midi/CJQZMidi.h"

#include <algorithm>

CJQZMidi::CJQZMidi(std::shared_ptr<platform::midi::MidiBackend> midiBackend)
    : backend(midiBackend != nullptr ? std::move(midiBackend) : platform::midi::MidiBackend::getDefault())
{
}

CJQZMidi::~CJQZMidi()
{
    closeOutput();
    closeInput();
    disposeClient();
}

bool CJQZMidi::createClient(const char* clientName)
{
    std::lock_guard<std::mutex> guard(portLock);
    if (client != nullptr || backend == nullptr)
        return false;
    client = backend->createClient(juce::String::fromUTF8(clientName != nullptr ? clientName : ""));
    if (client == nullptr)
        return false;
    client->setSetupChangedCallback([this] { setupChanged(); });
    return true;
}

bool CJQZMidi::disposeClient()
{
    std::unique_ptr<platform::midi::MidiClient> old;
    {
        std::lock_guard<std::mutex> guard(portLock);
        old = std::move(client);
    }
    return true;
}

bool CJQZMidi::openInput(int index)
{
    std::lock_guard<std::mutex> guard(portLock);
    if (inputPort != nullptr)
        return false;
    if (!openInputLocked(index))
        return false;
    inputAwaited = false;
    return true;
}

bool CJQZMidi::openInputLocked(int index)
{
    if (client == nullptr || index < 0 || index >= client->getNumSources())
        return false;
    const auto name = sourceNameLocked(index);
    parser.reset(); // no data can arrive before the port exists
    auto port = client->openInput(index, *this);
    if (port == nullptr)
        return false;
    inputPort = std::move(port);
    sourceIndex = index;
    sourceName = name;
    return true;
}

void CJQZMidi::closeInput()
{
    std::shared_ptr<platform::midi::MidiInputPort> old;
    {
        std::lock_guard<std::mutex> guard(portLock);
        old = std::move(inputPort);
        sourceIndex = -1;
        inputAwaited = false;
    }
    old.reset(); // waits for a delivery in progress, outside our lock
}

bool CJQZMidi::openOutput(int index)
{
    std::lock_guard<std::mutex> guard(portLock);
    if (outputPort != nullptr)
        return false;
    if (!openOutputLocked(index))
        return false;
    outputAwaited = false;
    return true;
}

bool CJQZMidi::openOutputLocked(int index)
{
    if (client == nullptr || index < 0 || index >= client->getNumDestinations())
        return false;
    const auto name = destinationNameLocked(index);
    auto port = client->openOutput(index);
    if (port == nullptr)
        return false;
    outputPort = std::move(port);
    destinationIndex = index;
    destinationName = name;
    return true;
}

void CJQZMidi::closeOutput()
{
    std::shared_ptr<platform::midi::MidiOutputPort> old;
    {
        std::lock_guard<std::mutex> guard(portLock);
        old = std::move(outputPort);
        destinationIndex = -1;
        outputAwaited = false;
    }
    old.reset(); // drops unsent messages; no completion runs after this (a send under way keeps it until it returns)
}

bool CJQZMidi::isInputOpen() const
{
    std::lock_guard<std::mutex> guard(portLock);
    return inputPort != nullptr;
}

bool CJQZMidi::isOutputOpen() const
{
    std::lock_guard<std::mutex> guard(portLock);
    return outputPort != nullptr;
}

bool CJQZMidi::isWaitingForEndpoint() const
{
    std::lock_guard<std::mutex> guard(portLock);
    return inputAwaited || outputAwaited;
}

bool CJQZMidi::refreshPorts()
{
    const std::lock_guard<std::mutex> once(refreshLock);

    std::shared_ptr<platform::midi::MidiInputPort> goneInput;
    std::shared_ptr<platform::midi::MidiOutputPort> goneOutput;
    {
        std::lock_guard<std::mutex> guard(portLock);
        if (inputPort != nullptr && !inputPort->isEndpointPresent())
        {
            goneInput = std::move(inputPort);
            sourceIndex = -1;
            inputAwaited = true;
        }
        if (outputPort != nullptr && !outputPort->isEndpointPresent())
        {
            goneOutput = std::move(outputPort);
            destinationIndex = -1;
            outputAwaited = true;
        }
        if (goneInput != nullptr || goneOutput != nullptr)
            ++endpointLosses;
    }
    // Outside the lock: closing waits for a delivery in progress.
    goneInput.reset();
    goneOutput.reset();

    std::lock_guard<std::mutex> guard(portLock);
    if (client == nullptr)
        return !(inputAwaited || outputAwaited);
    // The same name may now sit at another index: the setup changed.
    if (inputAwaited && inputPort == nullptr)
        for (int i = 0, n = client->getNumSources(); i < n && inputAwaited; ++i)
            if (sourceNameLocked(i) == sourceName && openInputLocked(i))
                inputAwaited = false;
    if (outputAwaited && outputPort == nullptr)
        for (int i = 0, n = client->getNumDestinations(); i < n && outputAwaited; ++i)
            if (destinationNameLocked(i) == destinationName && openOutputLocked(i))
                outputAwaited = false;
    return !(inputAwaited || outputAwaited);
}

CJQZMidi::SendOutcome CJQZMidi::sendThroughOutput(const std::uint8_t* bytes, int count, int* endpointLossesAtSend,
                                                  std::shared_ptr<platform::midi::MidiOutputPort>& port)
{
    {
        std::lock_guard<std::mutex> guard(portLock);
        port = outputPort;
        if (endpointLossesAtSend != nullptr)
            *endpointLossesAtSend = endpointLosses.load();
        if (port == nullptr)
            return outputAwaited ? SendOutcome::refused : SendOutcome::noOutput;
    }

    if (bytes[0] == 0xF0)
    {
        if (!port->sendSysEx(bytes, (size_t) count, [this, count] { sysExSent(count); }))
            return SendOutcome::refused;
        // A completion that comes after the wait leaves the event set: the next wait returns at once.
        sendEvent.wait(sysExSendTimeoutMs);
        return SendOutcome::sent;
    }

    const std::uint8_t message[3] = {bytes[0], count > 1 ? bytes[1] : std::uint8_t(0),
                                     count > 2 ? bytes[2] : std::uint8_t(0)};
    return port->sendShortMessage(message, (size_t) getMessageLength(bytes[0])) ? SendOutcome::sent
                                                                                : SendOutcome::refused;
}

bool CJQZMidi::send(const std::uint8_t* bytes, int count, int* endpointLossesAtSend)
{
    if (bytes == nullptr || count <= 0)
        return false;

    std::shared_ptr<platform::midi::MidiOutputPort> used;
    if (sendThroughOutput(bytes, count, endpointLossesAtSend, used) != SendOutcome::refused)
        return true;

    // The endpoint may have gone (and perhaps come back) before the setup change was handled. Only
    // another port is tried: a destination that merely stopped taking bytes is not tried again.
    refreshPorts();
    {
        std::lock_guard<std::mutex> guard(portLock);
        if (outputPort == nullptr || outputPort == used)
            return false;
    }
    used.reset();
    return sendThroughOutput(bytes, count, endpointLossesAtSend, used) != SendOutcome::refused;
}

void CJQZMidi::addListener(CJQZMidiListener* listener)
{
    const std::lock_guard<std::recursive_mutex> lock(listenerLock);
    listeners.push_back(listener);
}

void CJQZMidi::removeListener(CJQZMidiListener* listener)
{
    const std::lock_guard<std::recursive_mutex> lock(listenerLock);
    auto it = std::find(listeners.begin(), listeners.end(), listener);
    if (it != listeners.end())
        listeners.erase(it);
}

void CJQZMidi::removeAllListeners()
{
    const std::lock_guard<std::recursive_mutex> lock(listenerLock);
    listeners.clear();
}

int CJQZMidi::getNumSources() const
{
    std::lock_guard<std::mutex> guard(portLock);
    return client != nullptr ? client->getNumSources() : 0;
}

int CJQZMidi::getNumDestinations() const
{
    std::lock_guard<std::mutex> guard(portLock);
    return client != nullptr ? client->getNumDestinations() : 0;
}

juce::String CJQZMidi::getSourceName(int index) const
{
    std::lock_guard<std::mutex> guard(portLock);
    return sourceNameLocked(index);
}

juce::String CJQZMidi::getDestinationName(int index) const
{
    std::lock_guard<std::mutex> guard(portLock);
    return destinationNameLocked(index);
}

juce::String CJQZMidi::sourceNameLocked(int index) const
{
    if (client == nullptr)
        return {};
    auto name = client->getSourceName(index);
    return name ? name->device + " - " + name->endpoint : juce::String();
}

juce::String CJQZMidi::destinationNameLocked(int index) const
{
    if (client == nullptr)
        return {};
    auto name = client->getDestinationName(index);
    return name ? name->device + " - " + name->endpoint : juce::String();
}

int CJQZMidi::getMessageLength(std::uint8_t status) noexcept
{
    return platform::midi::getShortMessageLength(status);
}

template <class Fn>
void CJQZMidi::callListeners(Fn&& fn)
{
    const std::lock_guard<std::recursive_mutex> lock(listenerLock);
    const size_t count = listeners.size(); // read once per delivery
    for (size_t i = 0; i < count && i < listeners.size(); ++i)
        fn(*listeners[i]);
}

void CJQZMidi::midiBytesReceived(const std::uint8_t* data, size_t size)
{
    parser.parse(data, size, *this);
}

void CJQZMidi::shortMessageReceived(const std::uint8_t* data, size_t size)
{
    const CJQZMidiMessage message(data, (int) size);
    callListeners([&](CJQZMidiListener& listener) { listener.handleIncomingShortMessage(*this, message); });
}

void CJQZMidi::sysExReceived(const std::uint8_t* data, size_t size)
{
    const CJQZMidiMessage message(data, (int) size);
    callListeners([&](CJQZMidiListener& listener) { listener.handleIncomingMessage(*this, message); });
}

void CJQZMidi::sysExProgress(const std::uint8_t* chunk, size_t size)
{
    callListeners([&](CJQZMidiListener& listener) { listener.handleSysExProgress(*this, (int) size, chunk); });
}

void CJQZMidi::sysExSent(int byteCount)
{
    callListeners([&](CJQZMidiListener& listener) { listener.handleSysExSent(*this, byteCount); });
    sendEvent.signal();
}

void CJQZMidi::setupChanged()
{
    refreshPorts();
    callListeners([&](CJQZMidiListener& listener) { listener.handleMidiSetupChanged(*this); });
}
