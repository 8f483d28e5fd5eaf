#include "midi/MidiCommunicationManager.h"

namespace x47390_midi
{
void MidiCommunicationManager::transmitCurrentProgram(const x47390_data::ProgramData& program)
{
    if (busy)
        return;
    const juce::ScopedLock sl(lock);
    pendingProgram = program;
    ++programHandOvers;
}

void MidiCommunicationManager::transmitCurrentTuneScale(const x47390_data::TuneScaleData& scale)
{
    if (busy)
        return;
    const juce::ScopedLock sl(lock);
    pendingTuneScale.copyNotesFrom(scale);
    ++tuneScaleHandOvers;
}

void MidiCommunicationManager::transmitCurrentTuneOct(const x47390_data::TuneOctData& octave)
{
    if (busy)
        return;
    const juce::ScopedLock sl(lock);
    pendingTuneOct.copyNotesFrom(octave);
    ++tuneOctHandOvers;
}

int MidiCommunicationManager::getNumProgramHandOvers() const
{
    const juce::ScopedLock sl(lock);
    return programHandOvers;
}

int MidiCommunicationManager::getNumTuneScaleHandOvers() const
{
    const juce::ScopedLock sl(lock);
    return tuneScaleHandOvers;
}

int MidiCommunicationManager::getNumTuneOctHandOvers() const
{
    const juce::ScopedLock sl(lock);
    return tuneOctHandOvers;
}

x47390_data::ProgramData MidiCommunicationManager::getPendingProgram() const
{
    const juce::ScopedLock sl(lock);
    return pendingProgram;
}

x47390_data::TuneScaleData MidiCommunicationManager::getPendingTuneScale() const
{
    const juce::ScopedLock sl(lock);
    return pendingTuneScale;
}

x47390_data::TuneOctData MidiCommunicationManager::getPendingTuneOct() const
{
    const juce::ScopedLock sl(lock);
    return pendingTuneOct;
}
} // namespace x47390_midi
