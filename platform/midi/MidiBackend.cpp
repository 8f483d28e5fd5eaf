#include "platform/midi/MidiBackend.h"

#include "platform/midi/AlsaMidiBackend.h"
#include "platform/midi/BridgeMidiBackend.h"

#include <cstdlib>

namespace platform::midi
{
MidiClient::~MidiClient()
{
    cancelPendingUpdate();
}

void MidiClient::setSetupChangedCallback(std::function<void()> callback)
{
    std::lock_guard<std::mutex> lock(callbackLock);
    setupChanged = std::move(callback);
}

void MidiClient::notifySetupChanged()
{
    triggerAsyncUpdate();
}

void MidiClient::handleAsyncUpdate()
{
    std::function<void()> callback;
    {
        std::lock_guard<std::mutex> lock(callbackLock);
        callback = setupChanged;
    }
    if (callback)
        callback();
}

namespace
{
std::mutex defaultLock;
std::shared_ptr<MidiBackend> defaultBackend;
} // namespace

std::shared_ptr<MidiBackend> MidiBackend::getDefault()
{
    std::lock_guard<std::mutex> lock(defaultLock);
    if (defaultBackend == nullptr)
    {
        const char* bridgePath = std::getenv("SONAVIRE_MIDI_BRIDGE");
        if (bridgePath != nullptr && *bridgePath != 0)
            defaultBackend = std::make_shared<BridgeMidiBackend>(juce::String::fromUTF8(bridgePath));
        else
            defaultBackend = std::make_shared<AlsaMidiBackend>();
    }
    return defaultBackend;
}

void MidiBackend::setDefault(std::shared_ptr<MidiBackend> backend)
{
    std::lock_guard<std::mutex> lock(defaultLock);
    defaultBackend = std::move(backend);
}

int getShortMessageLength(std::uint8_t status) noexcept
{
    if (status >= 0x80 && status < 0xC0)
        return 3;
    if (status >= 0xC0 && status < 0xE0)
        return 2;
    if (status >= 0xE0 && status < 0xF0)
        return 3;
    switch (status)
    {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
    case 0xF4:
    case 0xF5:
        return 3;
    default:
        return 1;
    }
}
} // namespace platform::midi
