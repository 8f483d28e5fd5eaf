#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace x47390_menu
{
// The application's one command target: it describes the 39 commands to the command manager
// (names, categories, key presses, enabled state) and carries them out.
class ApplicationMenuCommands : public juce::ApplicationCommandTarget
{
public:
    ApplicationMenuCommands() = default;
    ~ApplicationMenuCommands() override = default;

    juce::ApplicationCommandTarget* getNextCommandTarget() override;
    void getAllCommands(juce::Array<juce::CommandID>& commands) override;
    void getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result) override;
    bool perform(const InvocationInfo& info) override;

    // Whether the command's enabled rule holds now (a modal dialog disables every command).
    static bool isCommandEnabled(juce::CommandID commandID);

    // Scala tunings of the current tuning slot (commands 10, 11 and 12; the import dialog calls the two
    // imports directly).
    void importScalaTuning();
    void importScalaKeyboardMap();
    void exportScalaTuning();
};
} // namespace x47390_menu
