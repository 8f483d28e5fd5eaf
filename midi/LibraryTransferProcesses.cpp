#include "midi/LibraryTransferProcesses.h"

#include "midi/DataReceivers.h"
#include "midi/DataTransmitters.h"
#include "midi/LocalisedText.h"
#include "midi/RecordBytes.h"
#include "midi/TransferSupport.h"

namespace x47390_midi
{
namespace
{
constexpr int numPrograms = 500;
constexpr int numTunings = 6;

// A received program: the binary as it came, no texts, the MD5 text of the binary.
void storeReceivedProgram(x47390_data::ProgramData& destination, const x47390_data::ProgramData& received)
{
    destination.binary = received.binary;
    destination.information.programmer = {};
    destination.information.comment = {};
    destination.updateHash();
}

void storeReceivedLiveset(x47390_data::FavoriteData& liveset, const juce::MemoryBlock& block)
{
    const auto* bytes = static_cast<const uint8_t*>(block.getData());
    for (int bank = 0; bank < 4; ++bank)
        for (int position = 0; position < 8; ++position)
        {
            const auto at = (size_t) livesetEntryOffset(bank, position);
            // The block is 128 bytes whenever the dump was accepted; a shorter one leaves the entry alone.
            if (at + 1 < block.getSize())
                liveset.entries[(size_t) bank][(size_t) position] = bytes[at] | (bytes[at + 1] << 8);
        }
}
} // namespace

juce::MemoryBlock mergeLivesetBlock(const juce::MemoryBlock& instrumentBlock, const x47390_data::FavoriteData& liveset)
{
    juce::MemoryBlock block((size_t) livesetBlockSize, true);
    block.copyFrom(instrumentBlock.getData(), 0, juce::jmin(instrumentBlock.getSize(), (size_t) livesetBlockSize));
    auto* bytes = static_cast<uint8_t*>(block.getData());
    for (int bank = 0; bank < 4; ++bank)
        for (int position = 0; position < 8; ++position)
        {
            const auto value = (uint32_t) liveset.entries[(size_t) bank][(size_t) position];
            const auto at = (size_t) livesetEntryOffset(bank, position);
            bytes[at] = (uint8_t) (value & 0xFF);
            bytes[at + 1] = (uint8_t) ((value >> 8) & 0xFF);
        }
    return block;
}

//==============================================================================
ReceiveLibraryProcess::ReceiveLibraryProcess(x47390_data::LibraryData* t) : target(t) {}

juce::String ReceiveLibraryProcess::getTitle()
{
    return midi::localisedText("ConnectionReceiveLibraryTitle");
}

int ReceiveLibraryProcess::execute()
{
    const auto identity = startRun(*this, "CommunicationProcessReceiveLibrary");
    if (identity.result != 0)
        return identity.result;
    auto* port = communicationPort();

    {
        ProgramDataReceiver receiver(port, identity.channel);
        for (int n = 0; n < numPrograms; ++n)
        {
            if (isCancelRequested())
                break;
            if (const int e = receiver.execute(n); e != 0)
                return reportFailure(*this, e);
            storeReceivedProgram(target->getProgramData(n), receiver.getProgramData());
            setProgress((float) n / (float) numPrograms);
        }
    }
    if (isCancelRequested())
        return reportCancel(*this);

    {
        LivesetDataReceiver receiver(port, identity.channel);
        if (const int e = receiver.execute(); e != 0)
            return reportFailure(*this, e);
        storeReceivedLiveset(target->getFavoriteData(), receiver.getLivesetData());
        setProgress(1.0f);
    }

    {
        TuneScaleDataReceiver receiver(port, identity.channel);
        for (int i = 0; i < numTunings; ++i)
        {
            if (isCancelRequested())
                break;
            if (const int e = receiver.execute((uint8_t) i); e != 0)
                return reportFailure(*this, e);
            target->getTuneScaleData(i).copyNotesFrom(receiver.getTuneScaleData());
            setProgress((float) i / (float) numTunings);
        }
        if (isCancelRequested())
            return reportCancel(*this);
        setProgress(1.0f);
    }

    {
        TuneOctDataReceiver receiver(port, identity.channel);
        for (int i = 0; i < numTunings; ++i)
        {
            if (isCancelRequested())
                break;
            if (const int e = receiver.execute((uint8_t) i); e != 0)
                return reportFailure(*this, e);
            target->getTuneOctData(i).copyNotesFrom(receiver.getTuneOctData());
            setProgress((float) i / (float) numTunings);
        }
        if (isCancelRequested())
            return reportCancel(*this);
        setProgress(1.0f);
    }
    return 0;
}

//==============================================================================
ReceiveSelectedProgramProcess::ReceiveSelectedProgramProcess(const std::vector<int>* s, x47390_data::LibraryData* t)
    : selection(s), target(t)
{
}

juce::String ReceiveSelectedProgramProcess::getTitle()
{
    return midi::localisedText("ConnectionReceiveSelectedProgramTitle");
}

int ReceiveSelectedProgramProcess::execute()
{
    const auto identity = startRun(*this, "CommunicationProcessReceiveSelectedProgram");
    if (identity.result != 0)
        return identity.result;

    const int count = (int) selection->size();
    if (count > 0)
    {
        ProgramDataReceiver receiver(communicationPort(), identity.channel);
        for (int k = 0; k < count; ++k)
        {
            if (isCancelRequested())
                break;
            const int n = (*selection)[(size_t) k];
            if (const int e = receiver.execute(n); e != 0)
                return reportFailure(*this, e);
            storeReceivedProgram(target->getProgramData(n), receiver.getProgramData());
            setProgress((float) k / (float) count);
        }
    }
    if (isCancelRequested())
        return reportCancel(*this);
    return 0;
}

//==============================================================================
WriteLibraryProcess::WriteLibraryProcess(const x47390_data::LibraryData* s) : source(s) {}

juce::String WriteLibraryProcess::getTitle()
{
    return midi::localisedText("ConnectionWriteLibraryTitle");
}

int WriteLibraryProcess::execute()
{
    const auto identity = startRun(*this, "CommunicationProcessWriteLibrary");
    if (identity.result != 0)
        return identity.result;
    auto* port = communicationPort();

    // A cancel skips every remaining item of the three loops.
    bool cancelled = false;
    {
        ProgramDataTransmitter transmitter(port, identity.channel);
        for (int n = 0; n < numPrograms && !cancelled; ++n)
        {
            if ((cancelled = isCancelRequested()))
                break;
            if (const int e = transmitter.execute(n, source->getProgramData(n)); e != 0)
                return reportFailure(*this, e);
            setProgress((float) n / (float) numPrograms);
        }
    }
    if (!cancelled)
    {
        TuneScaleDataTransmitter transmitter(port, identity.channel);
        for (int i = 0; i < numTunings; ++i)
        {
            if ((cancelled = isCancelRequested()))
                break;
            if (const int e = transmitter.execute((uint8_t) i, source->getTuneScaleData(i)); e != 0)
                return reportFailure(*this, e);
            setProgress((float) i / (float) numTunings);
        }
    }
    if (!cancelled)
    {
        TuneOctDataTransmitter transmitter(port, identity.channel);
        for (int i = 0; i < numTunings; ++i)
        {
            if ((cancelled = isCancelRequested()))
                break;
            if (const int e = transmitter.execute((uint8_t) i, source->getTuneOctData(i)); e != 0)
                return reportFailure(*this, e);
            setProgress((float) i / (float) numTunings);
        }
    }
    if (isCancelRequested())
        return reportCancel(*this);

    juce::MemoryBlock instrumentBlock;
    {
        LivesetDataReceiver receiver(port, identity.channel);
        if (const int e = receiver.execute(); e != 0)
            return reportFailure(*this, e);
        instrumentBlock = receiver.getLivesetData();
    }
    if (isCancelRequested())
        return reportCancel(*this);

    const auto block = mergeLivesetBlock(instrumentBlock, source->getFavoriteData());
    LivesetDataTransmitter transmitter(port, identity.channel);
    if (const int e = transmitter.execute(static_cast<const uint8_t*>(block.getData())); e != 0)
        return reportFailure(*this, e);
    return 0;
}

//==============================================================================
WriteSelectedProgramProcess::WriteSelectedProgramProcess(const std::vector<int>* s, const x47390_data::LibraryData* src)
    : selection(s), source(src)
{
}

juce::String WriteSelectedProgramProcess::getTitle()
{
    return midi::localisedText("ConnectionWriteSelectedProgramTitle");
}

int WriteSelectedProgramProcess::execute()
{
    const auto identity = startRun(*this, "CommunicationProcessWriteSelectedProgram");
    if (identity.result != 0)
        return identity.result;

    const int count = (int) selection->size();
    if (count > 0)
    {
        ProgramDataTransmitter transmitter(communicationPort(), identity.channel);
        for (int k = 0; k < count; ++k)
        {
            if (isCancelRequested())
                break;
            const int n = (*selection)[(size_t) k];
            if (const int e = transmitter.execute(n, source->getProgramData(n)); e != 0)
                return reportFailure(*this, e);
            setProgress((float) k / (float) count);
        }
    }
    if (isCancelRequested())
        return reportCancel(*this);
    return 0;
}
} // namespace x47390_midi
