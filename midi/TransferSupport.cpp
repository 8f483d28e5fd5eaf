#include "midi/TransferSupport.h"

#include "midi/DeviceInquiry.h"
#include "midi/LocalisedText.h"
#include "midi/MidiDeviceManager.h"

namespace x47390_midi
{
CJQZMidi* communicationPort()
{
    return &midi::MidiDeviceManager::getInstance()->getMidi();
}

IdentityCheck checkIdentity()
{
    DeviceInquiry inquiry(communicationPort());
    IdentityCheck check;
    check.result = inquiry.execute();
    check.channel = inquiry.getFoundChannel();
    for (int i = 0; i < 3; ++i)
        check.identity[i] = inquiry.getIdentityByte(10 + i);
    return check;
}

IdentityCheck startRun(midi::MidiCommunicationProcess& process, const char* statusKey)
{
    process.setProgress(0.0f);
    process.setStatusMessage(midi::localisedText(statusKey));
    process.setDetailMessage({});
    auto check = checkIdentity();
    if (check.result != midi::resultNoError)
        reportFailure(process, check.result);
    return check;
}

int reportCancel(midi::MidiCommunicationProcess& process)
{
    process.setStatusMessage(getCommunicationErrorMessage(midi::resultCanceled));
    return midi::resultCanceled;
}

int reportFailure(midi::MidiCommunicationProcess& process, int result)
{
    process.setStatusMessage(getCommunicationErrorMessage(result));
    process.setDetailMessage(getCommunicationErrorDetail(result));
    return result;
}
} // namespace x47390_midi
