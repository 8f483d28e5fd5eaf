// Read-error and write-error codes: their keys, the generic text for codes outside the tables, and the
// dialog they are shown in.
#include "app/CJQZResource.h"
#include "app/ErrorMessages.h"
#include "ui/AlertDialogComponent.h"
#include "ui/ModalDialogRunner.h"

#include <gtest/gtest.h>

TEST(ErrorMessages, CodesMapToTheirKeysAndStrayCodesToTheGenericOne)
{
    const std::pair<int, const char*> reads[] = {
        {0, "ReadErrorNoError"},  {1, "ReadErrorOpenFile"},        {10, "ReadErrorInvalidType8"},
        {14, "ReadErrorFailedToUncompressZipFile"}, {31, "ReadErrorFailedToImportPresetData"},
        {41, "ReadErrorUserUnitFileWrongModule"}, {42, "ReadErrorReadData"}, {-1, "ReadErrorReadData"},
        {1000000, "ReadErrorReadData"},
    };
    for (const auto& [code, key] : reads)
        EXPECT_EQ(getReadErrorKey(code), key) << code;

    const std::pair<int, const char*> writes[] = {{0, "WriteErrorNoError"}, {1, "WriteErrorDeleteFile"},
                                                  {2, "WriteErrorOpenFile"}, {3, "WriteErrorWriteData"},
                                                  {4, "WriteErrorWriteData"}, {-7, "WriteErrorWriteData"}};
    for (const auto& [code, key] : writes)
        EXPECT_EQ(getWriteErrorKey(code), key) << code;
}

TEST(ErrorMessages, AreShownUnderTheCommonTitle)
{
    juce::StringArray shown;
    ui::setModalDialogScript(
        [&shown](juce::Component& content, const juce::String& title)
        {
            auto& alert = dynamic_cast<AlertDialogComponent&>(content);
            shown.add(title + "|" + alert.getMessageDisplay().getText() + "|" + alert.getButton(0).getButtonText());
            return 1;
        });
    showReadErrorMessage(31);
    showWriteErrorMessage(2);
    showReadErrorMessage(99);
    ui::setModalDialogScript({});

    auto* texts = CJQZResource::getInstance();
    const auto prefix = texts->getString("CommonErrorDialogTitle") + "|";
    const auto ok = "|" + texts->getString("CommonOK");
    EXPECT_EQ(shown, (juce::StringArray{prefix + texts->getString("ReadErrorFailedToImportPresetData") + ok,
                                        prefix + texts->getString("WriteErrorOpenFile") + ok,
                                        prefix + texts->getString("ReadErrorReadData") + ok}));
}
