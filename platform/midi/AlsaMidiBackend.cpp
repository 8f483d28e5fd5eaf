#include "platform/midi/AlsaMidiBackend.h"

#include "platform/midi/DeliveryWorker.h"

#include <alsa/asoundlib.h>

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace platform::midi
{
namespace
{
// ALSA reports open failures on stderr by default; a missing sequencer is a normal case here.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

constexpr size_t sysExChunkSize = 256;

struct AlsaEndpoint
{
    int client = 0;
    int port = 0;
    EndpointName name;
};

// One sequencer client, shared by the client object and its ports so a port may outlive it.
class Sequencer
{
public:
    explicit Sequencer(const juce::String& name)
    {
        static std::once_flag quiet;
        std::call_once(quiet, [] { snd_lib_error_set_handler(quietAlsaErrors); });

        if (snd_seq_open(&handle, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
        {
            handle = nullptr;
            return;
        }
        snd_seq_set_client_name(handle, name.toRawUTF8());
        ownClient = snd_seq_client_id(handle);
        announcePort = snd_seq_create_simple_port(
            handle, "Announce", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT, SND_SEQ_PORT_TYPE_APPLICATION);
        if (announcePort >= 0)
            snd_seq_connect_from(handle, announcePort, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
        snd_midi_event_new(1024, &decoder);
        if (decoder != nullptr)
            snd_midi_event_no_status(decoder, 1);
        reader = std::thread([this] { readLoop(); });
    }

    ~Sequencer()
    {
        stopping = true;
        if (reader.joinable())
            reader.join();
        sender.reset();
        if (decoder != nullptr)
            snd_midi_event_free(decoder);
        if (handle != nullptr)
            snd_seq_close(handle);
    }

    bool isOpen() const noexcept { return handle != nullptr; }

    std::vector<AlsaEndpoint> enumerate(bool sources)
    {
        std::vector<AlsaEndpoint> found;
        if (handle == nullptr)
            return found;
        const unsigned int wanted = sources ? (SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ)
                                            : (SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
        std::lock_guard<std::mutex> guard(ioLock);
        snd_seq_client_info_t* clientInfo = nullptr;
        snd_seq_port_info_t* portInfo = nullptr;
        snd_seq_client_info_malloc(&clientInfo);
        snd_seq_port_info_malloc(&portInfo);
        snd_seq_client_info_set_client(clientInfo, -1);
        while (snd_seq_query_next_client(handle, clientInfo) >= 0)
        {
            const int client = snd_seq_client_info_get_client(clientInfo);
            if (client == SND_SEQ_CLIENT_SYSTEM || client == ownClient)
                continue;
            snd_seq_port_info_set_client(portInfo, client);
            snd_seq_port_info_set_port(portInfo, -1);
            while (snd_seq_query_next_port(handle, portInfo) >= 0)
            {
                const unsigned int caps = snd_seq_port_info_get_capability(portInfo);
                if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0)
                    continue;
                found.push_back({client,
                                 snd_seq_port_info_get_port(portInfo),
                                 {juce::String::fromUTF8(snd_seq_client_info_get_name(clientInfo)),
                                  juce::String::fromUTF8(snd_seq_port_info_get_name(portInfo))}});
            }
        }
        snd_seq_port_info_free(portInfo);
        snd_seq_client_info_free(clientInfo);
        return found;
    }

    int createPort(const char* name, bool forInput, const AlsaEndpoint& peer)
    {
        std::lock_guard<std::mutex> guard(ioLock);
        const unsigned int caps =
            (forInput ? SND_SEQ_PORT_CAP_WRITE : SND_SEQ_PORT_CAP_READ) | SND_SEQ_PORT_CAP_NO_EXPORT;
        const int port = snd_seq_create_simple_port(handle, name, caps,
                                                    SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (port < 0)
            return -1;
        const int result = forInput ? snd_seq_connect_from(handle, port, peer.client, peer.port)
                                    : snd_seq_connect_to(handle, port, peer.client, peer.port);
        if (result < 0)
        {
            snd_seq_delete_simple_port(handle, port);
            return -1;
        }
        return port;
    }

    // Whether our port is still connected to the peer: ALSA drops the connection when the peer's port
    // goes, and a device plugged in again comes back as a new client or port.
    bool isConnected(int port, bool forInput, const AlsaEndpoint& peer)
    {
        if (handle == nullptr)
            return false;
        snd_seq_addr_t own{(unsigned char) ownClient, (unsigned char) port};
        snd_seq_addr_t other{(unsigned char) peer.client, (unsigned char) peer.port};
        snd_seq_port_subscribe_t* subscription = nullptr;
        snd_seq_port_subscribe_alloca(&subscription);
        snd_seq_port_subscribe_set_sender(subscription, forInput ? &other : &own);
        snd_seq_port_subscribe_set_dest(subscription, forInput ? &own : &other);
        std::lock_guard<std::mutex> guard(ioLock);
        return snd_seq_get_port_subscription(handle, subscription) == 0;
    }

    void deletePort(int port)
    {
        std::lock_guard<std::mutex> guard(ioLock);
        snd_seq_delete_simple_port(handle, port);
    }

    void registerInput(int port, MidiInputCallback* callback)
    {
        std::lock_guard<std::recursive_mutex> guard(inputLock);
        if (callback != nullptr)
            inputs[port] = callback;
        else
            inputs.erase(port);
    }

    // Sends one event from our port to its subscribers; waits a little while the kernel's pool is full.
    bool output(snd_seq_event_t& event, int port)
    {
        snd_seq_ev_set_source(&event, port);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        for (int attempt = 0; attempt < 500; ++attempt)
        {
            int result;
            {
                std::lock_guard<std::mutex> guard(ioLock);
                result = snd_seq_event_output_direct(handle, &event);
            }
            if (result >= 0)
                return true;
            if (result != -EAGAIN)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    DeliveryWorker& getSender()
    {
        std::lock_guard<std::mutex> guard(senderLock);
        if (sender == nullptr)
            sender = std::make_unique<DeliveryWorker>("AlsaMidiSend");
        return *sender;
    }

    void setSetupCallback(std::function<void()> callback)
    {
        std::lock_guard<std::mutex> guard(setupLock);
        onSetupChanged = std::move(callback);
    }

private:
    void readLoop()
    {
        pthread_setname_np(pthread_self(), "AlsaMidiRead");
        std::vector<pollfd> fds((size_t) std::max(1, snd_seq_poll_descriptors_count(handle, POLLIN)));
        const int numFds = snd_seq_poll_descriptors(handle, fds.data(), (unsigned int) fds.size(), POLLIN);
        std::vector<std::uint8_t> bytes;
        while (!stopping)
        {
            if (poll(fds.data(), (nfds_t) numFds, 100) <= 0)
                continue;
            for (;;)
            {
                int port = -1;
                bool setupChanged = false;
                bytes.clear();
                {
                    std::lock_guard<std::mutex> guard(ioLock);
                    snd_seq_event_t* event = nullptr;
                    const int result = snd_seq_event_input(handle, &event);
                    if (result == -ENOSPC)
                        continue; // input overrun: events were lost, go on with what follows
                    if (result < 0 || event == nullptr)
                        break;
                    switch (event->type)
                    {
                    case SND_SEQ_EVENT_CLIENT_START:
                    case SND_SEQ_EVENT_CLIENT_EXIT:
                    case SND_SEQ_EVENT_CLIENT_CHANGE:
                    case SND_SEQ_EVENT_PORT_START:
                    case SND_SEQ_EVENT_PORT_EXIT:
                    case SND_SEQ_EVENT_PORT_CHANGE:
                        setupChanged = event->data.addr.client != ownClient;
                        break;
                    case SND_SEQ_EVENT_SYSEX:
                    {
                        auto* data = static_cast<const std::uint8_t*>(event->data.ext.ptr);
                        bytes.assign(data, data + event->data.ext.len);
                        port = event->dest.port;
                        break;
                    }
                    default:
                        if (decoder != nullptr)
                        {
                            std::uint8_t buffer[16];
                            snd_midi_event_reset_decode(decoder);
                            const long n = snd_midi_event_decode(decoder, buffer, sizeof(buffer), event);
                            if (n > 0)
                                bytes.assign(buffer, buffer + n);
                            port = event->dest.port;
                        }
                        break;
                    }
                }
                if (setupChanged)
                {
                    std::lock_guard<std::mutex> guard(setupLock);
                    if (onSetupChanged)
                        onSetupChanged();
                }
                if (!bytes.empty() && port >= 0)
                {
                    std::lock_guard<std::recursive_mutex> guard(inputLock);
                    auto it = inputs.find(port);
                    if (it != inputs.end())
                        it->second->midiBytesReceived(bytes.data(), bytes.size());
                }
            }
        }
    }

    snd_seq_t* handle = nullptr;
    int ownClient = -1;
    int announcePort = -1;
    snd_midi_event_t* decoder = nullptr;
    std::mutex ioLock;
    std::recursive_mutex inputLock;
    std::map<int, MidiInputCallback*> inputs;
    std::mutex senderLock;
    std::unique_ptr<DeliveryWorker> sender;
    std::mutex setupLock;
    std::function<void()> onSetupChanged;
    std::atomic<bool> stopping{false};
    std::thread reader;
};

class AlsaInputPort : public MidiInputPort
{
public:
    AlsaInputPort(std::shared_ptr<Sequencer> seq, int portId, AlsaEndpoint source, MidiInputCallback& callback)
        : sequencer(std::move(seq)), port(portId), peer(std::move(source))
    {
        sequencer->registerInput(port, &callback);
    }

    bool isEndpointPresent() const override { return sequencer->isConnected(port, true, peer); }

    ~AlsaInputPort() override
    {
        sequencer->registerInput(port, nullptr); // waits for a delivery in progress
        sequencer->deletePort(port);
    }

private:
    std::shared_ptr<Sequencer> sequencer;
    int port;
    AlsaEndpoint peer;
};

class AlsaOutputPort : public MidiOutputPort
{
public:
    AlsaOutputPort(std::shared_ptr<Sequencer> seq, int portId, AlsaEndpoint destination)
        : sequencer(std::move(seq)), port(portId), peer(std::move(destination))
    {
        snd_midi_event_new(16, &encoder);
    }

    bool isEndpointPresent() const override { return sequencer->isConnected(port, false, peer); }

    ~AlsaOutputPort() override
    {
        sequencer->getSender().cancel(this);
        sequencer->deletePort(port);
        if (encoder != nullptr)
            snd_midi_event_free(encoder);
    }

    bool sendShortMessage(const std::uint8_t* data, size_t size) override
    {
        if (encoder == nullptr || size == 0)
            return false;
        std::lock_guard<std::mutex> guard(encoderLock);
        snd_midi_event_reset_encode(encoder);
        snd_seq_event_t event;
        snd_seq_ev_clear(&event);
        for (size_t i = 0; i < size && i < 3; ++i)
        {
            if (snd_midi_event_encode_byte(encoder, data[i], &event) == 1)
                return sequencer->output(event, port);
        }
        return false;
    }

    bool sendSysEx(const std::uint8_t* data, size_t size, std::function<void()> onComplete) override
    {
        // Without its connection the message would go to no subscriber and count as sent.
        if (size == 0 || !isEndpointPresent())
            return false;
        // A raw pointer: the port keeps the sequencer alive and cancels its jobs before it goes.
        auto* seq = sequencer.get();
        const int portId = port;
        seq->getSender().post(
            [seq, portId, bytes = std::vector<std::uint8_t>(data, data + size), done = std::move(onComplete)]
            {
                for (size_t offset = 0; offset < bytes.size(); offset += sysExChunkSize)
                {
                    snd_seq_event_t event;
                    snd_seq_ev_clear(&event);
                    snd_seq_ev_set_sysex(&event, (unsigned int) std::min(sysExChunkSize, bytes.size() - offset),
                                         const_cast<std::uint8_t*>(bytes.data() + offset));
                    if (!seq->output(event, portId))
                        return; // not (wholly) sent: no completion
                }
                if (done)
                    done();
            },
            0, this);
        return true;
    }

private:
    std::shared_ptr<Sequencer> sequencer;
    int port;
    AlsaEndpoint peer;
    std::mutex encoderLock;
    snd_midi_event_t* encoder = nullptr;
};

class AlsaClient : public MidiClient
{
public:
    explicit AlsaClient(const juce::String& name) : sequencer(std::make_shared<Sequencer>(name))
    {
        sequencer->setSetupCallback([this] { notifySetupChanged(); });
    }

    ~AlsaClient() override
    {
        // Ports may outlive the client and keep the sequencer; its reader must not call us any more.
        sequencer->setSetupCallback(nullptr);
    }

    int getNumSources() override { return (int) sequencer->enumerate(true).size(); }
    int getNumDestinations() override { return (int) sequencer->enumerate(false).size(); }
    std::optional<EndpointName> getSourceName(int index) override { return nameOf(index, true); }
    std::optional<EndpointName> getDestinationName(int index) override { return nameOf(index, false); }

    std::unique_ptr<MidiInputPort> openInput(int sourceIndex, MidiInputCallback& callback) override
    {
        auto endpoint = find(sourceIndex, true);
        if (!endpoint)
            return nullptr;
        const int port = sequencer->createPort("JQZMidiInPort", true, *endpoint);
        if (port < 0)
            return nullptr;
        return std::make_unique<AlsaInputPort>(sequencer, port, *endpoint, callback);
    }

    std::unique_ptr<MidiOutputPort> openOutput(int destinationIndex) override
    {
        auto endpoint = find(destinationIndex, false);
        if (!endpoint)
            return nullptr;
        const int port = sequencer->createPort("JQZMidiOutPort", false, *endpoint);
        if (port < 0)
            return nullptr;
        return std::make_unique<AlsaOutputPort>(sequencer, port, *endpoint);
    }

private:
    std::optional<AlsaEndpoint> find(int index, bool sources)
    {
        auto all = sequencer->enumerate(sources);
        if (index < 0 || index >= (int) all.size())
            return std::nullopt;
        return all[(size_t) index];
    }

    std::optional<EndpointName> nameOf(int index, bool sources)
    {
        auto endpoint = find(index, sources);
        if (!endpoint)
            return std::nullopt;
        return endpoint->name;
    }

    std::shared_ptr<Sequencer> sequencer;
};
} // namespace

std::unique_ptr<MidiClient> AlsaMidiBackend::createClient(const juce::String& clientName)
{
    return std::make_unique<AlsaClient>(clientName);
}
} // namespace platform::midi
