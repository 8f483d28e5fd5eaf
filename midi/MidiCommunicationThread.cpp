#include "midi/MidiCommunicationThread.h"

#include "midi/MidiCommunicationProcess.h"

namespace midi
{
MidiCommunicationThread::MidiCommunicationThread(MidiCommunicationProcess* communicationProcess)
    : juce::Thread("MidiCommunicationThread"), process(communicationProcess)
{
}

MidiCommunicationThread::~MidiCommunicationThread()
{
    cancelPendingUpdate();
    stopThread(-1); // the process is not ours to abandon half-way
}

void MidiCommunicationThread::run()
{
    process->communicationThread = this;
    result.store(process->execute());
    triggerAsyncUpdate();
}

void MidiCommunicationThread::handleAsyncUpdate()
{
    callListeners([](MidiCommunicationThreadListener& listener) { listener.communicationFinished(); });
}
} // namespace midi
