#include "app/ApplicationStartup.h"

#include "app/ApplicationMenuManager.h"
#include "app/CJQZResource.h"
#include "app/CurrentLanguageModel.h"
#include "app/DebugModeModel.h"
#include "app/DocumentOperations.h"
#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "data/ApplicationUndoManager.h"
#include "data/CurrentProgramData.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "data/PresetDataChangeBroadcaster.h"
#include "files/PresetFileManager.h"
#include "midi/MidiDeviceManager.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedProgramStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

namespace x47390_application
{
const std::array<PreferenceDefault, 8> preferenceDefaults{{
    {"MidiPortAutoScan", "1"},
    {"AutoReceive", "1"},
    {"WarnBeforeWriting", "1"},
    {"MidiInPort", ""},
    {"MidiOutPort", ""},
    {"LastSavedFolder", ""},
    {"ShowPresetWindow", "0"},
    {"ProgramListHeight", "25"},
}};

const std::array<TextStyle, 34> textStyles{{
    {"ProgramListNumber", 3},
    {"ProgramListName", 4},
    {"ProgramListCategory", 3},
    {"ProgramListLike", 3},
    {"ProgramListTimbType", 3},
    {"ProgramListVco1Wave", 3},
    {"ProgramListVco2Wave", 3},
    {"ProgramListSliderAssign", 3},
    {"ProgramListMultiType", 3},
    {"ProgramListExpMain", 3},
    {"FavoriteDisplayNumber", 4},
    {"FavoriteDisplayName", 3},
    {"ProgramListScaleSet", 3},
    {"PresetListItemPresetData", 3},
    {"PresetListItemProgram", 3},
    {"MidiCommunicationDialogStatus", 4},
    {"MidiCommunicationDialogDetail", 3},
    {"HeaderModeButton", 1},
    {"HeaderProgDisplay", 5},
    {"TabBarButton", 1},
    {"PopupMenu", 3},
    {"TextButton", 3},
    {"ImageTextButton", 3},
    {"Label", 3},
    {"AlertWindow", 3},
    {"AlertWindowTitle", 4},
    {"AlertWindowMessage", 3},
    {"TabButton", 4},
    {"DialogText", 5},
    {"TuningDisplayNumber", 3},
    {"UserScaleButton", 3},
    {"TabBarButton", 3}, // already registered at 12, which stays
    {"TuningSliderCent", 3},
    {"TuningSliderNote", 3},
}};

const std::array<const char*, 13> programListTextStyles{{
    "ProgramListNumber",
    "ProgramListName",
    "ProgramListCategory",
    "ProgramListLike",
    "ProgramListTimbType",
    "ProgramListVco1Wave",
    "ProgramListVco2Wave",
    "ProgramListSliderAssign",
    "ProgramListMultiType",
    "ProgramListExpMain",
    "PresetListItemPresetData",
    "PresetListItemProgram",
    "ProgramListScaleSet",
}};

int getProgramListFontHeight(int rowHeight)
{
    return (int) ((float) rowHeight * 0.6f);
}

juce::String getJapaneseTranslationText()
{
    return juce::String::fromUTF8("language: Japanese\n"
                                  "countries: ja\n"
                                  "\n"
                                  "\"Cut\" = \"カット\"\n"
                                  "\"Copy\" = \"コピー\"\n"
                                  "\"Paste\" = \"ペースト\"\n"
                                  "\"Delete\" = \"クリア\"\n"
                                  "\"Select All\" = \"すべてを選択\"\n"
                                  "\"Undo\" = \"元に戻す\"\n"
                                  "\"Redo\" = \"やり直す\"\n"
                                  "\"OK\" = \"OK\"\n"
                                  "\"Cancel\" = \"キャンセル\"\n"
                                  "\"Yes\" = \"はい\"\n"
                                  "\"No\" = \"いいえ\"\n");
}
} // namespace x47390_application

int initializeApplicationState()
{
    using namespace x47390_application;

    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    for (const auto& entry : preferenceDefaults)
        preferences->setDefaultValue(entry.key, entry.value);

    CJQZResource::getInstance();
    auto* deviceManager = midi::MidiDeviceManager::getInstance();
    application::PreferencesDataChangeBroadcaster::getInstance();
    auto* dataCenter = x47390_data::DataCenter::getInstance();

    const auto folder = x47390_preferences::PreferencesData::getPreferencesFolder();
    auto* debugMode = DebugModeModel::getInstance();
    debugMode->isDeveloperMode = folder.getChildFile(developerModeMarkerFile).exists();
    debugMode->isDebugMode = folder.getChildFile(debugModeMarkerFile).exists();

    ui::SelectedProgramStatus::getInstance();
    ui::SelectedUserOscStatus::getInstance();
    ui::SelectedUserModFXStatus::getInstance();
    ui::SelectedUserDelFXStatus::getInstance();
    ui::SelectedUserRevFXStatus::getInstance();
    x47390_data::CurrentProgramData::getInstance();
    ui::ModalDialogState::getInstance();
    x47390_menu::ApplicationMenuManager::getInstance();
    data::DataChangeBroadcaster::getInstance();
    data::PresetDataChangeBroadcaster::getInstance();
    application::DataEditStatus::getInstance();
    application::LastSavedFileStatus::getInstance();

    deviceManager->familyCode = 0x0135;

    auto* fonts = ui::FontLibrary::getInstance();
    for (const auto& style : textStyles)
        fonts->addFont(style.key,
                       fonts->makeFont(fonts->defaultTypefaceName, fonts->heightSteps[(size_t) style.sizeStep - 1]));

    applyMidiPortPreferences();
    applyProgramListFontHeight();

    x47390_file::PresetFileManager::getInstance()->installFactoryPresetLibrary();

    if (CurrentLanguageModel::getInstance()->language == 1)
        juce::LocalisedStrings::setCurrentMappings(new juce::LocalisedStrings(getJapaneseTranslationText(), false));

    application::ApplicationUndoManager::getInstance()->setMaxNumberOfStoredUnits(2000000, 20);
    dataCenter->getLibraryData().initialise();
    return reloadPresetLibraries();
}

void applyMidiPortPreferences()
{
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    auto* deviceManager = midi::MidiDeviceManager::getInstance();
    if (preferences->getBoolValue("MidiPortAutoScan", true))
    {
        deviceManager->isAutoScan = true;
        return;
    }
    deviceManager->isAutoScan = false;
    deviceManager->midiInPortName = preferences->getValue("MidiInPort", {});
    deviceManager->midiOutPortName = preferences->getValue("MidiOutPort", {});
}

void applyProgramListFontHeight()
{
    using namespace x47390_application;

    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    const int stored = preferences->getIntValue("ProgramListHeight", 0);
    // A hand-edited value the dialog cannot show would make rows unreadable or fill the screen.
    const int rowHeight = juce::jlimit(minimumProgramListHeight, maximumProgramListHeight, stored);
    if (rowHeight != stored)
        preferences->setIntValue("ProgramListHeight", rowHeight);

    auto* fonts = ui::FontLibrary::getInstance();
    const int fontHeight = getProgramListFontHeight(rowHeight);
    for (const auto* key : programListTextStyles)
        fonts->setFontHeight(key, fontHeight);

    application::PreferencesDataChangeBroadcaster::getInstance()->triggerAsyncUpdate();
}
