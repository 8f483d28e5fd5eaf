#pragma once

#include "app/CJQZResource.h"
#include "midi/MidiCommunicationProcess.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tools/simulator/SimulatedInstrument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <mutex>

namespace transfertest
{
using simulator::MessageKind;
using Bytes = std::vector<std::uint8_t>;

// Runs a process the way the communication dialog does: on a thread of its own that the process knows, so a
// cancel reaches it as the thread's exit request.
class ProcessRunner : public juce::Thread
{
public:
    explicit ProcessRunner(midi::MidiCommunicationProcess& p) : juce::Thread("MidiCommunicationThread"), process(p) {}
    ~ProcessRunner() override { stopThread(60000); }

    int runToEnd()
    {
        startThread();
        waitForThreadToExit(120000);
        return result;
    }

    void run() override
    {
        process.communicationThread = this;
        result = process.execute();
    }

    std::atomic<int> result{-1};

private:
    midi::MidiCommunicationProcess& process;
};

// A simulated instrument on a virtual MIDI fabric, with the device manager's port opened on it.
class InstrumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CJQZResource::getInstance(); // the texts, made on the message thread as at start-up
        fabric = platform::midi::VirtualMidiFabric::create();
        platform::midi::MidiBackend::setDefault(fabric);
        delete midi::MidiDeviceManager::getInstanceWithoutCreating(); // made with another backend
        auto* manager = midi::MidiDeviceManager::getInstance();
        manager->familyCode = 0x0135;

        device = fabric->addDevice("sonavire", {"Port 1"}, {"Port 1"});
        instrument.setReplySink([dev = device.get()](const Bytes& reply, std::uint32_t delayMs)
                                { dev->sendFromSource(0, reply, delayMs); });
        device->setReceiver(
            [this](int, const std::uint8_t* data, size_t size)
            {
                {
                    std::lock_guard<std::mutex> guard(hookLock);
                    if (onMessage)
                        onMessage(Bytes(data, data + size));
                }
                instrument.receiveBytes(data, size);
            });

        auto& port = manager->getMidi();
        ASSERT_TRUE(port.openInput(0));
        ASSERT_TRUE(port.openOutput(0));
        manager->isConnected = true;
    }

    void TearDown() override
    {
        if (auto* manager = midi::MidiDeviceManager::getInstanceWithoutCreating())
        {
            manager->getMidi().closeInput();
            manager->getMidi().closeOutput();
            delete manager;
        }
        device->setReceiver(nullptr);
        fabric->removeDevice(device);
        platform::midi::MidiBackend::setDefault(nullptr);
    }

    // Called on the fabric's thread with every message the program sends, before the instrument answers it.
    void setMessageHook(std::function<void(const Bytes&)> hook)
    {
        std::lock_guard<std::mutex> guard(hookLock);
        onMessage = std::move(hook);
    }

    // The kinds of the messages the instrument received, in order.
    std::vector<MessageKind> receivedKinds() const
    {
        std::vector<MessageKind> kinds;
        for (const auto& r : instrument.getReceived())
            kinds.push_back(r.kind);
        return kinds;
    }

    // Cancels the run when the instrument receives the nth message of a kind (the exchange itself completes).
    void cancelAt(ProcessRunner& runner, MessageKind kind, int nth)
    {
        auto seen = std::make_shared<int>(0);
        setMessageHook(
            [&runner, kind, nth, seen](const Bytes& message)
            {
                if (kindOf(message) == kind && ++*seen == nth)
                    runner.signalThreadShouldExit();
            });
    }

    static MessageKind kindOf(const Bytes& m)
    {
        if (m.size() > 1 && m[1] == 0x7E)
            return MessageKind::identityRequest;
        if (m.size() < 8)
            return MessageKind::other;
        const bool editBuffer = m[7] == 0x7F;
        switch (m[6])
        {
        case 0x1C:
            return MessageKind::programRequest;
        case 0x16:
            return MessageKind::liveSetRequest;
        case 0x14:
            return MessageKind::scaleRequest;
        case 0x15:
            return MessageKind::octaveRequest;
        case 0x4C:
            return MessageKind::programWrite;
        case 0x44:
            return editBuffer ? MessageKind::currentScale : MessageKind::scaleWrite;
        case 0x45:
            return editBuffer ? MessageKind::currentOctave : MessageKind::octaveWrite;
        case 0x46:
            return MessageKind::liveSetWrite;
        case 0x40:
            return MessageKind::currentProgram;
        case 0x19:
            return MessageKind::userSlotHeaderRequest;
        case 0x1E:
            return MessageKind::userSlotMove;
        case 0x1B:
            return MessageKind::userSlotClear;
        case 0x4A:
            return MessageKind::userSlotUpload;
        default:
            return MessageKind::other;
        }
    }

    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric;
    std::shared_ptr<platform::midi::VirtualMidiFabric::Device> device;
    simulator::SimulatedInstrument instrument;
    std::mutex hookLock;
    std::function<void(const Bytes&)> onMessage;
};

inline Bytes bytesOf(const juce::MemoryBlock& block)
{
    const auto* b = static_cast<const std::uint8_t*>(block.getData());
    return Bytes(b, b + block.getSize());
}

template <class Array>
Bytes bytesOf(const Array& array)
{
    return Bytes(array.begin(), array.end());
}
} // namespace transfertest
