#include "platform/midi/VirtualMidiFabric.h"

#include <algorithm>

namespace platform::midi
{
class VirtualMidiFabric::Client : public MidiClient
{
public:
    explicit Client(std::shared_ptr<VirtualMidiFabric> owner) : fabric(std::move(owner))
    {
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        fabric->clients.push_back(this);
    }

    ~Client() override
    {
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        auto& list = fabric->clients;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }

    void setupChanged() { notifySetupChanged(); }

    int getNumSources() override { return count(true); }
    int getNumDestinations() override { return count(false); }
    std::optional<EndpointName> getSourceName(int index) override { return nameOf(index, true); }
    std::optional<EndpointName> getDestinationName(int index) override { return nameOf(index, false); }
    std::unique_ptr<MidiInputPort> openInput(int sourceIndex, MidiInputCallback& callback) override;
    std::unique_ptr<MidiOutputPort> openOutput(int destinationIndex) override;

private:
    int count(bool sources) const
    {
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        int n = 0;
        for (auto& device : fabric->devices)
            n += sources ? device->sourceNames.size() : device->destinationNames.size();
        return n;
    }

    std::optional<EndpointName> nameOf(int index, bool sources) const
    {
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        auto endpoint = fabric->findEndpoint(index, sources);
        if (!endpoint)
            return std::nullopt;
        auto& names = sources ? endpoint->device->sourceNames : endpoint->device->destinationNames;
        return EndpointName{endpoint->device->name, names[endpoint->index]};
    }

    std::shared_ptr<VirtualMidiFabric> fabric;
};

class VirtualMidiFabric::InputPort : public MidiInputPort
{
public:
    InputPort(std::shared_ptr<VirtualMidiFabric> owner, Endpoint source, MidiInputCallback& cb)
        : fabric(std::move(owner)), endpoint(std::move(source)), callback(cb)
    {
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        fabric->inputs.push_back(this);
    }

    ~InputPort() override
    {
        {
            std::lock_guard<std::recursive_mutex> guard(fabric->lock);
            auto& list = fabric->inputs;
            list.erase(std::remove(list.begin(), list.end(), this), list.end());
        }
        fabric->worker.waitForRunningJob(); // a delivery in progress may still hold this port
    }

    bool isEndpointPresent() const override { return endpoint.device->isAttached(); }

    std::shared_ptr<VirtualMidiFabric> fabric;
    Endpoint endpoint;
    MidiInputCallback& callback;
};

class VirtualMidiFabric::OutputPort : public MidiOutputPort
{
public:
    OutputPort(std::shared_ptr<VirtualMidiFabric> owner, Endpoint destination)
        : fabric(std::move(owner)), endpoint(std::move(destination))
    {
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        ++fabric->numOutputs;
    }

    ~OutputPort() override
    {
        fabric->worker.cancel(this);
        std::lock_guard<std::recursive_mutex> guard(fabric->lock);
        --fabric->numOutputs;
    }

    bool isEndpointPresent() const override { return endpoint.device->isAttached(); }

    bool sendShortMessage(const std::uint8_t* data, size_t size) override
    {
        if (size == 0 || !endpoint.device->isAttached())
            return false;
        post(Bytes(data, data + std::min<size_t>(size, 3)), nullptr);
        return true;
    }

    bool sendSysEx(const std::uint8_t* data, size_t size, std::function<void()> onComplete) override
    {
        if (size == 0 || !endpoint.device->isAttached())
            return false;
        post(Bytes(data, data + size), std::move(onComplete));
        return true;
    }

private:
    void post(Bytes message, std::function<void()> onComplete)
    {
        auto* owner = fabric.get();
        auto device = endpoint.device;
        const int index = endpoint.index;
        owner->worker.post([owner, device, index, message = std::move(message)]
                           { owner->deliverToPeer(device, index, message); },
                           0, this);
        if (onComplete)
            owner->worker.post(std::move(onComplete), device->completionDelayMs.load(), this);
    }

    std::shared_ptr<VirtualMidiFabric> fabric;
    Endpoint endpoint;
};

std::unique_ptr<MidiInputPort> VirtualMidiFabric::Client::openInput(int sourceIndex, MidiInputCallback& callback)
{
    std::lock_guard<std::recursive_mutex> guard(fabric->lock);
    auto endpoint = fabric->findEndpoint(sourceIndex, true);
    if (!endpoint)
        return nullptr;
    return std::make_unique<InputPort>(fabric, *endpoint, callback);
}

std::unique_ptr<MidiOutputPort> VirtualMidiFabric::Client::openOutput(int destinationIndex)
{
    std::lock_guard<std::recursive_mutex> guard(fabric->lock);
    auto endpoint = fabric->findEndpoint(destinationIndex, false);
    if (!endpoint)
        return nullptr;
    return std::make_unique<OutputPort>(fabric, *endpoint);
}

//==============================================================================
VirtualMidiFabric::Device::Device(std::weak_ptr<VirtualMidiFabric> owner, juce::String deviceName,
                                  juce::StringArray sources, juce::StringArray destinations)
    : fabric(std::move(owner)), name(std::move(deviceName)), sourceNames(std::move(sources)),
      destinationNames(std::move(destinations))
{
}

void VirtualMidiFabric::Device::sendFromSource(int source, const std::uint8_t* data, size_t size, std::uint32_t delayMs)
{
    auto owner = fabric.lock();
    if (owner == nullptr || !attached || source < 0 || source >= sourceNames.size() || size == 0)
        return;

    std::shared_ptr<Device> self;
    {
        std::lock_guard<std::recursive_mutex> guard(owner->lock);
        for (auto& device : owner->devices)
            if (device.get() == this)
                self = device;
    }
    if (self == nullptr)
        return;

    const size_t step = chunkSize == 0 ? size : chunkSize.load();
    std::lock_guard<std::recursive_mutex> guard(owner->lock);
    // Bytes of one cable never overtake each other, whatever delays are asked for.
    lastDue = std::max(DeliveryWorker::Clock::now() + std::chrono::milliseconds(delayMs), lastDue);
    auto* fabricPtr = owner.get();
    for (size_t offset = 0; offset < size; offset += step)
    {
        Bytes packet(data + offset, data + std::min(size, offset + step));
        owner->worker.post([fabricPtr, self, source, packet = std::move(packet)]
                           { fabricPtr->deliver(self, source, packet); },
                           lastDue, this);
    }
}

void VirtualMidiFabric::Device::sendFromSource(int source, const Bytes& bytes, std::uint32_t delayMs)
{
    sendFromSource(source, bytes.data(), bytes.size(), delayMs);
}

void VirtualMidiFabric::Device::setReceiver(Receiver newReceiver)
{
    std::lock_guard<std::recursive_mutex> guard(receiverLock);
    receiver = std::move(newReceiver);
}

//==============================================================================
VirtualMidiFabric::VirtualMidiFabric() = default;

VirtualMidiFabric::~VirtualMidiFabric() = default;

std::shared_ptr<VirtualMidiFabric> VirtualMidiFabric::create()
{
    return std::shared_ptr<VirtualMidiFabric>(new VirtualMidiFabric());
}

std::shared_ptr<VirtualMidiFabric::Device> VirtualMidiFabric::addDevice(const juce::String& name,
                                                                        const juce::StringArray& sourceNames,
                                                                        const juce::StringArray& destinationNames)
{
    std::shared_ptr<Device> device(new Device(weak_from_this(), name, sourceNames, destinationNames));
    std::lock_guard<std::recursive_mutex> guard(lock);
    devices.push_back(device);
    notifyClients();
    return device;
}

void VirtualMidiFabric::removeDevice(const std::shared_ptr<Device>& device)
{
    if (device == nullptr)
        return;
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        auto it = std::find(devices.begin(), devices.end(), device);
        if (it == devices.end())
            return;
        device->attached = false;
        devices.erase(it);
        notifyClients();
    }
    worker.cancel(device.get());
}

std::unique_ptr<MidiClient> VirtualMidiFabric::createClient(const juce::String&)
{
    return std::make_unique<Client>(shared_from_this());
}

int VirtualMidiFabric::getNumOpenInputs() const
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return (int) inputs.size();
}

int VirtualMidiFabric::getNumOpenOutputs() const
{
    std::lock_guard<std::recursive_mutex> guard(lock);
    return numOutputs;
}

bool VirtualMidiFabric::waitUntilIdle(int timeoutMs)
{
    return worker.waitUntilIdle(timeoutMs);
}

std::optional<VirtualMidiFabric::Endpoint> VirtualMidiFabric::findEndpoint(int index, bool sources) const
{
    if (index < 0)
        return std::nullopt;
    for (auto& device : devices)
    {
        const int n = sources ? device->sourceNames.size() : device->destinationNames.size();
        if (index < n)
            return Endpoint{device, index};
        index -= n;
    }
    return std::nullopt;
}

void VirtualMidiFabric::deliver(const std::shared_ptr<Device>& device, int source, const Bytes& packet)
{
    std::vector<InputPort*> targets;
    {
        std::lock_guard<std::recursive_mutex> guard(lock);
        if (!device->attached)
            return;
        for (auto* input : inputs)
            if (input->endpoint.device == device && input->endpoint.index == source)
                targets.push_back(input);
    }
    // A port destroyed meanwhile waits for this job to end, so the pointers stay valid.
    for (auto* input : targets)
        input->callback.midiBytesReceived(packet.data(), packet.size());
}

void VirtualMidiFabric::deliverToPeer(const std::shared_ptr<Device>& device, int destination, const Bytes& message)
{
    if (!device->attached)
        return;
    std::lock_guard<std::recursive_mutex> guard(device->receiverLock);
    if (device->receiver)
        device->receiver(destination, message.data(), message.size());
}

void VirtualMidiFabric::notifyClients()
{
    for (auto* client : clients)
        client->setupChanged();
}
} // namespace platform::midi
