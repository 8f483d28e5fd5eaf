#pragma once

#include "midi/CJQZMidiListener.h"
#include "midi/CJQZMidiMessage.h"
#include "platform/midi/MidiBackend.h"
#include "platform/midi/MidiByteParser.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <mutex>
#include <vector>

// The program's one channel to the instrument: a MIDI client with at most one input port
// connected to one source and at most one output port aimed at one destination. Incoming bytes
// become whole messages for the listeners; system exclusive messages are sent asynchronously
// with a bounded wait for their completion.
//
// The instrument may go and come back (switched off and on, unplugged, a bridge peer restarted).
// At every setup change a port whose endpoint has gone is closed, its endpoint's name kept, and
// it is opened again as soon as an endpoint of that name is back.
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

    // Opening a side forgets the endpoint it waited for; closing it as well.
    bool openInput(int sourceIndex);
    void closeInput();
    bool openOutput(int destinationIndex);
    void closeOutput();
    bool isInputOpen() const;
    bool isOutputOpen() const;

    // Sends one message: a system exclusive when it starts with F0 (returns once sent or after
    // sysExSendTimeoutMs), else a short message of the status byte's length. False when the message was
    // refused: the backend did not take it, or the output's endpoint has gone and is not back. With no
    // output opened at all nothing is sent and nothing refused it (true). The port lock is held only
    // to pick the port, never while the backend sends. endpointLossesAtSend, when given, receives
    // getNumEndpointLosses() as it was when the port was picked.
    bool send(const std::uint8_t* bytes, int count, int* endpointLossesAtSend = nullptr);

    // Closes the ports whose endpoint has gone and opens again, by name, those whose endpoint is back.
    // Runs by itself at every setup change (before the listeners hear of it) and before a send that
    // finds its endpoint gone; the communication dialog runs it before a transfer. True when no side
    // waits for its endpoint.
    bool refreshPorts();

    // True while a side closed because its endpoint went waits for it to come back.
    bool isWaitingForEndpoint() const;

    // How many times a port was closed because its endpoint had gone. A message sent before such a loss
    // gets no answer.
    int getNumEndpointLosses() const noexcept { return endpointLosses.load(); }

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
    enum class SendOutcome
    {
        sent,
        noOutput, // never opened, or closed by its owner
        refused
    };

    void midiBytesReceived(const std::uint8_t* data, size_t size) override;
    void shortMessageReceived(const std::uint8_t* data, size_t size) override;
    void sysExReceived(const std::uint8_t* data, size_t size) override;
    void sysExProgress(const std::uint8_t* chunk, size_t size) override;
    void sysExSent(int byteCount);
    void setupChanged();

    // port receives the output port used (null when there was none).
    SendOutcome sendThroughOutput(const std::uint8_t* bytes, int count, int* endpointLossesAtSend,
                                  std::shared_ptr<platform::midi::MidiOutputPort>& port);
    // With the port lock held.
    bool openInputLocked(int index);
    bool openOutputLocked(int index);
    juce::String sourceNameLocked(int index) const;
    juce::String destinationNameLocked(int index) const;

    template <class Fn>
    void callListeners(Fn&& fn);

    std::shared_ptr<platform::midi::MidiBackend> backend;
    platform::midi::MidiByteParser parser; // only the input thread touches it while a port is open
    std::vector<CJQZMidiListener*> listeners;
    // Recursive but not priority-inheriting (the toolkit's lock is, on Linux): a reply wakes the waiting thread
    // while the receive thread still holds this lock, and a contended priority-inheriting lock costs two trips
    // into the kernel per exchange.
    std::recursive_mutex listenerLock;
    mutable std::mutex portLock; // the client, the ports and what is kept of them; never held while sending
    std::unique_ptr<platform::midi::MidiClient> client;
    // Shared with a send under way, so closing a side never waits for the instrument under the lock.
    std::shared_ptr<platform::midi::MidiInputPort> inputPort;
    std::shared_ptr<platform::midi::MidiOutputPort> outputPort;
    int sourceIndex = -1;
    int destinationIndex = -1;
    juce::String sourceName;      // of the open or awaited input endpoint
    juce::String destinationName; // of the open or awaited output endpoint
    bool inputAwaited = false;    // the input's endpoint went: reopen it by name when it is back
    bool outputAwaited = false;
    std::atomic<int> endpointLosses{0};
    std::mutex refreshLock;        // one refresh at a time
    juce::WaitableEvent sendEvent; // auto-reset: signalled by each completion

    JUCE_DECLARE_NON_COPYABLE(CJQZMidi)
};
