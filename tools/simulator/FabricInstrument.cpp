#include "tools/simulator/FabricInstrument.h"

namespace simulator
{
FabricInstrument::FabricInstrument(std::shared_ptr<platform::midi::VirtualMidiFabric> midiFabric,
                                   SimulatedInstrument& simulated, const juce::String& deviceName,
                                   const juce::String& sourceName, const juce::String& destinationName)
    : fabric(std::move(midiFabric)), instrument(simulated)
{
    device = fabric->addDevice(deviceName, juce::StringArray(sourceName), juce::StringArray(destinationName));
    auto* dev = device.get();
    instrument.setReplySink([dev](const Bytes& reply, std::uint32_t delayMs)
                            { dev->sendFromSource(0, reply, delayMs); });
    device->setReceiver([this](int, const std::uint8_t* data, size_t size) { instrument.receiveBytes(data, size); });
}

FabricInstrument::~FabricInstrument()
{
    device->setReceiver(nullptr);
    fabric->removeDevice(device); // waits for a delivery to the instrument in progress
    instrument.setReplySink(nullptr);
}
} // namespace simulator
