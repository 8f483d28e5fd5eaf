#include "ui/LibraryFileDrop.h"

#include "app/DocumentOperations.h"
#include "files/FileExtensionChecker.h"
#include "ui/ModalDialogState.h"

namespace ui
{
namespace
{
enum class DropKind
{
    none,
    library,
    program,
    preset
};

DropKind kindOf(const juce::String& path)
{
    const auto extension = juce::File(path).getFileExtension();
    if (extension.equalsIgnoreCase(file::FileExtension::library))
        return DropKind::library;
    if (extension.equalsIgnoreCase(file::FileExtension::program))
        return DropKind::program;
    if (extension.equalsIgnoreCase(file::FileExtension::preset))
        return DropKind::preset;
    return DropKind::none;
}
} // namespace

bool isInterestedInLibraryFileDrag(const juce::StringArray& files)
{
    if (ModalDialogState::getInstance()->isModalDialogOpen())
        return false;
    for (const auto& path : files)
        if (kindOf(path) != DropKind::none)
            return true;
    return false;
}

void handleLibraryFileDrop(const juce::StringArray& files)
{
    if (ModalDialogState::getInstance()->isModalDialogOpen())
        return;
    for (const auto& path : files)
    {
        switch (kindOf(path))
        {
            case DropKind::library: openLibraryFileChecked(juce::File(path)); return;
            case DropKind::program: loadProgramFileIntoSelection(juce::File(path)); return;
            case DropKind::preset: importPresetFileChecked(juce::File(path)); return;
            case DropKind::none: break;
        }
    }
}
} // namespace ui
