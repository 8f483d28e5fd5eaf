// Commands 10, 11 and 12: Scala scales and keyboard maps in and out of the tuning being edited.
#include "app/ApplicationMenuCommands.h"

#include "app/CJQZResource.h"
#include "app/ErrorMessages.h"
#include "data/DataCenter.h"
#include "data/DataChangeBroadcaster.h"
#include "data/TuningSelection.h"
#include "files/FileExtensionChecker.h"
#include "files/OctScalaFileWriter.h"
#include "files/ScalaDataImporter.h"
#include "files/ScalaExportText.h"
#include "files/ScaleScalaFileWriter.h"
#include "files/TextScalaFileWriter.h"
#include "tuning/ScalaKeyboardMapText.h"
#include "ui/AlertDialogComponent.h"
#include "ui/FileChooserRunner.h"
#include "ui/ModalDialogState.h"

namespace x47390_menu
{
namespace
{
bool octaveSlotSelected()
{
    return currentTuningSlot <= 5;
}

// A command may run inside a dialog (the tuning import dialog): its choosers and error messages then
// run as usual, and the dialog counts as open again once the command ends.
class ModalStateRestorer
{
public:
    ModalStateRestorer() : wasOpen(ui::ModalDialogState::getInstance()->isModalDialogOpen()) {}
    ~ModalStateRestorer()
    {
        auto* modalState = ui::ModalDialogState::getInstance();
        if (modalState->isModalDialogOpen() != wasOpen)
            modalState->setModalDialogOpen(wasOpen);
    }

private:
    bool wasOpen;
};

// A chooser for one file, with the modal-dialog state set while it runs.
juce::File chooseFile(ui::FileChooserRequest::Mode mode, const char* titleKey, const char* extension)
{
    auto* modalState = ui::ModalDialogState::getInstance();
    modalState->setModalDialogOpen(true);
    ui::FileChooserRequest request;
    request.mode = mode;
    request.title = CJQZResource::getInstance()->getString(titleKey);
    request.extensions = juce::StringArray(extension);
    request.warnBeforeOverwriting = true;
    // The question is about the file that will be written: "t" typed over an existing t.scl replaces it.
    if (mode == ui::FileChooserRequest::Mode::save)
        request.forcedExtension = extension;
    const auto chosen = ui::runFileChooser(request);
    modalState->setModalDialogOpen(false);
    return chosen.isEmpty() ? juce::File() : chosen.getFirst();
}

juce::File chooseFileToOpen(const char* octaveTitle, const char* scaleTitle, const char* extension)
{
    return chooseFile(ui::FileChooserRequest::Mode::openOne, octaveSlotSelected() ? octaveTitle : scaleTitle,
                      extension);
}

void showReadResult(int result)
{
    if (result != 0)
        showReadErrorMessage(result);
    else
        data::DataChangeBroadcaster::getInstance()->notifyDataChanged();
}

// The keyboard map beside an exported scale; its reference carries the pitch of the tuning's first note. An
// existing map is replaced only by a complete new one.
void writeKeyboardMap(const juce::File& chosen, int noteCount, int offsetCents)
{
    const auto mapFile = file::FileExtensionChecker(file::FileExtension::scalaKeyboardMap).getFileWithExtension(chosen);
    juce::MemoryBlock text;
    if (!TuningEditor::composeKeyboardMapText(noteCount, offsetCents, text))
    {
        auto* resource = CJQZResource::getInstance();
        showAlertDialog(resource->getString("CommonErrorDialogTitle"),
                        resource->getString("ExportTuningErrorNoReferenceKey"));
        return;
    }
    x47390_file::TextScalaFileWriter writer;
    writer.addDataEntry("ScalaKbm.ScalaKbm_bin", text);
    const int result = writer.writeEntries(mapFile);
    if (result != 0)
        showWriteErrorMessage(result);
}

juce::File scaleFileFor(const juce::File& chosen)
{
    return file::FileExtensionChecker(file::FileExtension::scalaScale).getFileWithExtension(chosen);
}
} // namespace

void ApplicationMenuCommands::importScalaTuning()
{
    const ModalStateRestorer restorer;
    const auto file = chooseFileToOpen("FileImportTuneOctTitle", "FileImportTuneScaleTitle",
                                       file::FileExtension::scalaScale);
    if (file == juce::File())
        return;
    x47390_file::ScalaDataImporter importer;
    showReadResult(importer.read(file));
}

void ApplicationMenuCommands::importScalaKeyboardMap()
{
    const ModalStateRestorer restorer;
    const auto file = chooseFileToOpen("FileImportTuneMapOctTitle", "FileImportTuneMapScaleTitle",
                                       file::FileExtension::scalaKeyboardMap);
    if (file == juce::File())
        return;
    showReadResult(x47390_file::ScalaDataImporter::importKeyboardMap(file));
}

void ApplicationMenuCommands::exportScalaTuning()
{
    if (ui::ModalDialogState::getInstance()->isModalDialogOpen())
        return;
    auto& library = x47390_data::DataCenter::getInstance()->getLibraryData();

    if (octaveSlotSelected())
    {
        const auto chosen =
            chooseFile(ui::FileChooserRequest::Mode::save, "FileExportTuneOctTitle", file::FileExtension::scalaScale);
        if (chosen == juce::File())
            return;
        // The slot is read again: it is the one the export writes.
        const auto& octave = library.getTuneOctData(octaveSlotSelected() ? currentTuningSlot : 0);
        x47390_file::OctScalaFileWriter writer(&octave);
        const int result = writer.write(scaleFileFor(chosen));
        if (result != 0)
        {
            showWriteErrorMessage(result);
            return;
        }
        writeKeyboardMap(chosen, x47390_data::tuneOctNoteCount,
                         x47390_file::ScalaExportText::noteCents(octave.notes.data(), true));
        return;
    }

    const auto chosen = chooseFile(ui::FileChooserRequest::Mode::save, "FileExportTuneScaleScalaTitle",
                                   file::FileExtension::scalaScale);
    if (chosen == juce::File())
        return;
    // A broken slot value reports itself and exports the library's spare scale.
    const auto& scale = library.getTuneScaleData(currentTuningSlot - 6);
    x47390_file::ScaleScalaFileWriter writer(&scale);
    const int result = writer.write(scaleFileFor(chosen));
    if (result != 0)
    {
        showWriteErrorMessage(result);
        return;
    }
    const auto mapChosen = chooseFile(ui::FileChooserRequest::Mode::save, "FileExportTuneScaleMapTitle",
                                      file::FileExtension::scalaKeyboardMap);
    if (mapChosen == juce::File())
        return;
    writeKeyboardMap(mapChosen, x47390_data::tuneScaleNoteCount,
                     x47390_file::ScalaExportText::noteCents(scale.notes.data(), false));
}
} // namespace x47390_menu
