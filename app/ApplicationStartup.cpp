#include "app/ApplicationStartup.h"

#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "midi/MidiDeviceManager.h"
#include "ui/FontLibrary.h"

void applyMidiPortPreferences()
{
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    auto* manager = midi::MidiDeviceManager::getInstance();
    if (preferences->getBoolValue("MidiPortAutoScan", true))
    {
        manager->isAutoScan = true;
        return;
    }
    manager->isAutoScan = false;
    manager->midiInPortName = preferences->getValue("MidiInPort", {});
    manager->midiOutPortName = preferences->getValue("MidiOutPort", {});
}

void applyProgramListFontHeight()
{
    static const char* const listFontKeys[] = {
        "ProgramListNumber",   "ProgramListName",          "ProgramListCategory",   "ProgramListLike",
        "ProgramListTimbType", "ProgramListVco1Wave",      "ProgramListVco2Wave",   "ProgramListSliderAssign",
        "ProgramListMultiType", "ProgramListExpMain",      "PresetListItemPresetData", "PresetListItemProgram",
        "ProgramListScaleSet"};

    const int rowHeight = x47390_preferences::PreferencesData::getInstance()->getIntValue("ProgramListHeight", 0);
    // Single precision, truncated: a row of 21 gives 12.6, so 12.
    const int fontHeight = (int) ((float) rowHeight * 0.6f);
    auto* fonts = ui::FontLibrary::getInstance();
    for (const auto* key : listFontKeys)
        fonts->setFontHeight(key, fontHeight);
    application::PreferencesDataChangeBroadcaster::getInstance()->triggerAsyncUpdate();
}
