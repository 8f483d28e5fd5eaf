#include "midi/MidiCommunicationProcess.h"

#include "midi/LocalisedText.h"

#include <cmath>

namespace midi
{
MidiCommunicationProcess::~MidiCommunicationProcess()
{
    // No observer call may arrive for a process that is going.
    cancelPendingUpdate();
    stopTimer();
}

void MidiCommunicationProcess::setProgress(float fraction)
{
    // The dialog shows whole percents: a step inside one wakes nobody (a Receive Library has 514 steps). Nor does a
    // new percent right after a posted one: the catch-up after each observer call shows it a moment later.
    const auto percent = [](float value) { return std::lround(value * 100.0f); };
    if (percent(progress.exchange(fraction)) == percent(fraction))
        return;
    const auto now = juce::Time::getMillisecondCounter();
    if (now - lastProgressPostMs.load() < progressPostIntervalMs)
    {
        progressUnposted = true;
        return;
    }
    lastProgressPostMs = now;
    changed();
}

float MidiCommunicationProcess::getProgress() const
{
    return progress.load();
}

void MidiCommunicationProcess::setStatusMessage(const juce::String& text)
{
    const juce::ScopedLock guard(lock);
    statusMessage = text;
    changed();
}

void MidiCommunicationProcess::setDetailMessage(const juce::String& text)
{
    const juce::ScopedLock guard(lock);
    detailMessage = text;
    changed();
}

juce::String MidiCommunicationProcess::getStatusMessage() const
{
    const juce::ScopedLock guard(lock);
    return statusMessage;
}

juce::String MidiCommunicationProcess::getDetailMessage() const
{
    const juce::ScopedLock guard(lock);
    return detailMessage;
}

void MidiCommunicationProcess::changed()
{
    if (postsUpdates)
        triggerAsyncUpdate();
}

bool MidiCommunicationProcess::isCancelRequested() const
{
    return communicationThread != nullptr && communicationThread->threadShouldExit();
}

void MidiCommunicationProcess::handleAsyncUpdate()
{
    progressUnposted = false; // the observers read the newest progress now
    callListeners([](MidiCommunicationProcessObserver& observer) { observer.processStateChanged(); });
    // A percent left unposted came less than progressPostIntervalMs after the post just handled: by the time this
    // one-shot check runs, every such percent has been flagged.
    startTimer(progressCatchUpMs);
}

void MidiCommunicationProcess::timerCallback()
{
    stopTimer();
    if (progressUnposted.load())
        handleAsyncUpdate();
}

namespace
{
const juce::StringArray& messageKeys()
{
    static const juce::StringArray keys{"MidiCommunicationNoError",
                                        "MidiCommunicationCanceled",
                                        "MidiCommunicationErrorFailedToOpenDialog",
                                        "MidiCommunicationErrorTimeout",
                                        "MidiCommunicationErrorTargetDevice",
                                        "MidiCommunicationErrorReceiveNakOnReceive",
                                        "MidiCommunicationErrorReceiveNakOnWrite",
                                        "MidiCommunicationErrorReceiveWriteError",
                                        "MidiCommunicationErrorMessageBroken",
                                        "MidiCommunicationErrorReceiveUserCommErr"};
    return keys;
}

const juce::StringArray& detailKeys()
{
    static const juce::StringArray keys{"MidiCommunicationNoErrorDetail",
                                        "MidiCommunicationCanceled",
                                        "MidiCommunicationErrorFailedToOpenDialogDetail",
                                        "MidiCommunicationErrorTimeoutDetail",
                                        "MidiCommunicationErrorTargetDeviceDetail",
                                        "MidiCommunicationErrorReceiveNakOnReceiveDetail",
                                        "MidiCommunicationErrorReceiveNakOnWriteDetail",
                                        "MidiCommunicationErrorReceiveWriteErrorDetail",
                                        "MidiCommunicationErrorMessageBrokenDetail",
                                        "MidiCommunicationErrorReceiveUserCommErrDetail"};
    return keys;
}
} // namespace

juce::String getCommunicationErrorMessageKey(int result)
{
    return messageKeys()[result]; // StringArray gives an empty string out of range
}

juce::String getCommunicationErrorDetailKey(int result)
{
    return detailKeys()[result];
}
} // namespace midi

juce::String getCommunicationErrorMessage(const int& result)
{
    const auto key = midi::getCommunicationErrorMessageKey(result);
    return key.isEmpty() ? juce::String() : midi::localisedText(key);
}

juce::String getCommunicationErrorDetail(const int& result)
{
    const auto key = midi::getCommunicationErrorDetailKey(result);
    return key.isEmpty() ? juce::String() : midi::localisedText(key);
}
