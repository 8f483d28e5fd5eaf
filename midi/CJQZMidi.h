#pragma once

#include "midi/CJQZMidiListener.h"
#include "midi/CJQZMidiMessage.h"
#include "platform/midi/MidiBackend.h"
#include "platform/midi/MidiByteParser.h"

#include <juce_core/juce_core.h>

#include <mutex>
#include <vector>

// The program's one channel to the instrument: a MIDI client with at most one input port
// connected to one source and at most one output port aimed at one destination. Incoming bytes
// become whole messages for the listeners; system exclusive messages are sent asynchronously
// with a bounded wait for their completion.
class CJQZMidi : private platform::midi::MidiInputCallback, private platform::midi::MidiByteParser::Handler
{
public:
    // How long send() waits for a system exclusive send to complete.
    static constexpr int sysExSendTimeoutMs = 500;

    // Null uses the program's MIDI backend.
    explicit CJQZMidi(std::shared_ptr<platform::midi::MidiBackend> backend = nullptr);
    virtual ~CJQZMidi();

    virtual bool createClient(const char* clientName);
    virtual bool disposeClient(); // true also when there was no client

    bool openInput(int sourceIndex);
    void closeInput();
    bool openOutput(int destinationIndex);
    void closeOutput();
    bool isInputOpen() const;
    bool isOutputOpen() const;

    // Sends one message: a system exclusive when it starts with F0 (returns once sent or after
    // sysExSendTimeoutMs), else a short message of the status byte's length. Nothing is sent
    // when no output is open or the message is empty.
    void send(const std::uint8_t* bytes, int count);

    void addListener(CJQZMidiListener* listener);
    void removeListener(CJQZMidiListener* listener); // the first equal entry
    void removeAllListeners();

    int getNumSources() const;
    int getNumDestinations() const;
    // "<device name> - <endpoint name>"; empty when the index names no endpoint.
    juce::String getSourceName(int sourceIndex) const;
    juce::String getDestinationName(int destinationIndex) const;

    static int getMessageLength(std::uint8_t status) noexcept;

private:
    void midiBytesReceived(const std::uint8_t* data, size_t size) override;
    void shortMessageReceived(const std::uint8_t* data, size_t size) override;
    void sysExReceived(const std::uint8_t* data, size_t size) override;
    void sysExProgress(const std::uint8_t* chunk, size_t size) override;
    void sysExSent(int byteCount);
    void setupChanged();

    template <class Fn>
    void callListeners(Fn&& fn);

    std::shared_ptr<platform::midi::MidiBackend> backend;
    platform::midi::MidiByteParser parser; // only the input thread touches it while a port is open
    std::vector<CJQZMidiListener*> listeners;
    juce::CriticalSection listenerLock;
    mutable std::mutex portLock; // the client and the ports
    std::unique_ptr<platform::midi::MidiClient> client;
    std::unique_ptr<platform::midi::MidiInputPort> inputPort;
    std::unique_ptr<platform::midi::MidiOutputPort> outputPort;
    int sourceIndex = -1;
    int destinationIndex = -1;
    juce::WaitableEvent sendEvent; // auto-reset: signalled by each completion

    JUCE_DECLARE_NON_COPYABLE(CJQZMidi)
};
