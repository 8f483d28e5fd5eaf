#pragma once

#include "data/ProgramData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"
#include "midi/MidiCommunicationProcess.h"

// One user octave or user scale from or to an instrument slot, and the sends to the instrument's edit buffer.
// None of these can be cancelled.
namespace x47390_midi
{
// Receives one user octave into a record of its own; the caller installs it (undoably) only after success, so the
// library's own octave never holds a half-finished or failed receive.
class ReceiveTuneOctProcess : public midi::MidiCommunicationProcess
{
public:
    explicit ReceiveTuneOctProcess(int slot);

    int execute() override; // 0, 3, 4, 5 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

    // The notes and MD5 text received; identity notes until a receive succeeded.
    const x47390_data::TuneOctData& getReceivedTuneOct() const { return received; }

private:
    int slot;
    x47390_data::TuneOctData received;
};

class ReceiveTuneScaleProcess : public midi::MidiCommunicationProcess
{
public:
    explicit ReceiveTuneScaleProcess(int slot);

    int execute() override; // 0, 3, 4, 5 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

    const x47390_data::TuneScaleData& getReceivedTuneScale() const { return received; }

private:
    int slot;
    x47390_data::TuneScaleData received;
};

class TransmitTuneOctProcess : public midi::MidiCommunicationProcess
{
public:
    TransmitTuneOctProcess(int slot, const x47390_data::TuneOctData* source);

    int execute() override; // 0, 3, 4, 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

private:
    int slot;
    const x47390_data::TuneOctData* source;
};

class TransmitTuneScaleProcess : public midi::MidiCommunicationProcess
{
public:
    TransmitTuneScaleProcess(int slot, const x47390_data::TuneScaleData* source);

    int execute() override; // 0, 3, 4, 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

private:
    int slot;
    const x47390_data::TuneScaleData* source;
};

class TransmitCurrentProgramProcess : public midi::MidiCommunicationProcess
{
public:
    explicit TransmitCurrentProgramProcess(const x47390_data::ProgramData* source);

    int execute() override; // 0, 3, 4, 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

private:
    const x47390_data::ProgramData* source;
};

class TransmitCurrentTuneOctProcess : public midi::MidiCommunicationProcess
{
public:
    explicit TransmitCurrentTuneOctProcess(const x47390_data::TuneOctData* source);

    int execute() override; // 0, 3, 4, 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

private:
    const x47390_data::TuneOctData* source;
};

class TransmitCurrentTuneScaleProcess : public midi::MidiCommunicationProcess
{
public:
    explicit TransmitCurrentTuneScaleProcess(const x47390_data::TuneScaleData* source);

    int execute() override; // 0, 3, 4, 6 or 8
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override;
    bool isCancellable() override { return false; }

private:
    const x47390_data::TuneScaleData* source;
};
} // namespace x47390_midi
