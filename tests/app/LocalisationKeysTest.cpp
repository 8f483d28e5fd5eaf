// Every text the program looks up by key must be in the shipped table: a missing key shows as an empty
// label, title or message, and nothing else would notice.
#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuManager.h"
#include "app/ErrorMessages.h"
#include "tests/support/RealProgram.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace
{
// The keys the windows, dialogs, menus, transfers and file operations use, those to come included.
const char* const usedKeys[] = {
    "AboutDialogTitle",
    "CommonApplicationName", "CommonCancel", "CommonClear", "CommonErrorDialogTitle", "CommonImport", "CommonNo",
    "CommonOK", "CommonUntitledFileName", "CommonWindowTitleModified", "CommonYes",
    "CommunicationProcessReceiveLibrary", "CommunicationProcessReceiveSelectedOctave",
    "CommunicationProcessReceiveSelectedProgram", "CommunicationProcessReceiveSelectedScale",
    "CommunicationProcessReceiveUserData", "CommunicationProcessTransmitCurrentProgram",
    "CommunicationProcessTransmitCurrentTuneOct", "CommunicationProcessTransmitCurrentTuneScale",
    "CommunicationProcessWriteLibrary", "CommunicationProcessWriteSelectedOctave",
    "CommunicationProcessWriteSelectedProgram", "CommunicationProcessWriteSelectedScale",
    "CommunicationProcessWriteUserData",
    "ConnectionErrorFailedToOpenPort", "ConnectionErrorNotFoundsonavire", "ConnectionReceiveLibraryTitle",
    "ConnectionReceiveSelectedProgramTitle", "ConnectionReceiveTuneOctTitle", "ConnectionReceiveTuneScaleTitle",
    "ConnectionReceiveUserDataTitle", "ConnectionTransmitCurrentProgramTitle",
    "ConnectionTransmitCurrentTuneOctTitle", "ConnectionTransmitCurrentTuneScaleTitle",
    "ConnectionWriteLibraryTitle", "ConnectionWriteSelectedProgramTitle", "ConnectionWriteTuneOctTitle",
    "ConnectionWriteTuneScaleTitle", "ConnectionWriteUserDataTitle",
    "FileDiscardCheckMessage", "FileDiscardCheckTitle", "FileExportTuneOctTitle", "FileExportTuneScaleMapTitle",
    "FileExportTuneScaleScalaTitle", "FileImportPresetTitle", "FileImportTuneMapOctTitle",
    "FileImportTuneMapScaleTitle", "FileImportTuneOctTitle", "FileImportTuneScaleTitle", "FileImportVeTitle",
    "FileLoadProgramTitle", "FileLoadTuneOctTitle", "FileLoadTuneScaleTitle", "FileOpenLibraryTitle",
    "FileSaveLibraryTitle", "FileSavePresetTitle", "FileSaveProgramTitle", "FileSaveTuneOctTitle",
    "FileSaveTuneScaleTitle",
    "ImportTuningDialogTitle", "InitialiseCheckMessage", "InitialiseCheckTitle",
    "MenuCategoryEdit", "MenuCategoryFile", "MenuCategoryMidi", "MenuCategoryOption", "MenuEditClear",
    "MenuEditCopy", "MenuEditCut", "MenuEditPaste", "MenuEditProgramTuning", "MenuEditRedo", "MenuEditUndo",
    "MenuFileExit", "MenuFileExportTuning", "MenuFileImportPresetFile", "MenuFileImportTuning",
    "MenuFileImportTuningMap", "MenuFileImportTuningWindow", "MenuFileImportVoicingEditorFile",
    "MenuFileLoadProgram", "MenuFileLoadTuning", "MenuFileNew", "MenuFileOpen", "MenuFileSave", "MenuFileSaveAs",
    "MenuFileSavePreset", "MenuFileSaveProgram", "MenuFileSaveTuning", "MenuFileTuningTemplate",
    "MenuMidiReceiveLibrary", "MenuMidiReceiveProgram", "MenuMidiReceiveTuning", "MenuMidiReceiveUserData",
    "MenuMidiReceiveUserEnv", "MenuMidiTransCurrentTuning", "MenuMidiWriteLibrary", "MenuMidiWriteProgram",
    "MenuMidiWriteTuning", "MenuMidiWriteUserData", "MenuOptionAbout", "MenuOptionInit",
    "MenuOptionOpenPresetWindow", "MenuOptionPreferences",
    "MidiCommunicationCanceled", "MidiCommunicationErrorFailedToOpenDialog",
    "MidiCommunicationErrorFailedToOpenDialogDetail", "MidiCommunicationErrorMessageBroken",
    "MidiCommunicationErrorMessageBrokenDetail", "MidiCommunicationErrorReceiveNakOnReceive",
    "MidiCommunicationErrorReceiveNakOnReceiveDetail", "MidiCommunicationErrorReceiveNakOnWrite",
    "MidiCommunicationErrorReceiveNakOnWriteDetail", "MidiCommunicationErrorReceiveUserCommErr",
    "MidiCommunicationErrorReceiveUserCommErrDetail", "MidiCommunicationErrorReceiveWriteError",
    "MidiCommunicationErrorReceiveWriteErrorDetail", "MidiCommunicationErrorTargetDevice",
    "MidiCommunicationErrorTargetDeviceDetail", "MidiCommunicationErrorTimeout",
    "MidiCommunicationErrorTimeoutDetail", "MidiCommunicationNoError", "MidiCommunicationNoErrorDetail",
    "PreferencesDialogAutoReceive", "PreferencesDialogFontSize", "PreferencesDialogGroupMidiPort",
    "PreferencesDialogGroupOther", "PreferencesDialogMidiInPort", "PreferencesDialogMidiOutPort",
    "PreferencesDialogMidiPortManualSetting", "PreferencesDialogTitle", "PreferencesDialogWarningBeforeWriting",
    "PresetInformationEditTitle", "PresetWindowTitle",
    "ProgramListColumnCategory", "ProgramListColumnLike", "ProgramListColumnMultiType",
    "ProgramListColumnProgramName", "ProgramListColumnScaleSet", "ProgramListColumnTimbType",
    "ProgramListColumnVco1Wave", "ProgramListColumnVco2Wave",
    "ProgramTuningDialogTitle",
    "ReadErrorDifferentTargetDevice", "ReadErrorFailedToImportMapData", "ReadErrorFailedToImportPresetData",
    "ReadErrorFailedToImportScalaData", "ReadErrorFailedToImportUserUnitData", "ReadErrorFailedToParseUserUnitData",
    "ReadErrorFailedToParseUserUnitManifest", "ReadErrorFailedToParseXmlDocument",
    "ReadErrorFailedToReadLivesetData", "ReadErrorFailedToReadPresetInformation",
    "ReadErrorFailedToReadProgramBinary", "ReadErrorFailedToReadProgramInformation",
    "ReadErrorFailedToReadTuneOctBinary", "ReadErrorFailedToReadTuneOctInformation",
    "ReadErrorFailedToReadTuneScaleBinary", "ReadErrorFailedToReadTuneScaleInformation",
    "ReadErrorFailedToReadUserUnitFile", "ReadErrorFailedToUncompressZipFile", "ReadErrorInvalidProgramNumber",
    "ReadErrorInvalidType", "ReadErrorInvalidType1", "ReadErrorInvalidType2", "ReadErrorInvalidType3",
    "ReadErrorInvalidType4", "ReadErrorInvalidType5", "ReadErrorInvalidType6", "ReadErrorInvalidType7",
    "ReadErrorInvalidType8", "ReadErrorInvalidUserUnitFile", "ReadErrorInvalidXmlDocument",
    "ReadErrorLivesetDataMissing", "ReadErrorNoError", "ReadErrorOpenFile", "ReadErrorPresetInformationMissing",
    "ReadErrorProgramDataMissing", "ReadErrorReadData", "ReadErrorScalaDataMissing", "ReadErrorTuneOctDataMissing",
    "ReadErrorTuneScaleDataMissing", "ReadErrorUserUnitFileMissingManifest", "ReadErrorUserUnitFileMissingPayload",
    "ReadErrorUserUnitFileWrongModule",
    "TuningTemplateDialogTitle",
    "UserListColumnAPI", "UserListColumnName", "UserListColumnVersion",
    "WriteErrorDeleteFile", "WriteErrorNoError", "WriteErrorOpenFile", "WriteErrorWriteData",
    "WriteUserDataWarningDialogDontConfirmNext", "WriteUserDataWarningDialogLine1",
    "WriteUserDataWarningDialogLine2", "WriteUserDataWarningDialogLine3", "WriteUserDataWarningDialogLine4",
    "WriteUserDataWarningDialogOk", "WriteUserDataWarningDialogTitle", "WriteWarningDialogDontConfirmNext",
    "WriteWarningDialogLine1", "WriteWarningDialogLine2", "WriteWarningDialogTitle",};

// Literals of these families are text keys wherever they stand in the code (font styles, preference keys,
// transaction names and drag kinds are named otherwise).
const std::regex textKeyLiteral(
    "\"((Common|Communication|Connection|Menu|ReadError|WriteError|PreferencesDialog|WriteWarningDialog|"
    "WriteUserDataWarningDialog|ProgramListColumn|UserListColumn)[A-Za-z0-9_]*|"
    "MidiCommunication(Error|NoError|Canceled)[A-Za-z0-9_]*|File[A-Z][A-Za-z0-9_]*(Title|Message)|"
    "[A-Za-z]+DialogTitle|PresetWindowTitle|PresetInformationEditTitle)\"");
// And whatever is looked up directly by a literal.
const std::regex directLookup("(getString|localisedText)\\s*\\(\\s*\"([A-Za-z0-9_]+)\"");

// The shipped table's keys (tag names compare ignoring case) that have a text.
std::set<std::string> shippedKeys(const juce::File& table)
{
    std::set<std::string> keys;
    if (const auto root = juce::XmlDocument::parse(table))
        for (const auto* entry : root->getChildIterator())
            if (entry->getStringAttribute("Text").isNotEmpty())
                keys.insert(entry->getTagName().toLowerCase().toStdString());
    return keys;
}

bool isShipped(const std::set<std::string>& keys, const juce::String& key)
{
    return keys.count(key.toLowerCase().toStdString()) != 0;
}

juce::File shippedTable()
{
    return testsupport::programExecutable().getParentDirectory().getChildFile("Resources/LocalizableStrings.xml");
}
} // namespace

TEST(LocalisationKeys, EveryKeyOfTheWindowsAndCommandsIsShipped)
{
    const auto keys = shippedKeys(shippedTable());
    ASSERT_GT(keys.size(), 100u) << shippedTable().getFullPathName();
    for (const auto* key : usedKeys)
        EXPECT_TRUE(isShipped(keys, key)) << key;
}

TEST(LocalisationKeys, EveryErrorAndCommandTextIsShipped)
{
    const auto keys = shippedKeys(shippedTable());
    for (int code = 0; code <= 41; ++code)
        EXPECT_TRUE(isShipped(keys, getReadErrorKey(code))) << code;
    for (int code = 0; code <= 3; ++code)
        EXPECT_TRUE(isShipped(keys, getWriteErrorKey(code))) << code;

    // Each command's name is its key's text (the debug window's name is a fixed word).
    auto& commands = x47390_menu::ApplicationMenuManager::getInstance()->getCommandManager();
    for (int id = x47390_menu::cmdNew; id <= x47390_menu::cmdWriteUserData; ++id)
    {
        const auto* info = commands.getCommandForID(id);
        ASSERT_NE(info, nullptr) << id;
        EXPECT_TRUE(info->shortName.isNotEmpty()) << id;
    }
}

TEST(LocalisationKeys, EveryKeyNamedInTheSourcesIsShipped)
{
    const auto keys = shippedKeys(shippedTable());
    const auto root = juce::File(juce::SystemStats::getEnvironmentVariable("SONAVIRE_RESOURCES", {})).getParentDirectory();
    int files = 0;
    for (const auto* folder : {"app", "ui", "tuning", "midi", "data", "files"})
        for (const auto& file : root.getChildFile(folder).findChildFiles(juce::File::findFiles, true, "*.cpp;*.h"))
        {
            ++files;
            const auto text = file.loadFileAsString().toStdString();
            for (const auto* pattern : {&textKeyLiteral, &directLookup})
                for (std::sregex_iterator it(text.begin(), text.end(), *pattern), end; it != end; ++it)
                {
                    const auto key = (*it)[pattern == &directLookup ? 2 : 1].str();
                    EXPECT_TRUE(isShipped(keys, key)) << key << " in " << file.getFileName();
                }
        }
    EXPECT_GT(files, 50) << root.getFullPathName();
}
