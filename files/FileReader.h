#pragma once

#include <juce_core/juce_core.h>

namespace file
{
// Read-error indices: positions in the shell's read-error key table (0 = no error).
namespace ReadError
{
enum
{
    noError = 0,
    openFile = 1,
    invalidType = 2,
    invalidType1 = 3,
    invalidType2 = 4,
    invalidType3 = 5,
    invalidType4 = 6,
    invalidType5 = 7,
    invalidType6 = 8,
    invalidType7 = 9,
    invalidType8 = 10,
    readData = 11,
    invalidProgramNumber = 12,
    differentTargetDevice = 13,
    failedToUncompressZipFile = 14,
    failedToParseXmlDocument = 15,
    invalidXmlDocument = 16,
    livesetDataMissing = 17,
    programDataMissing = 18,
    tuneScaleDataMissing = 19,
    tuneOctDataMissing = 20,
    scalaDataMissing = 21,
    presetInformationMissing = 22,
    failedToReadLivesetData = 23,
    failedToReadProgramBinary = 24,
    failedToReadTuneScaleBinary = 25,
    failedToReadTuneOctBinary = 26,
    failedToReadProgramInformation = 27,
    failedToReadTuneScaleInformation = 28,
    failedToReadTuneOctInformation = 29,
    failedToReadPresetInformation = 30,
    failedToImportPresetData = 31,
    failedToImportScalaData = 32,
    failedToImportMapData = 33,
    failedToReadUserUnitFile = 34,
    invalidUserUnitFile = 35,
    userUnitFileMissingManifest = 36,
    userUnitFileMissingPayload = 37,
    failedToParseUserUnitManifest = 38,
    failedToParseUserUnitData = 39,
    failedToImportUserUnitData = 40,
    userUnitFileWrongModule = 41
};
} // namespace ReadError

// Fills a record from a file. The record changes only when read returns 0.
class FileReader
{
public:
    virtual ~FileReader() = default;
    virtual int read(const juce::File& file) = 0;
};
} // namespace file
