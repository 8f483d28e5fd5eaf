#include "platform/clipboard/Pasteboard.h"

#include "platform/clipboard/X11Pasteboard.h"

namespace platform::clipboard
{
namespace
{
std::mutex defaultLock;
std::shared_ptr<Pasteboard> defaultPasteboard;
} // namespace

std::shared_ptr<Pasteboard> Pasteboard::getDefault()
{
    std::lock_guard<std::mutex> guard(defaultLock);
    if (defaultPasteboard == nullptr)
    {
        if (auto x11 = X11Pasteboard::open())
            defaultPasteboard = std::move(x11);
        else
            defaultPasteboard = std::make_shared<InProcessPasteboard>();
    }
    return defaultPasteboard;
}

void Pasteboard::setDefault(std::shared_ptr<Pasteboard> pasteboard)
{
    std::lock_guard<std::mutex> guard(defaultLock);
    defaultPasteboard = std::move(pasteboard);
}

void InProcessPasteboard::setData(const juce::String& type, const juce::MemoryBlock& bytes)
{
    std::lock_guard<std::mutex> guard(lock);
    heldType = type;
    heldBytes = bytes;
}

std::optional<juce::MemoryBlock> InProcessPasteboard::getData(const juce::String& type)
{
    std::lock_guard<std::mutex> guard(lock);
    if (!heldBytes.has_value() || heldType != type)
        return std::nullopt;
    return heldBytes;
}
} // namespace platform::clipboard
