#pragma once

#include "data/ListenerHolder.h"
#include "platform/midi/MidiBackend.h"
#include "platform/midi/MidiByteParser.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace midi
{
class MidiDeviceScannerListener
{
public:
    virtual ~MidiDeviceScannerListener() = default;
    virtual void scanFinished() = 0; // message thread
};

// Finds the instrument: sends the maker's search request to every MIDI output (its id being the
// output's index) and watches every MIDI input for the answer, for at most timeoutMs. It opens
// its own ports and closes all of them when the search ends; the port object is not touched.
class MidiDeviceScanner : public ListenerHolder<MidiDeviceScannerListener>,
                          public juce::Thread,
                          private juce::AsyncUpdater
{
public:
    static constexpr int defaultTimeoutMs = 1500;

    // Null uses the program's MIDI backend.
    explicit MidiDeviceScanner(std::shared_ptr<platform::midi::MidiBackend> backend = nullptr);
    ~MidiDeviceScanner() override;

    // The scanner's own observers (not the thread's exit listeners).
    using ListenerHolder<MidiDeviceScannerListener>::addListener;
    using ListenerHolder<MidiDeviceScannerListener>::removeListener;

    // Message thread. Starts a search for the family code and the member code (-1: any member).
    // The found values are reset at once. Refused (false) while a search runs. The listeners hear
    // scanFinished once the search has ended, also when there was nothing to ask.
    bool startScan(int familyCode, int memberCode);

    bool isScanning() const noexcept { return state != State::idle; }

    // Closes every port the search opened (message thread).
    void closeDevices();

    // The result of the last search, written on the message thread as the search ends (reset when one starts);
    // meaningful only while no search runs.
    bool isFound = false;
    int foundInputIndex = -1;  // the source on which the answer came
    int foundOutputIndex = -1; // the destination that the answer names
    int timeoutMs = defaultTimeoutMs;

    // The names of the sources and destinations of the last enumeration.
    juce::StringArray inputDeviceNames;
    juce::StringArray outputDeviceNames;

    // The search request for one output index: F0 7D 50 00 id F7.
    static std::vector<std::uint8_t> makeSearchRequest(int outputIndex);

private:
    enum class State
    {
        idle,    // nothing open
        running, // ports open, requests out, waiting for the answer
        ending   // the end is posted to the message thread
    };

    class Input;

    void run() override;
    void handleAsyncUpdate() override;
    void answerReceived(int inputIndex, const std::uint8_t* data, size_t size);

    std::shared_ptr<platform::midi::MidiBackend> backend;
    std::unique_ptr<platform::midi::MidiClient> client;
    std::vector<std::unique_ptr<Input>> inputs;
    std::vector<std::pair<std::unique_ptr<platform::midi::MidiOutputPort>, int>> outputs;
    std::atomic<State> state{State::idle}; // written by the search thread when it ends
    int wantedFamily = -1;
    int wantedMember = -1;

    std::mutex answerLock; // the answer, written on a MIDI input thread
    bool accepting = false;
    bool answered = false;
    int answerInput = -1;
    int answerOutput = -1;
};
} // namespace midi
