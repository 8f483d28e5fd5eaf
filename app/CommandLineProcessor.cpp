#include "app/CommandLineProcessor.h"

#include "app/ApplicationStartupProcess.h"
#include "app/DocumentOperations.h"
#include "app/ErrorMessages.h"
#include "files/FileExtensionChecker.h"
#include "files/FileReader.h"
#include "platform/system/RegularFileInputStream.h"
#include "ui/ModalDialogState.h"

#include <functional>

namespace x47390_application
{
CommandLineProcessor::CommandLineProcessor(ApplicationStartupProcess& startupProcess) : startup(startupProcess) {}

juce::StringArray CommandLineProcessor::splitCommandLine(const juce::String& commandLine)
{
    juce::StringArray arguments;
    juce::String current;
    bool quoted = false;
    for (auto p = commandLine.getCharPointer(); !p.isEmpty();)
    {
        const auto c = p.getAndAdvance();
        if (quoted)
        {
            if (c == '"' && *p == '"')
            {
                current += p.getAndAdvance(); // a doubled quote stands for one
            }
            else if (c == '"')
            {
                arguments.add(current);
                current.clear();
                quoted = false;
            }
            else
            {
                current += c;
            }
        }
        else if (c == '"')
        {
            quoted = true;
        }
        else if (c == ' ')
        {
            arguments.add(current);
            current.clear();
        }
        else
        {
            current += c;
        }
    }
    if (current.isNotEmpty())
        arguments.add(current);
    return arguments;
}

juce::String CommandLineProcessor::getExtension(const juce::String& path)
{
    const int dot = path.lastIndexOfChar('.');
    return dot > path.lastIndexOfChar('/') ? path.substring(dot) : juce::String();
}

juce::String CommandLineProcessor::makeCommandLine(const juce::StringArray& arguments, const juce::File& workingFolder)
{
    juce::StringArray parts;
    for (auto argument : arguments)
    {
        // The running instance has another working folder: relative file names must not reach it.
        if (argument.isNotEmpty() && !argument.startsWithChar('-'))
            argument = workingFolder.getChildFile(argument).getFullPathName();
        // Quoted, a blank stays in the argument; a quote in it is doubled.
        // (String::quoted adds no quote where the text already has one.)
        parts.add(argument.containsAnyOf(" \"") ? "\"" + argument.replace("\"", "\"\"") + "\"" : argument);
    }
    return parts.joinIntoString(" ");
}

void CommandLineProcessor::process(const juce::String& commandLine)
{
    if (ui::ModalDialogState::getInstance()->isModalDialogOpen())
        return;

    const auto arguments = splitCommandLine(commandLine);
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];
        if (argument.startsWith("-NS"))
        {
            ++i; // the option's value is never a file
            continue;
        }
        if (argument.startsWithChar('-'))
            continue;

        const auto extension = getExtension(argument);
        const auto file = juce::File::getCurrentWorkingDirectory().getChildFile(argument);
        // A name typed on a command line may well be wrong: say so, rather than that the file is damaged.
        // Only a regular file is opened: a FIFO would never let the program go on.
        const auto open = [&file](const std::function<int()>& operation)
        {
            if (const int result = platform::isReadableRegularFile(file) ? operation() : file::ReadError::openFile;
                result != 0)
                showReadErrorMessage(result);
        };
        if (extension.equalsIgnoreCase(file::FileExtension::library))
        {
            startup.openedFromCommandLine = true;
            if (confirmDiscardChanges() == 0)
                open([&file] { return openLibraryFile(file); });
            return;
        }
        if (extension.equalsIgnoreCase(file::FileExtension::program))
        {
            startup.openedFromCommandLine = true;
            if (const int index = getSelectedProgramIndex(); index >= 0)
                open([&file, index] { return loadProgramFile(file, index); });
            return;
        }
        if (extension.equalsIgnoreCase(file::FileExtension::preset))
        {
            open([&file] { return importPresetFile(file); });
            return;
        }
    }
}
} // namespace x47390_application
