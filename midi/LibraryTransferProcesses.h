#pragma once

#include "data/LibraryData.h"
#include "midi/MidiCommunicationProcess.h"

#include <vector>

// Whole-library and selected-program transfers. Each process runs once, on the communication thread.
namespace x47390_midi
{
// Receives 500 programs, the live set, 6 user scales and 6 user octaves into a fresh library record.
class ReceiveLibraryProcess : public midi::MidiCommunicationProcess
{
public:
    explicit ReceiveLibraryProcess(x47390_data::LibraryData* target);

    int execute() override; // 0, 1, 3, 4, 5 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return true; }

private:
    x47390_data::LibraryData* target;
};

// Receives the listed programs, in list order, into the same numbers of the target.
class ReceiveSelectedProgramProcess : public midi::MidiCommunicationProcess
{
public:
    ReceiveSelectedProgramProcess(const std::vector<int>* selection, x47390_data::LibraryData* target);

    int execute() override; // 0, 1, 3, 4, 5 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return true; }

private:
    const std::vector<int>* selection;
    x47390_data::LibraryData* target;
};

// Writes 500 programs, 6 user scales, 6 user octaves and then the live set, merged into the instrument's own block.
class WriteLibraryProcess : public midi::MidiCommunicationProcess
{
public:
    explicit WriteLibraryProcess(const x47390_data::LibraryData* source);

    int execute() override; // 0, 1, 3, 4, 5 (live-set request refused), 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return true; }

private:
    const x47390_data::LibraryData* source;
};

// Writes the listed programs, in list order.
class WriteSelectedProgramProcess : public midi::MidiCommunicationProcess
{
public:
    WriteSelectedProgramProcess(const std::vector<int>* selection, const x47390_data::LibraryData* source);

    int execute() override; // 0, 1, 3, 4, 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return true; }

private:
    const std::vector<int>* selection;
    const x47390_data::LibraryData* source;
};

// The live-set block to write: the instrument's own block (cut to or padded with zeros to 128 bytes) with the 32
// program numbers replaced by the low 16 bits of the live set's entries, low byte first.
juce::MemoryBlock mergeLivesetBlock(const juce::MemoryBlock& instrumentBlock, const x47390_data::FavoriteData& liveset);
} // namespace x47390_midi
