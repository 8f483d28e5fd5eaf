#pragma once

#include "platform/midi/DeliveryWorker.h"
#include "platform/midi/MidiBackend.h"

#include <atomic>
#include <vector>

namespace platform::midi
{
// An in-process MIDI system for tests: named devices with source and destination endpoints,
// each driven by a test peer. Bytes travel on the fabric's own thread, as they would on a
// backend thread; adding or removing a device is a setup change for every client.
class VirtualMidiFabric : public MidiBackend, public std::enable_shared_from_this<VirtualMidiFabric>
{
public:
    class Device;
    using Bytes = std::vector<std::uint8_t>;

    static std::shared_ptr<VirtualMidiFabric> create();
    ~VirtualMidiFabric() override;

    // The device's sources and destinations follow those of the devices added before it.
    std::shared_ptr<Device> addDevice(const juce::String& name, const juce::StringArray& sourceNames,
                                      const juce::StringArray& destinationNames);
    void removeDevice(const std::shared_ptr<Device>& device);

    std::unique_ptr<MidiClient> createClient(const juce::String& clientName) override;

    // Ports currently open on the fabric (all clients).
    int getNumOpenInputs() const;
    int getNumOpenOutputs() const;

    // Waits until nothing is pending or running on the fabric's thread.
    bool waitUntilIdle(int timeoutMs = 60000);

    // The test peer's side of one device.
    class Device
    {
    public:
        // Called on the fabric's thread with each message a program sent to one of the device's
        // destinations (a system exclusive or a short message, always whole).
        using Receiver = std::function<void(int destination, const std::uint8_t* data, size_t size)>;

        const juce::String& getName() const noexcept { return name; }
        bool isAttached() const noexcept { return attached; }

        // Bytes leave source `source` and reach every input port connected to it, after delayMs
        // (never before bytes sent earlier from this device) and split into packets of at most
        // the delivery chunk size.
        void sendFromSource(int source, const std::uint8_t* data, size_t size, std::uint32_t delayMs = 0);
        void sendFromSource(int source, const Bytes& bytes, std::uint32_t delayMs = 0);

        // Once it returns, the previous receiver is not running and is never called again.
        void setReceiver(Receiver receiver);

        // 0 delivers each send as one packet.
        void setDeliveryChunkSize(size_t bytesPerPacket) { chunkSize = bytesPerPacket; }

        // Time from a system exclusive send until its completion runs.
        void setCompletionDelayMs(std::uint32_t ms) { completionDelayMs = ms; }

    private:
        friend class VirtualMidiFabric;
        Device(std::weak_ptr<VirtualMidiFabric> fabric, juce::String name, juce::StringArray sources,
               juce::StringArray destinations);

        std::weak_ptr<VirtualMidiFabric> fabric;
        const juce::String name;
        const juce::StringArray sourceNames;
        const juce::StringArray destinationNames;
        std::atomic<bool> attached{true};
        std::atomic<size_t> chunkSize{0};
        std::atomic<std::uint32_t> completionDelayMs{0};
        DeliveryWorker::Clock::time_point lastDue{}; // guarded by the fabric lock
        std::recursive_mutex receiverLock;           // held during each call, so setReceiver waits for one in progress
        Receiver receiver;
    };

private:
    class Client;
    class InputPort;
    class OutputPort;
    struct Endpoint
    {
        std::shared_ptr<Device> device;
        int index = -1;
    };

    VirtualMidiFabric();

    std::optional<Endpoint> findEndpoint(int index, bool sources) const; // caller holds lock
    void deliver(const std::shared_ptr<Device>& device, int source, const Bytes& packet);
    void deliverToPeer(const std::shared_ptr<Device>& device, int destination, const Bytes& message);
    void notifyClients();

    mutable std::recursive_mutex lock;
    std::vector<std::shared_ptr<Device>> devices;
    std::vector<Client*> clients;
    std::vector<InputPort*> inputs;
    int numOutputs = 0;
    DeliveryWorker worker{"VirtualMidi"};
};
} // namespace platform::midi
