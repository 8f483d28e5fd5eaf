#include "midi/MidiCommunicationManager.h"

#include "midi/MidiCommunicationDialog.h"
#include "ui/ModalDialogState.h"

#include <utility>

namespace x47390_midi
{
void MidiCommunicationManager::transmitCurrentProgram(const x47390_data::ProgramData& program)
{
    if (isCommunicating)
        return;
    ++programHandOvers;
    programSender.handOver(program);
}

void MidiCommunicationManager::transmitCurrentTuneScale(const x47390_data::TuneScaleData& scale)
{
    if (isCommunicating)
        return;
    ++tuneScaleHandOvers;
    scaleSender.handOver(scale);
}

void MidiCommunicationManager::transmitCurrentTuneOct(const x47390_data::TuneOctData& octave)
{
    if (isCommunicating)
        return;
    ++tuneOctHandOvers;
    octaveSender.handOver(octave);
}

void MidiCommunicationManager::stopBackgroundSends()
{
    programSender.stop();
    scaleSender.stop();
    octaveSender.stop();
}

int MidiCommunicationManager::executeProcess(midi::MidiCommunicationProcess* process)
{
    // A transfer and a background send never share the port. The senders stay stopped; the next hand-over starts
    // them again.
    stopBackgroundSends();

    auto* modalState = ui::ModalDialogState::getInstance();
    modalState->setModalDialogOpen(true);
    const int result = midi::MidiCommunicationDialog::runModal(*process);
    modalState->setModalDialogOpen(false);
    if (afterCancel)
        juce::MessageManager::callAsync(std::exchange(afterCancel, nullptr));
    return result;
}

bool MidiCommunicationManager::cancelTransfer(std::function<void()> then)
{
    if (!midi::MidiCommunicationDialog::cancelAndCloseRunning())
        return false;
    afterCancel = std::move(then);
    return true;
}
} // namespace x47390_midi
