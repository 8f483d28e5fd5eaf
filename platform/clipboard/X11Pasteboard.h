#pragma once

#include "platform/clipboard/Pasteboard.h"

#include <memory>

namespace platform::clipboard
{
// The X11 CLIPBOARD selection. The object opens a display connection of its own with a hidden window,
// and a thread of its own answers the other clients' requests, so a copy stays on offer while the
// message thread is busy and until the object goes (at the end of the program). It answers TARGETS
// with TARGETS and the type of its data, and the type with the bytes.
//
// Reading: while this object owns the selection it hands out its own copy; otherwise it asks the
// owner to convert the selection to the type and waits for the answer at most replyTimeoutMs.
class X11Pasteboard : public Pasteboard
{
public:
    static constexpr int replyTimeoutMs = 1000;
    // Larger answers (and incremental transfers) are refused: a program is a few kilobytes.
    static constexpr size_t maximumDataSize = 1 << 20;

    // Null when the display cannot be opened. An empty name means $DISPLAY. Tests that run side by side
    // on one display name a selection of their own in place of CLIPBOARD.
    // Tests may wait longer for an owner's answer than the program does.
    static std::shared_ptr<X11Pasteboard> open(const juce::String& displayName = {},
                                               const juce::String& selectionName = "CLIPBOARD",
                                               int answerTimeoutMs = replyTimeoutMs);

    ~X11Pasteboard() override;

    void setData(const juce::String& type, const juce::MemoryBlock& bytes) override;
    std::optional<juce::MemoryBlock> getData(const juce::String& type) override;

    // Whether this object owns the selection now (another client may have taken it).
    bool ownsSelection();

    struct Connection;

private:
    explicit X11Pasteboard(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> connection;
};
} // namespace platform::clipboard
