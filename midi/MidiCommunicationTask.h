#pragma once

#include "midi/AnalyzedInformation.h"
#include "midi/CJQZMidi.h"
#include "midi/MidiMessageQueue.h"
#include "midi/SysExMessages.h"

#include <mutex>
#include <vector>

namespace x47390_midi
{
// Base of every exchange with the instrument: a listener of the port object that queues a copy of every received
// system exclusive message from its construction on, sends one message at a time and waits for its reply.
// A task is used by one thread at a time.
class MidiCommunicationTask : public CJQZMidiListener
{
public:
    // Registers with the port at once; the family code is taken from the device manager.
    MidiCommunicationTask(CJQZMidi* port, int channel);
    ~MidiCommunicationTask() override;

    void handleIncomingShortMessage(CJQZMidi& port, const CJQZMidiMessage& message) override;
    void handleIncomingMessage(CJQZMidi& port, const CJQZMidiMessage& message) override;
    // The instrument went after the last message was sent: its reply will not come, the wait ends at once.
    void handleMidiSetupChanged(CJQZMidi& port) override;

    midi::MidiMessageQueue& getQueue() { return queue; }
    int getFamilyCode() const { return familyCode; }
    int getChannel() const { return channel; }

protected:
    // Sends the message and waits for a reply of one of the expected types. A message the port refuses, or one
    // whose endpoint goes while the reply is awaited, gets no reply at once. A numbered reply counts only with the
    // awaited number.
    AnalyzedInformation exchange(const Bytes& message, const std::vector<int>& expected, int timeoutMs,
                                 AwaitedNumber number = {});

    // The result code of a request (dump awaited) and of a write (ACK awaited).
    static int requestResult(const AnalyzedInformation& reply, int successType);
    static int writeResult(const AnalyzedInformation& reply);
    static int userSlotResult(const AnalyzedInformation& reply, int successType);

    midi::MidiMessageQueue queue;
    CJQZMidi* port = nullptr;
    int channel = 0;
    int familyCode = -1;

private:
    std::mutex lossLock; // the decision whether the awaited reply can still come
    int endpointLossesAtSend = 0;

    JUCE_DECLARE_NON_COPYABLE(MidiCommunicationTask)
};

// Time-outs of the exchanges, in milliseconds.
constexpr int identityTimeoutMs = 3000;
constexpr int requestTimeoutMs = 5000;
constexpr int writeTimeoutMs = 3000;
constexpr int currentDataTimeoutMs = 5000;
constexpr int userSlotWriteTimeoutMs = 30000;
} // namespace x47390_midi
