#include "data/CurrentProgramData.h"

#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"
#include "midi/MidiCommunicationManager.h"
#include "ui/SelectedProgramStatus.h"

#include <cstdio>

namespace x47390_data
{
CurrentProgramData* CurrentProgramData::getInstance()
{
    application::ApplicationUndoManager::getInstance();
    return Singleton<CurrentProgramData>::getInstance();
}

CurrentProgramData::CurrentProgramData()
{
    const auto& selection = ui::SelectedProgramStatus::getInstance()->selection;
    if (selection.size() == 1)
    {
        kind = libraryProgram;
        programNumber = selection.front();
    }
    // Listens whatever the first selection was, so that a library program chosen
    // later is refreshed by undo and redo too.
    application::ApplicationUndoManager::getInstance()->addChangeListener(this);
}

CurrentProgramData::~CurrentProgramData()
{
    cancelPendingUpdate();
    if (auto* undoManager = application::ApplicationUndoManager::getInstanceWithoutCreating())
        undoManager->removeChangeListener(this);
}

void CurrentProgramData::setLibraryProgram(int number)
{
    if (kind == libraryProgram && programNumber == number)
        return;
    kind = libraryProgram;
    presetLibraryNumber = -1;
    programNumber = number;
    programChanged();
}

void CurrentProgramData::setPresetProgram(int presetLibrary, int number)
{
    if (kind == presetProgram && presetLibraryNumber == presetLibrary && programNumber == number)
        return;
    kind = presetProgram;
    presetLibraryNumber = presetLibrary;
    programNumber = number;
    programChanged();
}

void CurrentProgramData::clearProgram()
{
    if (kind == none)
        return;
    kind = none;
    presetLibraryNumber = -1;
    programNumber = -1;
    programChanged();
}

void CurrentProgramData::programChanged()
{
    if (kind != none)
        x47390_midi::MidiCommunicationManager::getInstance()->transmitCurrentProgram(getProgramData());
    triggerAsyncUpdate();
}

const ProgramData& CurrentProgramData::getProgramData() const
{
    auto* dataCenter = DataCenter::getInstance();
    if (kind == presetProgram)
    {
        auto& presets = dataCenter->getPresetLibrary();
        if (presetLibraryNumber < presets.getNumPresetData() && programNumber <= 499)
        {
            auto& preset = presets.getPresetData(presetLibraryNumber);
            // A negative number passes the test above and reaches the preset
            // library's spare program.
            return preset.getProgramData(programNumber);
        }
        return getDefaultProgramData();
    }
    if (kind == libraryProgram)
    {
        if (programNumber <= 499)
            return dataCenter->getLibraryData().getProgramData(programNumber);
        return getDefaultProgramData();
    }
    return getDefaultProgramData();
}

void CurrentProgramData::refresh()
{
    if (kind == libraryProgram)
        triggerAsyncUpdate();
}

void CurrentProgramData::changeListenerCallback(juce::ChangeBroadcaster*)
{
    refresh();
}

void CurrentProgramData::handleAsyncUpdate()
{
    callListeners([](CurrentProgramDataObserver& o) { o.currentProgramChanged(); });
}
} // namespace x47390_data
