#pragma once

#include <juce_core/juce_core.h>

namespace x47390_application
{
class ApplicationStartupProcess;

// Opens the first library, program or preset file named on a command line: the program's own at
// start-up and those a later start hands over. A library or program file marks the start-up process,
// which then skips the automatic receive. Nothing is opened while a modal dialog is open.
class CommandLineProcessor
{
public:
    explicit CommandLineProcessor(ApplicationStartupProcess& startupProcess);
    virtual ~CommandLineProcessor() = default;

    // Message thread.
    void process(const juce::String& commandLine);

    // Splits at blanks; a double-quoted stretch (quotes dropped) is one argument and ends it; in it, two
    // double quotes in a row stand for one. Empty arguments between two blanks are kept.
    static juce::StringArray splitCommandLine(const juce::String& commandLine);

    // The text from the last "." behind the last "/", dot included; empty when there is none.
    static juce::String getExtension(const juce::String& path);

    // The command line of this process's arguments, as the first start processes it and a later start
    // hands it over: file arguments made absolute from the given folder, arguments holding a blank or a
    // double quote quoted, so that splitting gives each back whole.
    static juce::String makeCommandLine(const juce::StringArray& arguments, const juce::File& workingFolder);

private:
    ApplicationStartupProcess& startup;
};
} // namespace x47390_application
