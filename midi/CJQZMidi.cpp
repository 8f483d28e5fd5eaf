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
    if (inputPort != nullptr || client == nullptr)
        return false;
    if (index < 0 || index >= client->getNumSources())
        return false;
    parser.reset(); // no data can arrive before the port exists
    inputPort = client->openInput(index, *this);
    if (inputPort == nullptr)
        return false;
    sourceIndex = index;
    return true;
}

void CJQZMidi::closeInput()
{
    std::unique_ptr<platform::midi::MidiInputPort> old;
    {
        std::lock_guard<std::mutex> guard(portLock);
        old = std::move(inputPort);
        sourceIndex = -1;
    }
    old.reset(); // waits for a delivery in progress, outside our lock
}

bool CJQZMidi::openOutput(int index)
{
    std::lock_guard<std::mutex> guard(portLock);
    if (outputPort != nullptr || client == nullptr)
        return false;
    if (index < 0 || index >= client->getNumDestinations())
        return false;
    outputPort = client->openOutput(index);
    if (outputPort == nullptr)
        return false;
    destinationIndex = index;
    return true;
}

void CJQZMidi::closeOutput()
{
    std::unique_ptr<platform::midi::MidiOutputPort> old;
    {
        std::lock_guard<std::mutex> guard(portLock);
        old = std::move(outputPort);
        destinationIndex = -1;
    }
    old.reset(); // drops unsent messages; no completion runs after this
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

void CJQZMidi::send(const std::uint8_t* bytes, int count)
{
    if (bytes == nullptr || count <= 0)
        return;

    if (bytes[0] == 0xF0)
    {
        bool sent = false;
        {
            std::lock_guard<std::mutex> guard(portLock);
            if (outputPort == nullptr)
                return;
            sent = outputPort->sendSysEx(bytes, (size_t) count, [this, count] { sysExSent(count); });
        }
        // A completion that comes after the wait leaves the event set: the next wait returns at once.
        if (sent)
            sendEvent.wait(sysExSendTimeoutMs);
        return;
    }

    const std::uint8_t message[3] = {bytes[0], count > 1 ? bytes[1] : std::uint8_t(0),
                                     count > 2 ? bytes[2] : std::uint8_t(0)};
    std::lock_guard<std::mutex> guard(portLock);
    if (outputPort != nullptr)
        outputPort->sendShortMessage(message, (size_t) getMessageLength(bytes[0]));
}

void CJQZMidi::addListener(CJQZMidiListener* listener)
{
    const juce::ScopedLock lock(listenerLock);
    listeners.push_back(listener);
}

void CJQZMidi::removeListener(CJQZMidiListener* listener)
{
    const juce::ScopedLock lock(listenerLock);
    auto it = std::find(listeners.begin(), listeners.end(), listener);
    if (it != listeners.end())
        listeners.erase(it);
}

void CJQZMidi::removeAllListeners()
{
    const juce::ScopedLock lock(listenerLock);
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
    if (client == nullptr)
        return {};
    auto name = client->getSourceName(index);
    return name ? name->device + " - " + name->endpoint : juce::String();
}

juce::String CJQZMidi::getDestinationName(int index) const
{
    std::lock_guard<std::mutex> guard(portLock);
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
    const juce::ScopedLock lock(listenerLock);
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
    callListeners([&](CJQZMidiListener& listener) { listener.handleMidiSetupChanged(*this); });
}
