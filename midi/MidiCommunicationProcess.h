#pragma once

#include "data/ListenerHolder.h"

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <atomic>

namespace midi
{
// Communication result codes: the outcome of one exchange or of a whole process.
enum CommunicationResult
{
    resultNoError = 0,
    resultCanceled = 1,
    resultFailedToOpenDialog = 2, // reserved
    resultTimeout = 3,
    resultTargetDevice = 4,
    resultNakOnReceive = 5,
    resultNakOnWrite = 6,
    resultWriteError = 7, // reserved
    resultMessageBroken = 8,
    resultUserCommError = 9,
};

class MidiCommunicationProcessObserver
{
public:
    virtual ~MidiCommunicationProcessObserver() = default;
    // Called on the message thread, once per burst of progress or text changes.
    virtual void processStateChanged() = 0;
};

// One complete transfer with the instrument. execute() runs the whole exchange on the calling thread (the
// communication thread or a background sender) and returns a result code; progress and texts may be read from the
// message thread meanwhile.
class MidiCommunicationProcess : public ListenerHolder<MidiCommunicationProcessObserver>,
                                 public juce::AsyncUpdater,
                                 private juce::Timer
{
public:
    MidiCommunicationProcess() = default;
    ~MidiCommunicationProcess() override;

    virtual int execute() = 0;
    virtual bool isSuccess(int result) = 0;
    virtual juce::String getTitle() = 0;
    virtual bool isCancellable() = 0;

    void setProgress(float fraction);
    float getProgress() const;
    void setStatusMessage(const juce::String& text);
    void setDetailMessage(const juce::String& text);
    juce::String getStatusMessage() const;
    juce::String getDetailMessage() const;

    // True when the process runs on a thread that has been asked to exit.
    bool isCancelRequested() const;

    // A process that nobody watches (a background send) posts no update: it may then be deleted on its own thread
    // with no update of it under way on the message thread. Set before execute().
    void setPostsUpdates(bool posts) noexcept { postsUpdates = posts; }

    // The thread that runs execute(); set by that thread before it calls execute(). Not owned.
    juce::Thread* communicationThread = nullptr;

    // New percents are posted at most this often (the dialog needs no more pictures than that); one that is not
    // posted reaches the observers progressCatchUpMs after the last call at the latest.
    static constexpr juce::uint32 progressPostIntervalMs = 100;
    static constexpr int progressCatchUpMs = 110;

protected:
    void handleAsyncUpdate() override;

private:
    void changed();
    void timerCallback() override;

    std::atomic<float> progress{0.0f};
    std::atomic<juce::uint32> lastProgressPostMs{0};
    std::atomic<bool> progressUnposted{false};
    std::atomic<bool> postsUpdates{true};
    juce::CriticalSection lock;
    juce::String statusMessage;
    juce::String detailMessage;

    JUCE_DECLARE_NON_COPYABLE(MidiCommunicationProcess)
};

// The localisation keys of a result code; empty for a code outside 0 to 9.
juce::String getCommunicationErrorMessageKey(int result);
juce::String getCommunicationErrorDetailKey(int result);
} // namespace midi

// The localised message and detail texts of a result code; empty for a code outside 0 to 9.
juce::String getCommunicationErrorMessage(const int& result);
juce::String getCommunicationErrorDetail(const int& result);
