#pragma once

namespace x47390_menu
{
// The application commands. Menus, key presses, the header's and the tuning page's buttons and the
// start-up receive all invoke these through the command manager.
enum CommandId : int
{
    cmdNew = 1,
    cmdOpen = 2,
    cmdSave = 3,
    cmdSaveAs = 4,
    cmdLoadProgram = 5,
    cmdSaveProgram = 6,
    cmdLoadTuning = 7,
    cmdSaveTuning = 8,
    cmdImportTuningWindow = 9,
    cmdImportTuning = 10,
    cmdImportTuningMap = 11,
    cmdExportTuning = 12,
    cmdImportPresetFile = 13,
    cmdImportVoicingEditorFile = 14,
    cmdSavePreset = 15,
    cmdExit = 16,
    cmdTuningTemplate = 17,
    cmdUndo = 18,
    cmdRedo = 19,
    cmdCut = 20,
    cmdCopy = 21,
    cmdPaste = 22,
    cmdClear = 23,
    cmdProgramTuning = 24,
    cmdReceiveLibrary = 25,
    cmdWriteLibrary = 26,
    cmdReceiveProgram = 27,
    cmdWriteProgram = 28,
    cmdReceiveTuning = 29,
    cmdWriteTuning = 30,
    cmdTransmitCurrentTuning = 31,
    cmdPreferences = 32,
    cmdOpenPresetWindow = 33,
    cmdAbout = 34,
    cmdInitialise = 35,
    cmdOpenDebugWindow = 36,
    cmdReceiveUserEnvironment = 37,
    cmdReceiveUserData = 38,
    cmdWriteUserData = 39,

    firstCommand = cmdNew,
    lastCommand = cmdWriteUserData
};
} // namespace x47390_menu
