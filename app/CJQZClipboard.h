#pragma once

#include <juce_core/juce_core.h>

#include <optional>

namespace x47390_data
{
class ProgramData;
}

// The program clipboard: one serialised program on the system pasteboard under the type
// "x47390_ProgramData", so programs move between places of the library, across sessions and between
// two running copies of the program. Cut, copy and paste make one for the length of the command.
class CJQZClipboard
{
public:
    static const char* const programDataType;

    // Offers the bytes under the program type in place of whatever the pasteboard held.
    void copyToSystemPasteboard(const juce::MemoryBlock& bytes);

    // The bytes offered under the program type; nothing when the pasteboard offers none.
    std::optional<juce::MemoryBlock> readFromSystemPasteboard();

    // A program serialised onto the pasteboard.
    void copyProgram(const x47390_data::ProgramData& program);

    // The pasteboard's program; nothing when it offers none, or offers bytes that are empty or are
    // not a serialised program.
    std::optional<x47390_data::ProgramData> readProgram();
};
