#include "app/ErrorMessages.h"

#include "app/CJQZResource.h"
#include "files/FileReader.h"
#include "ui/AlertDialogComponent.h"

#include <array>

namespace
{
constexpr std::array<const char*, 42> readErrorKeys{{
    "ReadErrorNoError",
    "ReadErrorOpenFile",
    "ReadErrorInvalidType",
    "ReadErrorInvalidType1",
    "ReadErrorInvalidType2",
    "ReadErrorInvalidType3",
    "ReadErrorInvalidType4",
    "ReadErrorInvalidType5",
    "ReadErrorInvalidType6",
    "ReadErrorInvalidType7",
    "ReadErrorInvalidType8",
    "ReadErrorReadData",
    "ReadErrorInvalidProgramNumber",
    "ReadErrorDifferentTargetDevice",
    "ReadErrorFailedToUncompressZipFile",
    "ReadErrorFailedToParseXmlDocument",
    "ReadErrorInvalidXmlDocument",
    "ReadErrorLivesetDataMissing",
    "ReadErrorProgramDataMissing",
    "ReadErrorTuneScaleDataMissing",
    "ReadErrorTuneOctDataMissing",
    "ReadErrorScalaDataMissing",
    "ReadErrorPresetInformationMissing",
    "ReadErrorFailedToReadLivesetData",
    "ReadErrorFailedToReadProgramBinary",
    "ReadErrorFailedToReadTuneScaleBinary",
    "ReadErrorFailedToReadTuneOctBinary",
    "ReadErrorFailedToReadProgramInformation",
    "ReadErrorFailedToReadTuneScaleInformation",
    "ReadErrorFailedToReadTuneOctInformation",
    "ReadErrorFailedToReadPresetInformation",
    "ReadErrorFailedToImportPresetData",
    "ReadErrorFailedToImportScalaData",
    "ReadErrorFailedToImportMapData",
    "ReadErrorFailedToReadUserUnitFile",
    "ReadErrorInvalidUserUnitFile",
    "ReadErrorUserUnitFileMissingManifest",
    "ReadErrorUserUnitFileMissingPayload",
    "ReadErrorFailedToParseUserUnitManifest",
    "ReadErrorFailedToParseUserUnitData",
    "ReadErrorFailedToImportUserUnitData",
    "ReadErrorUserUnitFileWrongModule",
}};

constexpr std::array<const char*, 4> writeErrorKeys{{
    "WriteErrorNoError",
    "WriteErrorDeleteFile",
    "WriteErrorOpenFile",
    "WriteErrorWriteData",
}};

void showErrorText(const juce::String& key)
{
    auto* resource = CJQZResource::getInstance();
    showAlertDialog(resource->getString("CommonErrorDialogTitle"), resource->getString(key));
}
} // namespace

juce::String getReadErrorKey(int code)
{
    if (code < 0 || code >= (int) readErrorKeys.size())
        code = file::ReadError::readData;
    return readErrorKeys[(size_t) code];
}

juce::String getWriteErrorKey(int code)
{
    if (code < 0 || code >= (int) writeErrorKeys.size())
        code = 3;
    return writeErrorKeys[(size_t) code];
}

void showReadErrorMessage(int code) { showErrorText(getReadErrorKey(code)); }

void showWriteErrorMessage(int code) { showErrorText(getWriteErrorKey(code)); }
