#include "midi/TuningTransferProcesses.h"

#include "midi/DataReceivers.h"
#include "midi/DataTransmitters.h"
#include "midi/LocalisedText.h"
#include "midi/TransferSupport.h"

namespace x47390_midi
{
namespace
{
// Runs one exchange after the identity check and reports a failure with the texts of its code.
template <class Exchange>
int runSingleExchange(midi::MidiCommunicationProcess& process, const char* statusKey, Exchange&& exchange)
{
    const auto identity = startRun(process, statusKey);
    if (identity.result != 0)
        return identity.result;
    if (const int e = exchange(identity.channel); e != 0)
        return reportFailure(process, e);
    return 0;
}
} // namespace

ReceiveTuneOctProcess::ReceiveTuneOctProcess(int s) : slot(s) {}

juce::String ReceiveTuneOctProcess::getTitle()
{
    return midi::localisedText("ConnectionReceiveTuneOctTitle");
}

int ReceiveTuneOctProcess::execute()
{
    return runSingleExchange(*this, "CommunicationProcessReceiveSelectedOctave",
                             [this](int channel)
                             {
                                 TuneOctDataReceiver receiver(communicationPort(), channel);
                                 const int e = receiver.execute((uint8_t) slot);
                                 if (e == 0)
                                     received.copyNotesFrom(receiver.getTuneOctData());
                                 return e;
                             });
}

ReceiveTuneScaleProcess::ReceiveTuneScaleProcess(int s) : slot(s) {}

juce::String ReceiveTuneScaleProcess::getTitle()
{
    return midi::localisedText("ConnectionReceiveTuneScaleTitle");
}

int ReceiveTuneScaleProcess::execute()
{
    return runSingleExchange(*this, "CommunicationProcessReceiveSelectedScale",
                             [this](int channel)
                             {
                                 TuneScaleDataReceiver receiver(communicationPort(), channel);
                                 const int e = receiver.execute((uint8_t) slot);
                                 if (e == 0)
                                     received.copyNotesFrom(receiver.getTuneScaleData());
                                 return e;
                             });
}

TransmitTuneOctProcess::TransmitTuneOctProcess(int s, const x47390_data::TuneOctData* src) : slot(s), source(src) {}

juce::String TransmitTuneOctProcess::getTitle()
{
    return midi::localisedText("ConnectionWriteTuneOctTitle");
}

int TransmitTuneOctProcess::execute()
{
    return runSingleExchange(
        *this, "CommunicationProcessWriteSelectedOctave",
        [this](int channel)
        { return TuneOctDataTransmitter(communicationPort(), channel).execute((uint8_t) slot, *source); });
}

TransmitTuneScaleProcess::TransmitTuneScaleProcess(int s, const x47390_data::TuneScaleData* src) : slot(s), source(src)
{
}

juce::String TransmitTuneScaleProcess::getTitle()
{
    return midi::localisedText("ConnectionWriteTuneScaleTitle");
}

int TransmitTuneScaleProcess::execute()
{
    return runSingleExchange(
        *this, "CommunicationProcessWriteSelectedScale",
        [this](int channel)
        { return TuneScaleDataTransmitter(communicationPort(), channel).execute((uint8_t) slot, *source); });
}

TransmitCurrentProgramProcess::TransmitCurrentProgramProcess(const x47390_data::ProgramData* src) : source(src) {}

juce::String TransmitCurrentProgramProcess::getTitle()
{
    return midi::localisedText("ConnectionTransmitCurrentProgramTitle");
}

int TransmitCurrentProgramProcess::execute()
{
    return runSingleExchange(*this, "CommunicationProcessTransmitCurrentProgram",
                             [this](int channel)
                             { return CurrentProgramTransmitter(communicationPort(), channel).execute(*source); });
}

TransmitCurrentTuneOctProcess::TransmitCurrentTuneOctProcess(const x47390_data::TuneOctData* src) : source(src) {}

juce::String TransmitCurrentTuneOctProcess::getTitle()
{
    return midi::localisedText("ConnectionTransmitCurrentTuneOctTitle");
}

int TransmitCurrentTuneOctProcess::execute()
{
    return runSingleExchange(*this, "CommunicationProcessTransmitCurrentTuneOct",
                             [this](int channel)
                             { return CurrentTuneOctTransmitter(communicationPort(), channel).execute(*source); });
}

TransmitCurrentTuneScaleProcess::TransmitCurrentTuneScaleProcess(const x47390_data::TuneScaleData* src) : source(src) {}

juce::String TransmitCurrentTuneScaleProcess::getTitle()
{
    return midi::localisedText("ConnectionTransmitCurrentTuneScaleTitle");
}

int TransmitCurrentTuneScaleProcess::execute()
{
    return runSingleExchange(*this, "CommunicationProcessTransmitCurrentTuneScale",
                             [this](int channel)
                             { return CurrentTuneScaleTransmitter(communicationPort(), channel).execute(*source); });
}
} // namespace x47390_midi
