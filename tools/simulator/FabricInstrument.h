#pragma once

#include "platform/midi/VirtualMidiFabric.h"
#include "tools/simulator/SimulatedInstrument.h"

namespace simulator
{
// Plugs a simulated instrument into a virtual MIDI fabric as one device with one source and
// one destination; the device goes again with this object.
class FabricInstrument
{
public:
    FabricInstrument(std::shared_ptr<platform::midi::VirtualMidiFabric> fabric, SimulatedInstrument& instrument,
                     const juce::String& deviceName = "sonavire", const juce::String& sourceName = "Port 1",
                     const juce::String& destinationName = "Port 1");
    ~FabricInstrument();

    platform::midi::VirtualMidiFabric::Device& getDevice() { return *device; }

private:
    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric;
    std::shared_ptr<platform::midi::VirtualMidiFabric::Device> device;
    SimulatedInstrument& instrument;
};
} // namespace simulator
