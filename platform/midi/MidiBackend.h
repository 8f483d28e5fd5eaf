#pragma once

// Our MIDI layer: the few services the port object and the instrument search need, over
// one of three backends (ALSA sequencer, in-process virtual fabric, socket bridge).

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace platform::midi
{
// The two halves of an endpoint's name as the user sees it.
struct EndpointName
{
    juce::String device;
    juce::String endpoint;
};

// Receives the bytes of an input port. Called on a backend thread, one call per packet in the
// order the bytes arrived; a message may be split over several packets, or several messages
// may share one.
class MidiInputCallback
{
public:
    virtual ~MidiInputCallback() = default;
    virtual void midiBytesReceived(const std::uint8_t* data, size_t size) = 0;
};

// An input port connected to one source. Destroying it disconnects it; once the destructor has
// returned, its callback is never called again.
class MidiInputPort
{
public:
    virtual ~MidiInputPort() = default;

    // False once the source has gone (the device was unplugged, the peer hung up): the port
    // receives nothing any more, even when an endpoint of the same name comes back.
    virtual bool isEndpointPresent() const = 0;
};

// An output port aimed at one destination. Destroying it drops sends not yet made; once the
// destructor has returned, no completion of it runs any more.
class MidiOutputPort
{
public:
    virtual ~MidiOutputPort() = default;

    // False once the destination has gone; every later send is refused.
    virtual bool isEndpointPresent() const = 0;

    // Sends one short message (1 to 3 bytes) as one packet; false when it could not be sent.
    virtual bool sendShortMessage(const std::uint8_t* data, size_t size) = 0;

    // Sends one system exclusive message (the bytes are copied). onComplete runs once the last byte
    // has left: on a backend thread, or on the calling thread before this returns when nothing else
    // was waiting to be sent. When the result is false the message did not (wholly) leave, and
    // onComplete is never called. A destination that stops taking bytes holds the caller for about
    // half a second at most.
    virtual bool sendSysEx(const std::uint8_t* data, size_t size, std::function<void()> onComplete) = 0;
};

// A connection to the MIDI system: enumeration of sources and destinations by index, and ports.
// Indices are positions in the current enumeration; they change when the setup changes.
class MidiClient : private juce::AsyncUpdater
{
public:
    ~MidiClient() override;

    // Called on the message thread when sources or destinations came or went (one call per burst).
    void setSetupChangedCallback(std::function<void()> callback);

    virtual int getNumSources() = 0;
    virtual int getNumDestinations() = 0;

    // Empty when no endpoint has that index.
    virtual std::optional<EndpointName> getSourceName(int index) = 0;
    virtual std::optional<EndpointName> getDestinationName(int index) = 0;

    // Null when the index names no endpoint or the port cannot be made.
    virtual std::unique_ptr<MidiInputPort> openInput(int sourceIndex, MidiInputCallback& callback) = 0;
    virtual std::unique_ptr<MidiOutputPort> openOutput(int destinationIndex) = 0;

protected:
    MidiClient() = default;

    // Any thread. Derived classes must stop calling it before their destructor finishes.
    void notifySetupChanged();

private:
    void handleAsyncUpdate() override;

    std::mutex callbackLock;
    std::function<void()> setupChanged;
};

// A MIDI system. Clients of one backend see the same endpoints.
class MidiBackend
{
public:
    virtual ~MidiBackend() = default;

    virtual std::unique_ptr<MidiClient> createClient(const juce::String& clientName) = 0;

    // The backend the program uses: the one set with setDefault, else the socket bridge when
    // SONAVIRE_MIDI_BRIDGE holds a path, else the ALSA sequencer. Made on first use.
    static std::shared_ptr<MidiBackend> getDefault();

    // Replaces the default (tests use a virtual fabric); null returns to the choice above.
    static void setDefault(std::shared_ptr<MidiBackend> backend);
};

// Length of a short message by its status byte (1 for bytes that are not status bytes of a
// short message, as F0 and F7 alone).
int getShortMessageLength(std::uint8_t status) noexcept;
} // namespace platform::midi
