#pragma once

// The program pasteboard: one block of bytes under one type name, offered to this process and to
// other programs. Two backends: the X11 CLIPBOARD selection (real use) and an in-process store (tests
// and sessions without a display).

#include <juce_core/juce_core.h>

#include <memory>
#include <mutex>
#include <optional>

namespace platform::clipboard
{
class Pasteboard
{
public:
    virtual ~Pasteboard() = default;

    // Offers the bytes under the type in place of whatever the pasteboard held.
    virtual void setData(const juce::String& type, const juce::MemoryBlock& bytes) = 0;

    // The bytes offered under the type; nothing when no data of that type is offered.
    virtual std::optional<juce::MemoryBlock> getData(const juce::String& type) = 0;

    // The X11 backend when a display can be opened, else the in-process one; made on first use.
    static std::shared_ptr<Pasteboard> getDefault();
    // Tests put a backend of their own in place (null: choose again on the next getDefault).
    static void setDefault(std::shared_ptr<Pasteboard> pasteboard);
};

// The pasteboard of this process alone.
class InProcessPasteboard : public Pasteboard
{
public:
    void setData(const juce::String& type, const juce::MemoryBlock& bytes) override;
    std::optional<juce::MemoryBlock> getData(const juce::String& type) override;

private:
    std::mutex lock;
    juce::String heldType;
    std::optional<juce::MemoryBlock> heldBytes;
};
} // namespace platform::clipboard
