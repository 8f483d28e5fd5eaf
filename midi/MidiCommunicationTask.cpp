#include "midi/MidiCommunicationTask.h"

#include "midi/MidiCommunicationProcess.h"
#include "midi/MidiDeviceManager.h"

namespace x47390_midi
{
namespace
{
int managerFamilyCode()
{
    if (auto* manager = midi::MidiDeviceManager::getInstanceWithoutCreating())
        return manager->familyCode;
    return -1;
}
} // namespace

MidiCommunicationTask::MidiCommunicationTask(CJQZMidi* p, int ch)
    : port(p), channel(ch), familyCode(managerFamilyCode())
{
    if (port != nullptr)
    {
        endpointLossesAtSend = port->getNumEndpointLosses();
        port->addListener(this);
    }
}

MidiCommunicationTask::~MidiCommunicationTask()
{
    if (port != nullptr)
        port->removeListener(this);
}

void MidiCommunicationTask::handleIncomingShortMessage(CJQZMidi&, const CJQZMidiMessage&) {}

void MidiCommunicationTask::handleIncomingMessage(CJQZMidi&, const CJQZMidiMessage& message)
{
    if (message.getData() != nullptr && message.getSize() > 0)
        queue.push(message.getData(), (size_t) message.getSize());
}

void MidiCommunicationTask::handleMidiSetupChanged(CJQZMidi& changed)
{
    std::lock_guard<std::mutex> guard(lossLock);
    if (changed.getNumEndpointLosses() != endpointLossesAtSend)
        queue.interrupt();
}

AnalyzedInformation MidiCommunicationTask::exchange(const Bytes& message, const std::vector<int>& expected,
                                                    int timeoutMs, AwaitedNumber number)
{
    if (port != nullptr)
    {
        int losses = 0;
        const bool sent = port->send(message.data(), (int) message.size(), &losses);
        // Decided again here, whatever a setup change decided during the send: only a loss after the port was
        // picked takes this message's reply away.
        std::lock_guard<std::mutex> guard(lossLock);
        endpointLossesAtSend = losses;
        if (!sent || port->getNumEndpointLosses() != losses)
            queue.interrupt();
        else
            queue.clearInterrupt();
    }
    return AnalyzedInformation::waitForReply(*this, expected, timeoutMs, number);
}

int MidiCommunicationTask::requestResult(const AnalyzedInformation& reply, int successType)
{
    if (reply.type == successType)
        return midi::resultNoError;
    switch (reply.type)
    {
    case replyMessageBroken:
        return midi::resultMessageBroken;
    case replyNak:
        return midi::resultNakOnReceive;
    default:
        return midi::resultTimeout;
    }
}

int MidiCommunicationTask::writeResult(const AnalyzedInformation& reply)
{
    switch (reply.type)
    {
    case replyAck:
        return midi::resultNoError;
    case replyMessageBroken:
        return midi::resultMessageBroken;
    case replyNak:
        return midi::resultNakOnWrite;
    default:
        return midi::resultTimeout;
    }
}

int MidiCommunicationTask::userSlotResult(const AnalyzedInformation& reply, int successType)
{
    if (reply.type == replyUserCommError)
        return midi::resultUserCommError;
    return requestResult(reply, successType);
}

AnalyzedInformation AnalyzedInformation::waitForReply(MidiCommunicationTask& task, const std::vector<int>& expected,
                                                      int timeoutMs, AwaitedNumber number)
{
    return waitForReply(task.getQueue(), task.getFamilyCode(), expected, timeoutMs, number);
}
} // namespace x47390_midi
